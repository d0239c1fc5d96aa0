// SPDX-License-Identifier: MIT
// A cached glyph's outline: the glyph composited over itself at every offset within `border`
// pixels, kept with the glyph so that drawing it again costs about one step per pixel.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/font_pixel.h"

namespace nova {

// x / 255 for 0 <= x <= 65025, without dividing.
constexpr uint32_t Div255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

// ceil(2^32 / d): (n × it) >> 32 is n / d exactly for n <= 65025 and 1 <= d <= 255.
inline constexpr std::array<uint64_t, 256> kReciprocals = [] {
  std::array<uint64_t, 256> r{};
  for (uint64_t d = 1; d < 256; ++d)
    r[d] = ((uint64_t{1} << 32) + d - 1) / d;
  return r;
}();

// Coverage `q` of colour `k` over a 32-bit pixel `d` of coverage `a` (masks 0xFF0000, 0xFF00,
// 0xFF; red and blue blended as one word, which cannot carry between them).
inline void Over32(uint8_t& a, uint32_t& d, uint32_t q, uint32_t k) {
  if (q == 255) {
    d = k;
    a = 255;
    return;
  }
  const uint32_t a2 = a + Div255(q * (255u - a));
  const uint32_t t = a2 == 0 ? 255 : static_cast<uint32_t>((q * 255u * kReciprocals[a2]) >> 32);
  a = static_cast<uint8_t>(a2);
  const uint32_t rb = ((t * (k & 0xFF00FF) + (255 - t) * (d & 0xFF00FF)) >> 8) & 0xFF00FF;
  const uint32_t gr = ((t * (k & 0xFF00) + (255 - t) * (d & 0xFF00)) >> 8) & 0xFF00;
  d = rb | gr;
}

// Each pixel of the outline's box receives the glyph's coverages in a fixed order. Where one of
// them is 255 the pixel ends the same whatever it held; where the pixel's coverage was 0 the
// first step overwrites its colour, so it ends the same too. Both results are kept per colour.
// The other pixels (an outline's fringe over earlier coverage) depend on what they held: each
// remembers its last input and result, which repeats whenever the glyph is drawn over the same
// thing (its own shadow, most often); only a new input runs the steps again.
class TGlyphOutline {
public:
  TGlyphOutline(const TFontPixel& glyph, int border);
  int border() const { return border_; }
  // Draws the outline of colour `k` with its box's top-left at `pixels` / `coverage` (32-bit
  // surfaces; the box lies wholly inside them).
  void Draw(uint32_t* pixels, size_t pixel_stride, uint8_t* coverage, size_t coverage_stride,
            uint32_t k);

private:
  struct TFringeMemo {
    uint32_t d_in = 0, d_out = 0;
    uint8_t a_in = 0, a_out = 0; // a_in 0 never matches: such pixels take the kept result
  };
  struct TColourResult {
    uint32_t k = 0;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> coverage;
    std::vector<TFringeMemo> fringe; // made on the first draw over earlier coverage
  };
  TColourResult& ResultOf(uint32_t k);

  int border_, width_, height_;
  std::vector<uint32_t> first_; // per pixel, where its steps begin; one more at the end
  std::vector<uint32_t> from_;  // per pixel, the step from which its result is fixed
  std::vector<uint8_t> steps_;  // the coverages each pixel receives, in order
  std::vector<uint8_t> fixed_;  // per pixel: 1 when it receives a 255, 2 when nothing
  // A text uses few colours (its border, its shadow): the latest few are kept.
  std::array<TColourResult, 4> colours_;
  size_t next_colour_ = 0;
};

} // namespace nova
