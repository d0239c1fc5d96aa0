// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string_view>

namespace nova {

// One row of the built-in function table: name (case-sensitive), argument counts
// (-1: no maximum) and result type (PT_INT .. PT_STR).
struct TFuncInfo {
  const char* name;
  int8_t min_args;
  int8_t max_args;
  uint8_t result_type;
};

constexpr int kFuncCount = 168;

// Row `id` (0..167); null above.
const TFuncInfo* FuncInfo(int id);
// Id of a function name, or -1.
int FindFunc(std::string_view name);

// Function ids that the evaluator itself must know about.
enum TFuncId : uint8_t {
  fnGetProp = 2,
  fnCalc = 136,
  fnDeleteStack = 157,
};

} // namespace nova
