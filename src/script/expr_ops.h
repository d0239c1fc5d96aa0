// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"

namespace nova {

// The operation list of one compiled expression exactly as a page stores it, field by field,
// so that pages can be walked, shown and rewritten byte for byte without evaluating anything.
enum class TExprArgKind : uint8_t { Var = 0, Int = 1, Real = 2, Flag = 3, Str = 4 };

struct TExprArg {
  uint8_t kind = 0;  // as stored; every kind other than 1…4 names a variable
  int32_t int_value = 0;
  std::array<uint8_t, 10> real_bytes{};  // the 10-byte extended real as stored
  uint8_t flag = 0;
  std::string text;  // string literal or variable name

  bool IsVariable() const { return kind < 1 || kind > 4; }
};

inline constexpr uint8_t kOpFunc = 11;  // ocFunc: carries a function id byte

struct TExprOp {
  uint8_t opcode = 0;
  std::string dest;
  uint8_t func_id = 0;  // only for kOpFunc
  std::vector<TExprArg> args;
};

// Reads one serialised expression; every count is checked against the bytes left.
std::vector<TExprOp> ReadExprOps(BinaryReader& r);
void WriteExprOps(BinaryWriter& w, const std::vector<TExprOp>& ops);

// The program's own name of an operator code ("ocPlus"), or empty for an unknown code.
const char* OpcodeName(uint8_t opcode);
// The code of an operator name, or -1.
int OpcodeByName(const std::string& name);

}  // namespace nova
