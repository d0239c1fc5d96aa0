// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "expr/params.h"

namespace nova {

class BinaryReader;
class BinaryWriter;
class TParamCollection;

// Operator codes of compiled expressions (the byte stored in each operation).
enum TOpeCode : uint8_t {
  ocNone = 0,
  ocTo = 1,
  ocPlus = 2,
  ocMinus = 3,
  ocMul = 4,
  ocDiv = 5,
  ocMod = 6,
  ocOr = 7,
  ocAnd = 8,
  ocXor = 9,
  ocDimTo = 10,
  ocFunc = 11,
  ocEqual = 12,
  ocBig = 13,
  ocSmall = 14,
  ocEBig = 15,
  ocESmall = 16,
  ocShiftL = 17,
  ocShiftR = 18,
  ocComboStr = 19,
  ocNEqual = 20,
};

// The operator's own name ("ocPlus"); empty for codes above 20.
const char* OpeCodeName(uint8_t code);

// Argument kinds of the serialised form.
enum TArgKind : uint8_t {
  AK_VAR = 0,
  AK_INT = 1,
  AK_FLOAT = 2,
  AK_FLAG = 3,
  AK_STR = 4,
};

// One runtime operation: constants and variable references as value objects.
struct TOpeData {
  uint8_t opcode = ocNone;
  std::string dest;
  uint8_t func_id = 0; // ocFunc only
  std::vector<std::unique_ptr<TCustomParam>> args;
};

// A compiled expression: filled once by LoadOps (or Assign), executed any number of times.
class TNovaParser {
public:
  TNovaParser() = default;
  TNovaParser(const TNovaParser& other) { Assign(other); }
  TNovaParser& operator=(const TNovaParser& other) {
    if (this != &other)
      Assign(other);
    return *this;
  }

  // Replaces the list by the serialised form read from `r`; damaged bytes raise ENovaError
  // naming the reader's source. On failure the list is left empty.
  void LoadOps(BinaryReader& r);
  // Writes the list in the same serialised form.
  void SaveOps(BinaryWriter& w) const;
  // Replaces the list by copies of another expression's operations.
  void Assign(const TNovaParser& other);
  void Clear();

  // Runs the operations against `vars`. Errors inside an operation stop the run silently;
  // only cloning a "____arg" of type 0 raises. Afterwards Result() is set or null.
  void Execute(TParamCollection& vars);
  const TCustomParam* Result() const { return result_.get(); }
  // Hands the result over to the caller.
  std::unique_ptr<TCustomParam> TakeResult() { return std::move(result_); }

  const std::vector<TOpeData>& Ops() const { return ops_; }
  bool Empty() const { return ops_.empty(); }
  // The message of the error that stopped the last Execute (empty when it ran through).
  const std::string& LastError() const { return last_error_; }

private:
  std::vector<TOpeData> ops_;
  std::unique_ptr<TCustomParam> result_;
  std::string last_error_;
};

} // namespace nova
