// SPDX-License-Identifier: MIT
#pragma once
#include "expr/expr_hosts.h"

namespace nova {

class TCallMan;

// Serves @ParamCount, @ParamStr and @Sender from the call manager; other indices go to `next`
// (the other hosts, chained) or read their zero value.
class TCallSystemVars final : public ISystemVarHost {
public:
  explicit TCallSystemVars(TCallMan& calls, ISystemVarHost* next = nullptr)
      : calls_(calls), next_(next) {}
  bool ReadSystem(int index, int32_t element, TSysValue& out) override;
  void WriteSystem(int index, const TSysValue& value) override;
  int32_t SystemCount(int index) override;

private:
  TCallMan& calls_;
  ISystemVarHost* next_;
};

} // namespace nova
