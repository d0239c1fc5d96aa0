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

void Rotated(TCustomDIBX& dst, int x, int y, int alpha, TKeyMode key, TCustomDIBX* mask, TFlip flip,
             double angle, int pivotY, int pivotX, const TRect& srcRect, TCustomDIBX& src,
             double scaleY, double scaleX) {
  // Scales outside this range are not pictures but overflowing fixed-point steps.
  constexpr double kMinScale = 1e-6, kMaxScale = 1e6;
  if (alpha <= 0 || !(scaleX >= kMinScale && scaleX <= kMaxScale) ||
      !(scaleY >= kMinScale && scaleY <= kMaxScale) || !std::isfinite(angle))
    return;
  if (!dibx::SameFormat(dst, src))
    return;
  TRect readable = Intersect(srcRect, src.Bounds());
  if (mask) {
    if (!dibx::IsMask(*mask))
      return;
    readable = Intersect(readable, mask->Bounds());
  }
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
  int64_t u0 = int64_t{pivotX} * 65536 + (int64_t{bx} - x) * dudx + (int64_t{by} - y) * dudy;
  int64_t v0 = int64_t{pivotY} * 65536 + (int64_t{bx} - x) * dvdx + (int64_t{by} - y) * dvdy;

  int32_t* xs = dibx::ScratchInts(0, size_t(bw));
  int32_t* ys = dibx::ScratchInts(1, size_t(bw));
  for (int j = 0; j < bh; ++j, u0 += dudy, v0 += dvdy) {
    // Each condition holds on an interval of a row, so the samples form one run.
    int first = -1, count = 0;
    int64_t u = u0, v = v0;
    for (int i = 0; i < bw; ++i, u += dudx, v += dvdx) {
      if (u < 0 || v < 0) {
        if (first >= 0)
          break;
        continue;
      }
      int64_t col = u >> 16, row = v >> 16;
      if (HasFlipH(flip))
        col = srcRect.Right - col - 1;
      if (HasFlipV(flip))
        row = srcRect.Bottom - row - 1;
      if (col < readable.Left || col >= readable.Right || row < readable.Top ||
          row >= readable.Bottom) {
        if (first >= 0)
          break;
        continue;
      }
      if (first < 0)
        first = i;
      xs[count] = static_cast<int32_t>(col);
      ys[count] = static_cast<int32_t>(row);
      ++count;
    }
    if (count > 0)
      dibx::RunGathered(dst, bx + first, by + j, count, src, mask, xs, ys, op, p);
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
