// SPDX-License-Identifier: MIT
#include "script/select_behaviours.h"

#include "scene/kinds/media_kinds.h"
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
    // Play state 3 closes a menu and fades a sound or a video out; other kinds have none.
    TNovaObject* obj = scene_.FindByName(name);
    if (auto* menu = dynamic_cast<TNovaMenu*>(obj))
      menu->SetPlayState(TNovaMenu::psClosing);
    else if (auto* media = dynamic_cast<IMediaComponent*>(obj))
      media->SetPlayState(kPlayFadeOut);
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
