// SPDX-License-Identifier: MIT
#pragma once
#include <cmath>
#include <cstdint>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_engine.h"

// Nearest-neighbour sampling of the scaled draws in 16.16 fixed point.
namespace nova::dibx {

// One axis of a scaled draw: destination span [dLo, dHi) shows source span [sLo, sHi); only
// destination positions from clipLo on are drawn. Position n (counted from clipLo) samples
// source index (start + n * step) >> 16.
struct TAxisSampler {
  int64_t start = 0;
  int64_t step = 0;

  TAxisSampler(int dLo, int dHi, int clipLo, int sLo, int sHi, bool flip) {
    const double ratio = double(int64_t{sHi} - sLo) / double(int64_t{dHi} - dLo);
    const int64_t fixedStep = static_cast<int64_t>(ratio * 65536.0);
    // A cut at the near end advances the source: whole pixels move the span, the fraction
    // stays as a remainder.
    const double advance = double(std::max<int64_t>(int64_t{clipLo} - dLo, 0)) * ratio;
    const double whole = std::trunc(advance);
    const int64_t remainder = static_cast<int64_t>((advance - whole) * 65536.0);
    if (flip) {
      start = (int64_t{sHi} - static_cast<int64_t>(whole)) * 65536 - 1 - remainder;
      step = -fixedStep;
    } else {
      start = (int64_t{sLo} + static_cast<int64_t>(whole)) * 65536 + remainder + fixedStep / 2;
      step = fixedStep;
    }
  }

  int64_t At(int n) const { return (start + int64_t{n} * step) >> 16; }
};

// Walks the rows of a scaled draw of srcRect onto dstRect (clipped by the destination and by
// `limit`, the readable source area). For each drawn row calls
// row(dstY, srcY, dstX, n, xs) with the source column of each of the n pixels.
template <typename Row>
void ForEachScaledRow(const TCustomDIBX& dst, const TRect& dstRect, const TRect& srcRect,
                      const TRect& limit, TFlip flip, Row row) {
  if (dstRect.IsEmpty() || srcRect.IsEmpty())
    return;
  const TRect area = Intersect(dstRect, dst.ClipRect());
  if (area.IsEmpty())
    return;
  const TRect readable = Intersect(srcRect, limit);
  if (readable.IsEmpty())
    return;
  const TAxisSampler sx(dstRect.Left, dstRect.Right, area.Left, srcRect.Left, srcRect.Right,
                        HasFlipH(flip));
  const TAxisSampler sy(dstRect.Top, dstRect.Bottom, area.Top, srcRect.Top, srcRect.Bottom,
                        HasFlipV(flip));
  // Columns are monotone, so the readable ones form one run.
  const int width = area.Width();
  int32_t* xs = ScratchInts(0, size_t(width));
  int first = -1, count = 0;
  for (int n = 0; n < width; ++n) {
    const int64_t c = sx.At(n);
    if (c < readable.Left || c >= readable.Right)
      continue;
    if (first < 0)
      first = n;
    xs[count++] = static_cast<int32_t>(c);
  }
  if (count == 0)
    return;
  for (int j = 0; j < area.Height(); ++j) {
    const int64_t r = sy.At(j);
    if (r < readable.Top || r >= readable.Bottom)
      continue;
    row(area.Top + j, static_cast<int>(r), area.Left + first, count, xs);
  }
}

} // namespace nova::dibx
