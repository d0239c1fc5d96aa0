// SPDX-License-Identifier: MIT
#pragma once
#include "text/text_host.h"

namespace nova {

class TParamCollection;

// Embedded expressions of texts evaluated against a variable table; the string form of the
// result is what the text shows.
class ExprTextHost final : public TextExpressionHost {
public:
  explicit ExprTextHost(TParamCollection& vars) : vars_(vars) {}
  bool EvaluateText(const std::string& source, std::string& value) override;
  bool ExecuteCompiled(std::span<const uint8_t> operations, std::string& value) override;

private:
  TParamCollection& vars_;
};

} // namespace nova
