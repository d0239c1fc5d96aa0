// SPDX-License-Identifier: MIT
#include "expr/sys_func_man.h"

#include "base/nova_error.h"
#include "expr/func_table.h"
#include "expr/param_collection.h"
#include "expr/private/expr_texts.h"
#include "expr/private/func_call.h"

namespace nova {

bool TFuncCall::IsVar(size_t i) const {
  return Has(i) && args[i]->IsReference() && static_cast<const TParamVar*>(args[i])->Resolved();
}

TCustomParam& TFuncCall::Var(size_t i) const {
  if (!IsVar(i)) {
    const TFuncInfo* info = FuncInfo(id);
    throw ENovaError(std::string(info ? info->name : "") + ExprText(TExprText::VarArgNotFound));
  }
  return *args[i];
}

void TSysFuncMan::Call(TParamCollection& vars, TCustomParam& dest, uint8_t id,
                       std::span<TCustomParam* const> args) {
  if (id >= kFuncCount)
    return;
  // Damaged pages may hold counts the compiler never writes: refused like a bad call.
  const TFuncInfo* info = FuncInfo(id);
  int n = static_cast<int>(args.size());
  if (n < info->min_args || (info->max_args >= 0 && n > info->max_args)) {
    throw ENovaError(info->name + ExprText(TExprText::BadArgCount));
  }
  TFuncCall c{vars, dest, id, args};
  if (CallStringFunc(c) || CallArrayFunc(c) || CallNumberFunc(c) || CallDateFunc(c) ||
      CallVariableFunc(c) || CallDbFunc(c) || CallFileFunc(c)) {
    return;
  }
  if (IFuncHost* host = vars.Hosts().funcs)
    host->CallFunc(dest, id, args);
}

} // namespace nova
