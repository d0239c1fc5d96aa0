// SPDX-License-Identifier: MIT
#include <algorithm>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_engine.h"

namespace nova {
namespace {

// Factors beyond this are not glyph oversampling; they would only overflow the counts.
constexpr int kMaxFactor = 16;

// Counts the values of the factor x factor block of glyph pixel (gx, gy) of the mask; row and
// bit order follow the flips.
void CountBlock(TCustomDIBX& mask, int gx, int gy, int factor, TFlip flip, int counts[4]) {
  counts[0] = counts[1] = counts[2] = counts[3] = 0;
  for (int r = 0; r < factor; ++r) {
    const int my = gy * factor + (HasFlipV(flip) ? factor - 1 - r : r);
    for (int b = 0; b < factor; ++b) {
      const int mx = gx * factor + (HasFlipH(flip) ? factor - 1 - b : b);
      ++counts[mask.GetPixel(mx, my) & 3];
    }
  }
}

// Places a glyph of srcRect (glyph pixels; the mask holds factor x factor sub-pixels each) at
// (x, y) and calls pixel(dstX, dstY, glyphX, glyphY) for each visible glyph pixel.
template <typename Pixel>
void ForEachGlyphPixel(TCustomDIBX& dst, int x, int y, int factor, TFlip flip, const TRect& srcRect,
                       TCustomDIBX& mask, Pixel pixel) {
  const TRect limit{0, 0, mask.Width() / factor, mask.Height() / factor};
  dibx::TPlacement pl;
  if (!dibx::PlacePositioned(dst, x, y, flip, srcRect, limit, pl))
    return;
  for (int j = 0; j < pl.height; ++j)
    for (int i = 0; i < pl.width; ++i)
      pixel(pl.dstX + i, pl.dstY + j, pl.srcX + i * pl.stepX, pl.srcY + j * pl.stepY);
}

int Log2(int v) { return 31 - __builtin_clz(static_cast<unsigned>(v)); }

} // namespace

void TCustomDIBX::DrawGlyphMono(int x, int y, int factor, int alpha, TFlip flip, TPixel color,
                                const TRect& srcRect, TCustomDIBX& mask) {
  if (alpha <= 0 || factor <= 0 || factor > kMaxFactor || mask.BitCount() != 1)
    return;
  const dibx::TChannels ch = dibx::ChannelsOf(*this);
  const uint64_t area = uint64_t(factor) * factor;
  ForEachGlyphPixel(*this, x, y, factor, flip, srcRect, mask, [&](int dx, int dy, int gx, int gy) {
    int counts[4];
    CountBlock(mask, gx, gy, factor, flip, counts);
    uint64_t ink = uint64_t(counts[0]); // clear bits are ink
    if (alpha < 255)
      ink = (uint64_t(alpha) * ink) >> 8;
    const TPixel d = GetPixel(dx, dy);
    uint32_t out = 0;
    // The divisor is 16 whatever the factor: only factor 4 reaches full colour.
    for (int c = 0; c < ch.count; ++c) {
      const uint64_t m = ch.mask[c];
      out |= static_cast<uint32_t>((((color & m) * ink + (d & m) * (area - ink)) >> 4) & m);
    }
    SetPixel(dx, dy, out);
  });
}

void TCustomDIBX::DrawGlyphLayered(int x, int y, int factor, int alpha, TFlip flip,
                                   const TPixel (&colors)[3], const TRect& srcRect,
                                   TCustomDIBX& mask) {
  if (alpha <= 0 || factor <= 0 || factor > kMaxFactor || mask.BitCount() != 2)
    return;
  const dibx::TChannels ch = dibx::ChannelsOf(*this);
  const uint64_t area = uint64_t(factor) * factor;
  const int shift = Log2(factor * factor);
  const bool additive = alpha > 255;
  const uint64_t weight = static_cast<uint64_t>(additive ? std::min(alpha - 256, 255) : alpha);
  ForEachGlyphPixel(*this, x, y, factor, flip, srcRect, mask, [&](int dx, int dy, int gx, int gy) {
    int counts[4];
    CountBlock(mask, gx, gy, factor, flip, counts);
    if (counts[1] + counts[2] + counts[3] == 0)
      return;
    if (alpha == 255) {
      for (int k = 1; k <= 3; ++k)
        if (uint64_t(counts[k]) == area) {
          SetPixel(dx, dy, colors[k - 1]);
          return;
        }
    }
    uint64_t n[3];
    for (int k = 0; k < 3; ++k)
      n[k] = weight == 255 ? uint64_t(counts[k + 1]) : (weight * uint64_t(counts[k + 1])) >> 8;
    const uint64_t rest = additive ? area : area - n[0] - n[1] - n[2];
    const TPixel d = GetPixel(dx, dy);
    uint32_t out = 0;
    for (int c = 0; c < ch.count; ++c) {
      const uint64_t m = ch.mask[c];
      uint64_t v = ((colors[0] & m) * n[0] + (colors[1] & m) * n[1] + (colors[2] & m) * n[2] +
                    (d & m) * rest) >>
                   shift;
      if (additive && v > m)
        v = m;
      out |= static_cast<uint32_t>(v & m);
    }
    SetPixel(dx, dy, out);
  });
}

} // namespace nova
