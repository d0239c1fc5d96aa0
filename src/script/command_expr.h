// SPDX-License-Identifier: MIT
#pragma once
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "expr/nova_parser.h"

namespace nova {

// One expression of a command record, owned by its command. An expression with no operations
// is empty and yields no value. The interpreter executes `parser`.
struct TCommandExpr {
  TNovaParser parser;

  bool IsEmpty() const { return parser.Empty(); }
  void Read(BinaryReader& r) { parser.LoadOps(r); }
  void Write(BinaryWriter& w) const { parser.SaveOps(w); }
};

} // namespace nova
