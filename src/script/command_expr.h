// SPDX-License-Identifier: MIT
#pragma once
#include <vector>

#include "script/expr_ops.h"

namespace nova {

// One expression of a command record. It keeps the compiled operations exactly as the page
// stores them; an expression with no operations is empty and yields no value.
struct TCommandExpr {
  std::vector<TExprOp> ops;

  bool IsEmpty() const { return ops.empty(); }
  void Read(BinaryReader& r) { ops = ReadExprOps(r); }
  void Write(BinaryWriter& w) const { WriteExprOps(w, ops); }
};

}  // namespace nova
