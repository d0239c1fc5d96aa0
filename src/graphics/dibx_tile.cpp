// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cmath>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_engine.h"

namespace nova {
namespace {

using dibx::TRowOp;
using dibx::TRowParams;

// Phase of an offset within a period: o mod n, negative offsets counted back from n.
int64_t Phase(int64_t offset, int64_t period) {
  return offset >= 0 ? offset % period : period - (-offset % period);
}

// Zooms outside this range are not pictures but overflowing fixed-point steps.
bool ValidZoom(double zoom) { return zoom >= 1e-6 && zoom <= 1e6; }

// Sets the clip to dstRect within the current clip for the life of the object.
class TClipScope {
public:
  TClipScope(TCustomDIBX& s, const TRect& dstRect)
      : s_(s), saved_(s.StoredClip()), area_(Intersect(dstRect, s.ClipRect())) {
    if (!area_.IsEmpty())
      s_.SetStoredClip(area_);
  }
  ~TClipScope() { s_.SetStoredClip(saved_); }
  TClipScope(const TClipScope&) = delete;
  TClipScope& operator=(const TClipScope&) = delete;
  bool Empty() const { return area_.IsEmpty(); }

private:
  TCustomDIBX& s_;
  TRect saved_;
  TRect area_;
};

// Calls draw(x, y) for every tile of size tileW x tileH with the gaps over dstRect, from the
// phase of the offsets; the clip (dstRect) cuts the tiles.
template <typename DrawTile>
void ForEachTile(TCustomDIBX& dst, const TRect& dstRect, int tileW, int tileH, int hGap, int vGap,
                 int offsetY, int offsetX, DrawTile draw) {
  if (tileW <= 0 || tileH <= 0)
    return;
  TClipScope scope(dst, dstRect);
  if (scope.Empty())
    return;
  const TRect area = dst.ClipRect();
  const int64_t periodX = std::max<int64_t>(int64_t{tileW} + std::max(hGap, 0), 1);
  const int64_t periodY = std::max<int64_t>(int64_t{tileH} + std::max(vGap, 0), 1);
  // The phase is taken within the tile, not the period: the first tile shows from it onward,
  // and the gaps follow each tile.
  int64_t x0 = int64_t{dstRect.Left} - Phase(offsetX, tileW);
  int64_t y0 = int64_t{dstRect.Top} - Phase(offsetY, tileH);
  if (x0 + periodX <= area.Left)
    x0 += (area.Left - x0) / periodX * periodX;
  if (y0 + periodY <= area.Top)
    y0 += (area.Top - y0) / periodY * periodY;
  for (int64_t ty = y0; ty < area.Bottom; ty += periodY)
    for (int64_t tx = x0; tx < area.Right; tx += periodX)
      draw(static_cast<int>(tx), static_cast<int>(ty));
}

} // namespace

void TCustomDIBX::TileDraw(const TRect& dstRect, int hGap, int offsetY, int offsetX, TFlip flip,
                           TKeyMode key, const TRect& srcRect, TCustomDIBX& src, int vGap) {
  ForEachTile(*this, dstRect, srcRect.Width(), srcRect.Height(), hGap, vGap, offsetY, offsetX,
              [&](int x, int y) { Draw(x, y, flip, key, srcRect, src); });
}

void TCustomDIBX::TileDrawAlpha(const TRect& dstRect, int hGap, int offsetY, int offsetX, int alpha,
                                TFlip flip, TKeyMode key, const TRect& srcRect, TCustomDIBX& src,
                                int vGap) {
  if (alpha <= 0)
    return;
  ForEachTile(*this, dstRect, srcRect.Width(), srcRect.Height(), hGap, vGap, offsetY, offsetX,
              [&](int x, int y) { DrawAlpha(x, y, alpha, flip, key, srcRect, src); });
}

void TCustomDIBX::TileDrawAdd(const TRect& dstRect, int hGap, int offsetY, int offsetX,
                              int strength, TFlip flip, TKeyMode key, const TRect& srcRect,
                              TCustomDIBX& src, int vGap) {
  if (strength <= 0)
    return;
  ForEachTile(*this, dstRect, srcRect.Width(), srcRect.Height(), hGap, vGap, offsetY, offsetX,
              [&](int x, int y) { DrawAdd(x, y, strength, flip, key, srcRect, src); });
}

void TCustomDIBX::TileDrawMask(const TRect& dstRect, int hGap, int offsetY, int offsetX,
                               TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                               TCustomDIBX& src, int vGap) {
  ForEachTile(*this, dstRect, srcRect.Width(), srcRect.Height(), hGap, vGap, offsetY, offsetX,
              [&](int x, int y) { DrawMask(x, y, mask, flip, srcRect, src); });
}

void TCustomDIBX::TileDrawMaskAlpha(const TRect& dstRect, int hGap, int offsetY, int offsetX,
                                    int alpha, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                                    TCustomDIBX& src, int vGap) {
  if (alpha <= 0)
    return;
  ForEachTile(*this, dstRect, srcRect.Width(), srcRect.Height(), hGap, vGap, offsetY, offsetX,
              [&](int x, int y) { DrawMaskAlpha(x, y, alpha, mask, flip, srcRect, src); });
}

void TCustomDIBX::TileDrawMaskAdd(const TRect& dstRect, int hGap, int offsetY, int offsetX,
                                  int strength, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                                  TCustomDIBX& src, int vGap) {
  if (strength <= 0)
    return;
  ForEachTile(*this, dstRect, srcRect.Width(), srcRect.Height(), hGap, vGap, offsetY, offsetX,
              [&](int x, int y) { DrawMaskAdd(x, y, strength, mask, flip, srcRect, src); });
}

namespace {
// Size of a zoomed tile; zero for zooms that leave nothing to draw.
int ZoomedSize(int size, double zoom) {
  if (!ValidZoom(zoom))
    return 0;
  return static_cast<int>(std::clamp(double(size) * zoom, 0.0, double(1 << 20)));
}

// Tiles of srcRect scaled by the zooms; draw(tile) draws one at its destination rectangle.
template <typename DrawTile>
void ForEachZoomedTile(TCustomDIBX& dst, const TRect& dstRect, int hGap, int vGap, int offsetY,
                       int offsetX, double zoomY, double zoomX, const TRect& srcRect,
                       DrawTile draw) {
  const int tw = ZoomedSize(srcRect.Width(), zoomX), th = ZoomedSize(srcRect.Height(), zoomY);
  ForEachTile(dst, dstRect, tw, th, hGap, vGap, offsetY, offsetX, [&](int x, int y) {
    draw(TRect{x, y, x + tw, y + th});
  });
}

} // namespace

void TCustomDIBX::TileStretchDraw(const TRect& dstRect, int hGap, int offsetY, int offsetX,
                                  int opacity, double zoomY, double zoomX, TFlip flip, TKeyMode key,
                                  const TRect& srcRect, TCustomDIBX& src, int vGap) {
  if (opacity <= 0)
    return;
  ForEachZoomedTile(*this, dstRect, hGap, vGap, offsetY, offsetX, zoomY, zoomX, srcRect,
                    [&](const TRect& tile) {
                      if (opacity <= 255)
                        StretchDrawAlpha(tile, src, opacity, flip, key, srcRect);
                      else
                        StretchDrawAdd(tile, src, opacity - 256, flip, key, srcRect);
                    });
}

void TCustomDIBX::TileStretchDrawMask(const TRect& dstRect, int hGap, int offsetY, int offsetX,
                                      int opacity, double zoomY, double zoomX, TCustomDIBX& mask,
                                      TFlip flip, const TRect& srcRect, TCustomDIBX& src,
                                      int vGap) {
  if (opacity <= 0)
    return;
  ForEachZoomedTile(*this, dstRect, hGap, vGap, offsetY, offsetX, zoomY, zoomX, srcRect,
                    [&](const TRect& tile) {
                      if (opacity <= 255)
                        StretchDrawMaskAlpha(tile, src, opacity, mask, flip, srcRect);
                      else
                        StretchDrawMaskAdd(tile, src, opacity - 256, mask, flip, srcRect);
                    });
}

void TCustomDIBX::TileFill(const TRect& dstRect, TCustomDIBX& src, TFlip flip, int offsetY,
                           int offsetX) {
  if (src.IsEmpty())
    return;
  ForEachTile(*this, dstRect, src.Width(), src.Height(), 0, 0, offsetY, offsetX,
              [&](int x, int y) { Draw(x, y, flip, TKeyMode::Ignore, src.Bounds(), src); });
}

void TCustomDIBX::FrameTile(const TRect& rect, int width, int offsetY, int offsetX, TFlip flip,
                            TCustomDIBX& src) {
  if (width <= 0 || rect.IsEmpty())
    return;
  const int w = std::min({width, rect.Width(), rect.Height()});
  TileFill(TRect{rect.Left, rect.Top, rect.Right, rect.Top + w}, src, flip, offsetY, offsetX);
  TileFill(TRect{rect.Left, rect.Bottom - w, rect.Right, rect.Bottom}, src, flip, offsetY, offsetX);
  if (int64_t{rect.Height()} - 2 * int64_t{w} > 0) {
    TileFill(TRect{rect.Left, rect.Top + w, rect.Left + w, rect.Bottom - w}, src, flip, offsetY,
             offsetX);
    TileFill(TRect{rect.Right - w, rect.Top + w, rect.Right, rect.Bottom - w}, src, flip, offsetY,
             offsetX);
  }
}

namespace {

// One axis of a zoomed repeat: destination position n (from the area's start) shows source
// index Index(n) of a source `size` long.
struct TZoomAxis {
  int64_t start = 0, step = 0, period = 0;
  int size = 0;
  bool flip = false;

