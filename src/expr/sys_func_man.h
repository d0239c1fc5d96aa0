// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>

namespace nova {

class TCustomParam;
class TParamCollection;

// The built-in function dispatcher. Functions of this folder run here; the others go to the
// table's registered IFuncHost, and do nothing while none is registered.
class TSysFuncMan {
public:
  static void Call(TParamCollection& vars, TCustomParam& dest, uint8_t id,
                   std::span<TCustomParam* const> args);
};

} // namespace nova
