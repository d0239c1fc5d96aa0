// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nova {

// Style bits of decorations and glyph requests.
enum : uint8_t {
  kStyleBold = 1,
  kStyleItalic = 2,
  kStyleUnderline = 4,
  kStyleStrike = 8,
};

// One cached glyph: an 8-bit coverage bitmap of its black box and its placement.
struct TFontPixel {
  std::vector<uint8_t> bitmap; // width x height, top row first
  int width = 0;
  int height = 0;
  uint16_t code = 0;
  std::string font_name;
  int size = 0;
  uint8_t style = 0;
  int level = 0;
  int x_offset = 0;
  int y_offset = 0;
  int underline_size = 0;
  int strike_position = 0;
  int strike_size = 0;
  int extra_advance = 0;

  int Advance() const { return width + x_offset + extra_advance; }
  bool Empty() const { return width == 0 || height == 0; }
};

} // namespace nova
