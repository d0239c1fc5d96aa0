// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <vector>

#include "base/binary_writer.h"

// Byte fixtures of script pages, written field by field.
namespace nova::test {

// Page header with `count` mask entries of `size` bytes; entry k's first byte is `k + 1` so
// that misaligned reads show. The caller appends the command count and the commands.
inline BinaryWriter PageHeader(int32_t version, int32_t mask_count = 61, int32_t mask_size = 22) {
  BinaryWriter w;
  w.I32(version); // version
  w.U8(1);        // result type: integer
  w.I32(mask_count);
  w.I32(mask_size);
  for (int32_t k = 0; k < mask_count; ++k) {
    for (int32_t b = 0; b < mask_size; ++b)
      w.U8(b == 0 ? static_cast<uint8_t>(k + 1) : 0);
  }
  return w;
}

// Kind byte and the common header: indent, skip, continue, line.
inline void CommandHeader(BinaryWriter& w, uint8_t kind_byte, int32_t line = 1) {
  w.U8(kind_byte);
  w.I32(0);      // indent
  w.Bool(false); // skip
  w.Bool(true);  // continue
  w.I32(line);   // line
}

// An expression of one operation: ____arg := the integer `value`.
inline void IntExpr(BinaryWriter& w, int32_t value) {
  w.I32(1); // operation count
  w.U8(1);  // ocTo
  w.String("____arg");
  w.I32(1); // argument count
  w.U8(1);  // kind: integer
  w.I32(value);
}

inline void EmptyExpr(BinaryWriter& w) { w.I32(0); }

} // namespace nova::test
