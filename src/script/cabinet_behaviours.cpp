// SPDX-License-Identifier: MIT
// SaveCabinet and LoadCabinet: components move between the back layer and a cabinet.
#include <algorithm>

#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "script/call_man.h"
#include "script/commands/component_commands.h"
#include "script/private/component_eval.h"

namespace nova {

std::vector<std::string> NamesOf(std::vector<TCommandExpr>& list, TParamCollection& vars) {
  std::vector<std::string> names;
  for (TCommandExpr& e : list) {
    // Lines end at CR, LF or CR LF; a break at the very end opens no further line.
    const std::string text = TextOf(e, vars);
    size_t start = 0;
    while (start < text.size()) {
      const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
      names.push_back(text.substr(start, end - start));
      start = end;
      if (start < text.size() && text[start] == '\r')
        ++start;
      if (start < text.size() && text[start] == '\n')
        ++start;
    }
  }
  return names;
}

std::vector<std::string> TextsOf(std::vector<TCommandExpr>& list, TParamCollection& vars) {
  std::vector<std::string> texts;
  for (TCommandExpr& e : list)
    texts.push_back(TextOf(e, vars));
  return texts;
}

bool Listed(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (n == name)
      return true;
  return false;
}

namespace {

// Moves the children of `from` that the list rule selects, last first, into `to`.
void MoveSelected(TNovaControl& from, TNovaControl& to, const std::vector<std::string>& names,
                  bool invert) {
  const std::vector<TNovaControl*> children = from.Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (Listed(names, (*it)->GetName()) != invert)
      (*it)->SetParent(&to);
}

class TCabinetBehaviour final : public ICommandBehaviour {
public:
  TCabinetBehaviour(TNovaBaseList& scene, bool save) : scene_(scene), save_(save) {}

  void Run(TCommand& c, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    if (save_)
      Run(CommandAs<TComCabinetSave>(c), cm);
    else
      Run(CommandAs<TComCabinetLoad>(c), cm);
  }

private:
  template <class Record> void Run(Record& cmd, TCallMan& cm) const {
    TCommandExpr* name_expr = cmd.props.Find(PR_NAME);
    const std::string name = name_expr ? TextOf(*name_expr, cm.vars()) : std::string();
    TNovaObject* found = scene_.FindByName(name);
    TNovaControl* cabinet = found && found->AsControl() && found->AsControl()->IsCabinet()
                                ? found->AsControl()
                                : nullptr;
    const bool invert = FlagOf(cmd.invert, cm.vars());
    // Each list expression names one component (a flip's lists hold a name a line instead).
    const std::vector<std::string> names = TextsOf(cmd.names, cm.vars());
    if (save_) {
      if (!cabinet) {
        cabinet = CreateComponent<TNovaCabinet>(&scene_);
        if (!name.empty())
          cabinet->SetName(name);
        cabinet->SetParent(scene_.GetLayer(0));
      }
      MoveSelected(*scene_.Back(), *cabinet, names, invert);
    } else {
      if (!cabinet)
        return;
      MoveSelected(*cabinet, *scene_.Back(), names, invert);
    }
    if (cabinet->GetChildCount() == 0)
      cabinet->FreeLater();
  }

  TNovaBaseList& scene_;
  bool save_;
};

} // namespace

std::unique_ptr<ICommandBehaviour> NewCabinetBehaviour(TNovaBaseList& scene, bool save) {
  return std::make_unique<TCabinetBehaviour>(scene, save);
}

} // namespace nova
