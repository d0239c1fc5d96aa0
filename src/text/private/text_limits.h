// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>

namespace nova {

// Sizes come from title data. Within these bounds every sum over a text stays far from
// overflowing and an outline costs a bounded number of pixels.
constexpr int kMaxCharSize = 4096;
constexpr int kMaxOutline = 64;
constexpr int kMaxImageSide = 16384;
// An outline of width b costs a glyph's area times (2b + 1)² compositing steps. Large
// characters get narrower outlines so that size × (2b + 1) stays within this span: no glyph
// costs more than about its square, and sizes up to 64 keep every width up to kMaxOutline.
constexpr int kMaxOutlineSpan = 64 * (2 * kMaxOutline + 1);
constexpr int kMaxFrameTimeMs = 86'400'000; // a day: countdowns stay far from overflowing

// The outline width drawn and measured for characters of `size` pixels.
constexpr int OutlineWidth(int size, int border) {
  const int b = std::clamp(border, 0, kMaxOutline);
  return size <= 0 ? b : std::min(b, (kMaxOutlineSpan / size - 1) / 2);
}

} // namespace nova
