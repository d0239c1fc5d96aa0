// SPDX-License-Identifier: MIT
// The built-in functions that work on components (GetProp, SetProp, Exists, ListCompo,
// ToClientX/Y, ToScreenX/Y, InPrimary, InCabinet, CreateObject, DeleteObject) and on the
// message history's counts (GetHistoryCount, GetHistoryMaxCount, SetHistoryMaxCount) and the
// item functions (item_funcs.h), served to the expression layer. Functions it does not serve go to
// the next host, when one is given.
#pragma once
#include "expr/expr_hosts.h"

namespace nova {

class TNovaBaseList;

class TComponentFuncs final : public IFuncHost {
public:
  explicit TComponentFuncs(TNovaBaseList& scene, IFuncHost* next = nullptr)
      : scene_(scene), next_(next) {}
  bool CallFunc(TCustomParam& dest, uint8_t id, std::span<TCustomParam* const> args) override;
  uint8_t PropertyType(int32_t id) override;

private:
  TNovaBaseList& scene_;
  IFuncHost* next_;
};

} // namespace nova
