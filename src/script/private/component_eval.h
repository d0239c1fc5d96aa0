// SPDX-License-Identifier: MIT
// Reading command expressions for the component commands, and the behaviours kept in their
// own files.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "expr/params.h"
#include "script/command_behaviour.h"
#include "script/command_expr.h"

namespace nova {

class TNovaBaseList;
class TParamCollection;

// The value of an expression, null when it yields none.
inline const TCustomParam* ValueOf(TCommandExpr& e, TParamCollection& vars) {
  if (e.IsEmpty())
    return nullptr;
  e.parser.Execute(vars);
  return e.parser.Result();
}
inline std::string TextOf(TCommandExpr& e, TParamCollection& vars) {
  const TCustomParam* v = ValueOf(e, vars);
  return v ? v->AsStr() : std::string();
}
inline bool FlagOf(TCommandExpr& e, TParamCollection& vars) {
  const TCustomParam* v = ValueOf(e, vars);
  return v && v->AsFlag();
}
// The names of a list of expressions: each expression's text, split into lines.
std::vector<std::string> NamesOf(std::vector<TCommandExpr>& list, TParamCollection& vars);
// The text of each expression of a list, one name each.
std::vector<std::string> TextsOf(std::vector<TCommandExpr>& list, TParamCollection& vars);
bool Listed(const std::vector<std::string>& names, const std::string& name);

std::unique_ptr<ICommandBehaviour> NewCabinetBehaviour(TNovaBaseList& scene, bool save);
std::unique_ptr<ICommandBehaviour> NewFlipBehaviour(TNovaBaseList& scene);

} // namespace nova
