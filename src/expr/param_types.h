// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace nova {

// Data type byte of a value, as stored in save data and compiled expressions.
enum TParamType : uint8_t {
  PT_NONE = 0, // reference (TParamVar)
  PT_INT = 1,
  PT_FLOAT = 2,
  PT_BOOL = 3,
  PT_STR = 4,
};

// Scope byte of a declared variable.
enum class TVarScope : uint8_t {
  Global = 0,
  AutoDestroy = 1,
  Local = 2,
  Status = 3,
};

} // namespace nova
