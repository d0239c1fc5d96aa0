// SPDX-License-Identifier: MIT
#include "script/call_system_vars.h"

#include "expr/param_system.h"
#include "script/call_man.h"

namespace nova {

bool TCallSystemVars::ReadSystem(int index, int32_t element, TSysValue& out) {
  switch (index) {
  case svParamCount:
    out.i = calls_.ArgumentCount();
    return true;
  case svParamStr:
    out.s = calls_.Argument(element);
    return true;
  case svSender:
    out.s = calls_.SenderName();
    return true;
  default:
    return next_ && next_->ReadSystem(index, element, out);
  }
}

void TCallSystemVars::WriteSystem(int index, const TSysValue& value) {
  if (next_)
    next_->WriteSystem(index, value);
}

int32_t TCallSystemVars::SystemCount(int index) {
  if (index == svParamStr)
    return calls_.ArgumentCount();
  return next_ ? next_->SystemCount(index) : -1;
}

} // namespace nova
