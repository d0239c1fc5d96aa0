// SPDX-License-Identifier: MIT
#include "graphics/dibx_wave.h"

#include <algorithm>

namespace nova {
namespace {

// Restores the inner surface's clip when a forwarded operation ends, on every path.
class TInnerClip {
public:
  explicit TInnerClip(TCustomDIBX& inner) : inner_(inner), saved_(inner.StoredClip()) {}
  ~TInnerClip() { inner_.SetStoredClip(saved_); }
  TInnerClip(const TInnerClip&) = delete;
  TInnerClip& operator=(const TInnerClip&) = delete;

private:
  TCustomDIBX& inner_;
  TRect saved_;
};

} // namespace

TDIBXWave::TDIBXWave(TCustomDIBX& inner) : inner_(inner) {
  SetGeometry(inner.Width(), inner.Height());
  offsets_.assign(static_cast<size_t>(std::max(inner.Height(), 0)), 0);
}

int TDIBXWave::OffsetOfRow(int row, bool* inRange) const {
  const int64_t i = int64_t{row} - first_row_;
  *inRange = i >= 0 && i < int64_t(offsets_.size());
  return *inRange ? offsets_[size_t(i)] : 0;
}

TPixel TDIBXWave::GetPixel(int x, int y) const {
  bool in;
  const int off = OffsetOfRow(y, &in);
  return in ? inner_.GetPixel(static_cast<int>(int64_t{x} + off), y) : 0;
}

void TDIBXWave::SetPixel(int x, int y, TPixel pixel) {
  bool in;
  const int off = OffsetOfRow(y, &in);
  if (in && x >= 0 && x < Width() && y >= 0 && y < Height())
    inner_.SetPixel(static_cast<int>(int64_t{x} + off), y, pixel);
}

void TDIBXWave::SetSize(int width, int height, int bitCount) {
  SetGeometry(std::max(width, 0), std::max(height, 0));
  offsets_.assign(static_cast<size_t>(std::max(height, 0)), 0);
}

void TDIBXWave::GetPalette(std::span<TPaletteEntry, 256> entries) const {
  inner_.GetPalette(entries);
}

void TDIBXWave::SetPalette(std::span<const TPaletteEntry, 256> entries) {
  inner_.SetPalette(entries);
}

void TDIBXWave::Release() {
  SetGeometry(0, 0);
  offsets_.clear();
}

// Walks destination rows [top, bottom) in bands of equal offset and calls op(offset) with the
// inner clip limited to the band and to this surface's clip moved by the offset.
template <typename Op> static void ForEachBand(TDIBXWave& wave, int top, int bottom, Op op) {
  TCustomDIBX& inner = wave.Inner();
  const TRect own = wave.ClipRect();
  top = std::max(top, own.Top);
  bottom = std::min(bottom, own.Bottom);
  if (top >= bottom)
    return;
  TInnerClip restore(inner);
  const TRect innerClip = inner.ClipRect();
  const std::vector<int32_t>& offsets = wave.Offsets();
  int row = top;
  while (row < bottom) {
    const int64_t i = int64_t{row} - wave.FirstRow();
    if (i < 0 || i >= int64_t(offsets.size())) {
      ++row;
      continue;
    }
    const int off = offsets[size_t(i)];
    int end = row + 1;
    while (end < bottom) {
      const int64_t k = int64_t{end} - wave.FirstRow();
      if (k >= int64_t(offsets.size()) || offsets[size_t(k)] != off)
        break;
      ++end;
    }
    const int64_t left = std::clamp<int64_t>(int64_t{own.Left} + off, INT32_MIN, INT32_MAX);
    const int64_t right = std::clamp<int64_t>(int64_t{own.Right} + off, INT32_MIN, INT32_MAX);
    const TRect band = Intersect(
        innerClip, TRect{static_cast<int32_t>(left), row, static_cast<int32_t>(right), end});
    if (!band.IsEmpty()) {
      inner.SetStoredClip(band);
      op(off);
    }
    row = end;
  }
}

namespace {
int Shift(int x, int off) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{x} + off, INT32_MIN, INT32_MAX));
}
TRect ShiftRect(const TRect& r, int off) {
  return TRect{Shift(r.Left, off), r.Top, Shift(r.Right, off), r.Bottom};
}
int SpanEnd(int start, int length) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{start} + length, INT32_MIN, INT32_MAX));
}
} // namespace

void TDIBXWave::FillRect(const TRect& rect, TPixel pixel) {
  ForEachBand(*this, rect.Top, rect.Bottom,
              [&](int off) { inner_.FillRect(ShiftRect(rect, off), pixel); });
}

void TDIBXWave::FillRectAlpha(const TRect& rect, TPixel pixel, int alpha) {
  ForEachBand(*this, rect.Top, rect.Bottom,
              [&](int off) { inner_.FillRectAlpha(ShiftRect(rect, off), pixel, alpha); });
}

void TDIBXWave::FillRectAdd(const TRect& rect, TPixel pixel) {
  ForEachBand(*this, rect.Top, rect.Bottom,
              [&](int off) { inner_.FillRectAdd(ShiftRect(rect, off), pixel); });
}

void TDIBXWave::FillRectSub(const TRect& rect, TPixel pixel) {
  ForEachBand(*this, rect.Top, rect.Bottom,
              [&](int off) { inner_.FillRectSub(ShiftRect(rect, off), pixel); });
}

