// SPDX-License-Identifier: MIT
#include "script/select_behaviours.h"

#include "scene/kinds/nova_menu.h"
#include "script/call_man.h"
#include "script/commands/scene_commands.h"
#include "script/private/component_eval.h"

namespace nova {
namespace {

class TMenuClose final : public ICommandBehaviour {
public:
  explicit TMenuClose(TNovaBaseList& scene) : scene_(scene) {}
  void Run(TCommand& c, TCallMan& cm) const override {
    auto& cmd = CommandAs<TComMenuClose>(c);
    cm.set_pc(cm.pc() + 1);
    const std::string name = TextOf(cmd.object, cm.vars());
    if (name.empty())
      return;
    // Only menus have a closing play state among the components this command can name.
    if (auto* menu = dynamic_cast<TNovaMenu*>(scene_.FindByName(name)))
      menu->SetPlayState(TNovaMenu::psClosing);
  }

private:
  TNovaBaseList& scene_;
};

} // namespace

void OpenCreatedMenu(TNovaObject& obj) {
  if (auto* menu = dynamic_cast<TNovaMenu*>(&obj))
    menu->SetPlayState(TNovaMenu::psOpening);
}

std::unique_ptr<ICommandBehaviour> NewMenuCloseBehaviour(TNovaBaseList& scene) {
  return std::make_unique<TMenuClose>(scene);
}

} // namespace nova
