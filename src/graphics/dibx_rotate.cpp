// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cmath>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_engine.h"

namespace nova {
namespace {

using dibx::TRowOp;
using dibx::TRowParams;

int64_t Fixed(double v) { return static_cast<int64_t>(v * 65536.0); }

int64_t FloorDiv(int64_t n, int64_t d) { return n >= 0 ? n / d : -((-n + d - 1) / d); }

// Positions [lo, hi) of a row; Within keeps those where a + i step lies in [low, high).
struct TSpan {
  int64_t lo, hi;
  TSpan Within(int64_t a, int64_t step, int64_t low, int64_t high) const {
    if (low >= high)
      return TSpan{0, 0};
    int64_t from, to;
    if (step == 0) {
      if (a < low || a >= high)
        return TSpan{0, 0};
      return *this;
    }
    if (step > 0) {
      from = FloorDiv(low - a + step - 1, step);
      to = FloorDiv(high - a + step - 1, step);
    } else {
      from = FloorDiv(a - high, -step) + 1;
      to = FloorDiv(a - low, -step) + 1;
    }
    return TSpan{std::max(lo, from), std::min(hi, to)};
  }
};

void Rotated(TCustomDIBX& dst, int x, int y, int alpha, TKeyMode key, TCustomDIBX* mask, TFlip flip,
             double angle, int pivotY, int pivotX, const TRect& srcRect, TCustomDIBX& src,
             double scaleY, double scaleX) {
  // Scales outside this range are not pictures but overflowing fixed-point steps.
  constexpr double kMinScale = 1e-6, kMaxScale = 1e6;
  if (alpha <= 0 || !(scaleX >= kMinScale && scaleX <= kMaxScale) ||
      !(scaleY >= kMinScale && scaleY <= kMaxScale) || !std::isfinite(angle))
    return;
  TRect readable;
  if (!dibx::ReadableArea(dst, src, mask, readable))
    return;
  readable = Intersect(srcRect, readable);
  if (readable.IsEmpty())
    return;
  TRowOp op;
  TRowParams p;
  if (!dibx::OpacityOp(alpha, key, mask ? dibx::TMaskUse::Mask : dibx::TMaskUse::None, src, op, p))
    return;
  p.channels = dibx::ChannelsOf(dst);

  // Destination box: the scaled source's corners turned about the pivot.
  const double w = srcRect.Width() * scaleX, h = srcRect.Height() * scaleY;
  const double px = pivotX * scaleX, py = pivotY * scaleY;
  const double c = std::cos(angle), s = std::sin(angle);
  const double cx[4] = {-px, w - px - 1, -px, w - px - 1};
  const double cy[4] = {-py, -py, h - py - 1, h - py - 1};
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (int i = 0; i < 4; ++i) {
    const double xr = cx[i] * c - cy[i] * s + x, yr = cx[i] * s + cy[i] * c + y;
    minX = std::min(minX, xr), maxX = std::max(maxX, xr);
    minY = std::min(minY, yr), maxY = std::max(maxY, yr);
  }
  const TRect clip = dst.ClipRect();
  const double left = std::max<double>(std::floor(minX), clip.Left);
  const double top = std::max<double>(std::floor(minY), clip.Top);
  const double right = std::min<double>(std::trunc(maxX) + 1, clip.Right);
  const double bottom = std::min<double>(std::trunc(maxY) + 1, clip.Bottom);
  if (!(right > left) || !(bottom > top))
    return;
  const int bx = static_cast<int>(left), by = static_cast<int>(top);
  const int bw = static_cast<int>(right) - bx, bh = static_cast<int>(bottom) - by;

  // Inverse mapping per destination column and row.
  const int64_t dudx = Fixed(std::cos(-angle) / scaleX), dvdx = Fixed(std::sin(-angle) / scaleY);
  const int64_t dudy = Fixed(-std::sin(-angle) / scaleX), dvdy = Fixed(std::cos(-angle) / scaleY);
  // The pivot counts from srcRect's top-left for sampling too, as it does for the box.
  int64_t u0 = (int64_t{srcRect.Left} + pivotX) * 65536 + (int64_t{bx} - x) * dudx +
               (int64_t{by} - y) * dudy;
  int64_t v0 =
      (int64_t{srcRect.Top} + pivotY) * 65536 + (int64_t{bx} - x) * dvdx + (int64_t{by} - y) * dvdy;

  dibx::TAffineRow row;
  row.du = dudx;
  row.dv = dvdx;
  row.mirrorX = HasFlipH(flip) ? int64_t{srcRect.Left} + srcRect.Right - 1 : -1;
  row.mirrorY = HasFlipV(flip) ? int64_t{srcRect.Top} + srcRect.Bottom - 1 : -1;
  // Source coordinates (16.16) whose pixels lie in the readable area, mirrors included.
  int64_t uLo, uHi, vLo, vHi;
  if (row.mirrorX >= 0) {
    uLo = (row.mirrorX - readable.Right + 1) * 65536;
    uHi = (row.mirrorX - readable.Left + 1) * 65536;
  } else {
    uLo = int64_t{readable.Left} * 65536;
    uHi = int64_t{readable.Right} * 65536;
  }
  if (row.mirrorY >= 0) {
    vLo = (row.mirrorY - readable.Bottom + 1) * 65536;
    vHi = (row.mirrorY - readable.Top + 1) * 65536;
  } else {
    vLo = int64_t{readable.Top} * 65536;
    vHi = int64_t{readable.Bottom} * 65536;
  }
  uLo = std::max<int64_t>(uLo, 0);
  vLo = std::max<int64_t>(vLo, 0);
  dibx::TSampledRows rows(dst, src, mask, op, p);
  for (int j = 0; j < bh; ++j, u0 += dudy, v0 += dvdy) {
    TSpan span{0, bw};
    span = span.Within(u0, dudx, uLo, uHi).Within(v0, dvdx, vLo, vHi);
    if (span.hi <= span.lo)
      continue;
    const int first = static_cast<int>(span.lo), count = static_cast<int>(span.hi - span.lo);
    row.u = u0 + first * dudx;
    row.v = v0 + first * dvdx;
    rows.Affine(bx + first, by + j, count, row);
  }
}

} // namespace

void TCustomDIBX::DrawRotate(int x, int y, int alpha, TKeyMode key, TFlip flip, double angle,
                             int pivotY, int pivotX, const TRect& srcRect, TCustomDIBX& src,
                             double scaleY, double scaleX) {
  Rotated(*this, x, y, alpha, key, nullptr, flip, angle, pivotY, pivotX, srcRect, src, scaleY,
          scaleX);
}

void TCustomDIBX::DrawRotateMask(int x, int y, int alpha, TCustomDIBX& mask, TFlip flip,
                                 double angle, int pivotY, int pivotX, const TRect& srcRect,
                                 TCustomDIBX& src, double scaleY, double scaleX) {
  Rotated(*this, x, y, alpha, TKeyMode::Ignore, &mask, flip, angle, pivotY, pivotX, srcRect, src,
          scaleY, scaleX);
}

} // namespace nova