void TDIBXWave::Draw(int x, int y, TFlip flip, TKeyMode key, const TRect& srcRect,
                     TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()),
              [&](int off) { inner_.Draw(Shift(x, off), y, flip, key, srcRect, src); });
}

void TDIBXWave::DrawMask(int x, int y, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                         TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()),
              [&](int off) { inner_.DrawMask(Shift(x, off), y, mask, flip, srcRect, src); });
}

void TDIBXWave::DrawAlpha(int x, int y, int alpha, TFlip flip, TKeyMode key, const TRect& srcRect,
                          TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()),
              [&](int off) { inner_.DrawAlpha(Shift(x, off), y, alpha, flip, key, srcRect, src); });
}

void TDIBXWave::DrawMaskAlpha(int x, int y, int alpha, TCustomDIBX& mask, TFlip flip,
                              const TRect& srcRect, TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()), [&](int off) {
    inner_.DrawMaskAlpha(Shift(x, off), y, alpha, mask, flip, srcRect, src);
  });
}

void TDIBXWave::DrawAdd(int x, int y, int strength, TFlip flip, TKeyMode key, const TRect& srcRect,
                        TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()), [&](int off) {
    inner_.DrawAdd(Shift(x, off), y, strength, flip, key, srcRect, src);
  });
}

void TDIBXWave::DrawMaskAdd(int x, int y, int strength, TCustomDIBX& mask, TFlip flip,
                            const TRect& srcRect, TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()), [&](int off) {
    inner_.DrawMaskAdd(Shift(x, off), y, strength, mask, flip, srcRect, src);
  });
}

void TDIBXWave::StretchDrawAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha, TFlip flip,
                                 TKeyMode key, const TRect& srcRect) {
  ForEachBand(*this, dstRect.Top, dstRect.Bottom, [&](int off) {
    inner_.StretchDrawAlpha(ShiftRect(dstRect, off), src, alpha, flip, key, srcRect);
  });
}

void TDIBXWave::StretchDrawMaskAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha,
                                     TCustomDIBX& mask, TFlip flip, const TRect& srcRect) {
  ForEachBand(*this, dstRect.Top, dstRect.Bottom, [&](int off) {
    inner_.StretchDrawMaskAlpha(ShiftRect(dstRect, off), src, alpha, mask, flip, srcRect);
  });
}

void TDIBXWave::StretchDrawAdd(const TRect& dstRect, TCustomDIBX& src, int strength, TFlip flip,
                               TKeyMode key, const TRect& srcRect) {
  ForEachBand(*this, dstRect.Top, dstRect.Bottom, [&](int off) {
    inner_.StretchDrawAdd(ShiftRect(dstRect, off), src, strength, flip, key, srcRect);
  });
}

void TDIBXWave::StretchDrawMaskAdd(const TRect& dstRect, TCustomDIBX& src, int strength,
                                   TCustomDIBX& mask, TFlip flip, const TRect& srcRect) {
  ForEachBand(*this, dstRect.Top, dstRect.Bottom, [&](int off) {
    inner_.StretchDrawMaskAdd(ShiftRect(dstRect, off), src, strength, mask, flip, srcRect);
  });
}

void TDIBXWave::DrawNibble(int x, int y, std::span<const TPixel, 16> table, int opacity, TFlip flip,
                           const TRect& srcRect, TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()), [&](int off) {
    inner_.DrawNibble(Shift(x, off), y, table, opacity, flip, srcRect, src);
  });
}

void TDIBXWave::DrawPaletteAdd(int x, int y, std::span<const TPixel, 256> table, int strength,
                               TFlip flip, int threshold, const TRect& srcRect, TCustomDIBX& src) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()), [&](int off) {
    inner_.DrawPaletteAdd(Shift(x, off), y, table, strength, flip, threshold, srcRect, src);
  });
}

void TDIBXWave::StretchDrawPaletteAdd(const TRect& dstRect, std::span<const TPixel, 256> table,
                                      int strength, TFlip flip, int threshold, const TRect& srcRect,
                                      TCustomDIBX& src) {
  ForEachBand(*this, dstRect.Top, dstRect.Bottom, [&](int off) {
    inner_.StretchDrawPaletteAdd(ShiftRect(dstRect, off), table, strength, flip, threshold, srcRect,
                                 src);
  });
}

void TDIBXWave::TileFillZoom(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip,
                             TKeyMode key, int offsetY, int offsetX, double zoomY, double zoomX) {
  ForEachBand(*this, dstRect.Top, dstRect.Bottom, [&](int off) {
    inner_.TileFillZoom(ShiftRect(dstRect, off), src, opacity, flip, key, offsetY, offsetX, zoomY,
                        zoomX);
  });
}

void TDIBXWave::TileFillZoomMask(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip,
                                 TCustomDIBX& mask, int offsetY, int offsetX, double zoomY,
                                 double zoomX) {
  ForEachBand(*this, dstRect.Top, dstRect.Bottom, [&](int off) {
    inner_.TileFillZoomMask(ShiftRect(dstRect, off), src, opacity, flip, mask, offsetY, offsetX,
                            zoomY, zoomX);
  });
}

void TDIBXWave::DrawColorMask(int x, int y, int alpha, TPixel color, TFlip flip,
                              const TRect& srcRect, TCustomDIBX& mask) {
  ForEachBand(*this, y, SpanEnd(y, srcRect.Height()), [&](int off) {
    inner_.DrawColorMask(Shift(x, off), y, alpha, color, flip, srcRect, mask);
  });
}

} // namespace nova
