// SPDX-License-Identifier: MIT
#include "script/save_behaviours.h"

#include "expr/param_collection.h"
#include "script/call_man.h"
#include "script/commands/flow_commands.h"
#include "script/project.h"

namespace nova {
namespace {

// The expression's value, or null for an empty expression.
const TCustomParam* Value(TCommandExpr& e, TParamCollection& vars) {
  if (e.IsEmpty())
    return nullptr;
  e.parser.Execute(vars);
  return e.parser.Result();
}

} // namespace

void TGameSaveBehaviour::Run(TCommand& c, TCallMan& cm) const {
  TComGameSave& cmd = CommandAs<TComGameSave>(c);
  cm.set_pc(cm.pc() + 1);
  const TCustomParam* slot = Value(cmd.slot, cm.vars());
  const int32_t n = slot ? slot->AsInt() : 0;
  const TCustomParam* title = Value(cmd.title, cm.vars());
  project_.RequestSave(n, title ? title->AsStr() : std::string(), cmd.resume_page,
                       cmd.resume_index);
  cm.set_cont(false);
}

void TGameLoadBehaviour::Run(TCommand& c, TCallMan& cm) const {
  TComGameLoad& cmd = CommandAs<TComGameLoad>(c);
  cm.set_pc(cm.pc() + 1);
  const TCustomParam* slot = Value(cmd.slot, cm.vars());
  project_.RequestLoad(slot ? slot->AsInt() : 0);
  cm.set_cont(false);
}

void TSaveBehaviours::Register(TCallMan& calls) const {
  calls.SetBehaviour(TCommandId::GameSave, &save_);
  calls.SetBehaviour(TCommandId::GameLoad, &load_);
}

} // namespace nova
