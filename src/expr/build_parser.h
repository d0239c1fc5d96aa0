// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nova {

class BinaryWriter;
class TNovaParser;
class TParamCollection;

// One operation as the compiler builds it: operands are still source texts.
struct TBuildOpeData {
  uint8_t opcode = 0;
  std::string dest;
  // For ocFunc element 0 is the function name.
  std::vector<std::string> args;
};

// Compiles one expression text (Shift-JIS) into three-address operations. Use a new object
// for every expression: temporaries are numbered from 0 per object.
class TBuildNovaParser {
public:
  // Raises ENovaError with "構文エラー" or "配列の添え字が不正です" on bad syntax.
  void Compile(std::string_view text);
  // Serialises, resolving function names; raises on an unknown name or a wrong count.
  void SaveOps(BinaryWriter& w) const;
  const std::vector<TBuildOpeData>& Ops() const { return ops_; }

private:
  friend class TCompilerPasses;
  std::vector<TBuildOpeData> ops_;
  int32_t counter_ = 0;
};

// Compile, serialise and load in one go: the runtime form of `text`. Raises on bad syntax.
void CompileExpression(std::string_view text, TNovaParser& out);
// Serialised form of `text`. Raises on bad syntax.
std::vector<uint8_t> CompileToBytes(std::string_view text);

// Evaluates expression text against `vars`: false when it is empty or anything fails.
bool EvaluateText(TParamCollection& vars, std::string_view text);

} // namespace nova