  TZoomAxis(int size_, double zoom, int offset, int64_t skipped, bool flip_)
      : size(size_), flip(flip_) {
    period = int64_t{size} * 65536;
    step = std::min<int64_t>(static_cast<int64_t>(65536.0 / zoom), period);
    // The phase: the fractional part of offset over the zoomed size, in source pixels.
    const double cycles = double(offset) / (double(size) * zoom);
    const double frac = cycles - std::floor(cycles);
    start = static_cast<int64_t>(frac * double(period)) % period;
    start = (start + (skipped % period) * step % period) % period;
  }
  int Index(int n) const {
    const int64_t u = (start + (int64_t{n} * step) % period) % period;
    const int i = static_cast<int>(u >> 16);
    return flip ? size - 1 - i : i;
  }
};

void ZoomFill(TCustomDIBX& dst, const TRect& dstRect, TCustomDIBX& src, TCustomDIBX* mask,
              int opacity, TFlip flip, TKeyMode key, int offsetY, int offsetX, double zoomY,
              double zoomX) {
  if (!ValidZoom(zoomX) || !ValidZoom(zoomY))
    return;
  if (src.IsEmpty() || !dibx::SameFormat(dst, src))
    return;
  if (mask &&
      (!dibx::IsMask(*mask) || mask->Width() < src.Width() || mask->Height() < src.Height()))
    return;
  TRowOp op;
  TRowParams p;
  if (!dibx::OpacityOp(std::min(opacity, 511), key,
                       mask ? dibx::TMaskUse::Mask : dibx::TMaskUse::None, src, op, p))
    return;
  p.channels = dibx::ChannelsOf(dst);
  const TRect area = Intersect(dstRect, dst.ClipRect());
  if (area.IsEmpty())
    return;
  const TZoomAxis ax(src.Width(), zoomX, offsetX, int64_t{area.Left} - dstRect.Left,
                     HasFlipH(flip));
  const TZoomAxis ay(src.Height(), zoomY, offsetY, int64_t{area.Top} - dstRect.Top, HasFlipV(flip));
  const int w = area.Width();
  int32_t* xs = dibx::ScratchInts(0, size_t(w));
  for (int i = 0; i < w; ++i)
    xs[i] = ax.Index(i);
  dibx::TSampledRows rows(dst, src, mask, op, p);
  for (int j = 0; j < area.Height(); ++j)
    rows.Gathered(area.Left, area.Top + j, w, xs, ay.Index(j));
}

} // namespace

void TCustomDIBX::TileFillZoom(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip,
                               TKeyMode key, int offsetY, int offsetX, double zoomY, double zoomX) {
  ZoomFill(*this, dstRect, src, nullptr, opacity, flip, key, offsetY, offsetX, zoomY, zoomX);
}

void TCustomDIBX::TileFillZoomMask(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip,
                                   TCustomDIBX& mask, int offsetY, int offsetX, double zoomY,
                                   double zoomX) {
  ZoomFill(*this, dstRect, src, &mask, opacity, flip, TKeyMode::Ignore, offsetY, offsetX, zoomY,
           zoomX);
}

} // namespace nova
