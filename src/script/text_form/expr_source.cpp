// SPDX-License-Identifier: MIT
#include "base/nova_error.h"
#include "script/text_form/expr_text.h"

namespace nova {

std::vector<TExprOp> CompileExprSource(const std::string& sjis, const std::string& where) {
  if (sjis.empty()) return {};
  throw ENovaError(where + ": expression source cannot be compiled in this build");
}

}  // namespace nova
