// SPDX-License-Identifier: MIT
#include "graphics/dibx_custom.h"

#include <algorithm>

#include "graphics/private/dibx_engine.h"

namespace nova {

using dibx::TRowOp;
using dibx::TRowParams;

TRect Intersect(const TRect& a, const TRect& b) {
  const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

TRect Union(const TRect& a, const TRect& b) {
  if (a.IsEmpty())
    return b;
  if (b.IsEmpty())
    return a;
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
}

namespace {
int LowestBit(uint32_t mask) { return mask ? __builtin_ctz(mask) : 0; }
int MaskWidth(uint32_t mask) { return __builtin_popcount(mask); }
} // namespace

int TCustomDIBX::BlueShift() const { return LowestBit(BlueMask()); }
int TCustomDIBX::GreenShift() const { return LowestBit(GreenMask()); }
int TCustomDIBX::RedShift() const { return LowestBit(RedMask()); }

void TCustomDIBX::GetPalette(std::span<TPaletteEntry, 256> entries) const {
  std::fill(entries.begin(), entries.end(), TPaletteEntry{});
}
void TCustomDIBX::SetPalette(std::span<const TPaletteEntry, 256>) {}
void TCustomDIBX::GetPaletteEntries(int, std::span<TPaletteEntry> entries) const {
  std::fill(entries.begin(), entries.end(), TPaletteEntry{});
}
void TCustomDIBX::SetPaletteEntries(int, std::span<const TPaletteEntry>) {}

void TCustomDIBX::AddClipRect(const TRect& rect) {
  const TRect r = Intersect(rect, Bounds());
  if (r.IsEmpty())
    return;
  clip_ = clip_.Right == 0 ? r : Union(clip_, r);
}

TRect TCustomDIBX::ClipRect() const {
  if (clip_.Right == 0)
    return Bounds();
  // The surface may have shrunk since the clip was set.
  return Intersect(clip_, Bounds());
}

int32_t TCustomDIBX::ColorToPixel(int32_t color) const {
  if (color < 0)
    return -1;
  const uint32_t c = static_cast<uint32_t>(color);
  if (BitCount() <= 8) {
    // Nearest palette entry by squared distance.
    TPaletteEntry palette[256];
    GetPalette(palette);
    const int n = 1 << BitCount();
    int best = 0;
    int64_t bestDist = INT64_MAX;
    for (int i = 0; i < n; ++i) {
      const int dr = int(c & 0xFF) - palette[i].Red;
      const int dg = int((c >> 8) & 0xFF) - palette[i].Green;
      const int db = int((c >> 16) & 0xFF) - palette[i].Blue;
      const int64_t dist = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
      if (dist < bestDist)
        bestDist = dist, best = i;
    }
    return best;
  }
  const int r = MaskWidth(RedMask()), g = MaskWidth(GreenMask()), b = MaskWidth(BlueMask());
  return static_cast<int32_t>((((c & 0xFF) >> (8 - r)) << (g + b)) |
                              ((((c >> 8) & 0xFF) >> (8 - g)) << b) |
                              (((c >> 16) & 0xFF) >> (8 - b)));
}

namespace {
// Widens a channel of `bits` bits to 8 by repeating its high bits.
uint32_t Widen8(uint32_t v, int bits) {
  if (bits >= 8)
    return v >> (bits - 8);
  uint32_t out = v << (8 - bits);
  for (int filled = bits; filled < 8; filled += bits)
    out |= out >> bits;
  return out & 0xFF;
}
} // namespace

uint32_t TCustomDIBX::PixelToColor(TPixel pixel) const {
  if (BitCount() <= 8) {
    TPaletteEntry e[1];
    GetPaletteEntries(static_cast<int>(pixel & 0xFF), e);
    return e[0].Red | (e[0].Green << 8) | (uint32_t{e[0].Blue} << 16);
  }
  const uint32_t r = Widen8((pixel & RedMask()) >> RedShift(), MaskWidth(RedMask()));
  const uint32_t g = Widen8((pixel & GreenMask()) >> GreenShift(), MaskWidth(GreenMask()));
  const uint32_t b = Widen8((pixel & BlueMask()) >> BlueShift(), MaskWidth(BlueMask()));
  return r | (g << 8) | (b << 16);
}

// --- Fills ---

void TCustomDIBX::Clear(TPixel pixel) { FillRect(Bounds(), pixel); }

namespace {
void FillWith(TCustomDIBX& s, const TRect& rect, TRowOp op, TPixel pixel, int alpha) {
  TRowParams p;
  p.channels = dibx::ChannelsOf(s);
  p.color = pixel;
  p.alpha = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  dibx::RunFill(s, Intersect(rect, s.ClipRect()), op, p);
}
} // namespace

void TCustomDIBX::FillRect(const TRect& rect, TPixel pixel) {
  FillWith(*this, rect, TRowOp::Fill, pixel, 255);
}

void TCustomDIBX::FillRectAlpha(const TRect& rect, TPixel pixel, int alpha) {
  if (alpha <= 0)
    return;
  FillWith(*this, rect, TRowOp::FillAlpha, pixel, alpha);
}

void TCustomDIBX::FillRectAdd(const TRect& rect, TPixel pixel) {
  FillWith(*this, rect, TRowOp::FillAdd, pixel, 255);
}

void TCustomDIBX::FillRectSub(const TRect& rect, TPixel pixel) {
  FillWith(*this, rect, TRowOp::FillSub, pixel, 255);
}

namespace {
// Top band, bottom band, then the left and right bands between them.
template <typename Fill> void FrameBands(const TRect& r, int width, Fill fill) {
  if (width <= 0 || r.IsEmpty())
    return;
  const int w = std::min({width, r.Width(), r.Height()});
  fill(TRect{r.Left, r.Top, r.Right, r.Top + w});
  fill(TRect{r.Left, r.Bottom - w, r.Right, r.Bottom});
  if (int64_t{r.Height()} - 2 * int64_t{w} > 0) {
    fill(TRect{r.Left, r.Top + w, r.Left + w, r.Bottom - w});
    fill(TRect{r.Right - w, r.Top + w, r.Right, r.Bottom - w});
  }
}
} // namespace

void TCustomDIBX::FrameRect(const TRect& rect, int width, TPixel pixel) {
  FrameBands(rect, width, [&](const TRect& b) { FillRect(b, pixel); });
}

void TCustomDIBX::FrameRectAlpha(const TRect& rect, int width, int alpha, TPixel pixel) {
  FrameBands(rect, width, [&](const TRect& b) { FillRectAlpha(b, pixel, alpha); });
}

void TCustomDIBX::FrameRectAdd(const TRect& rect, int width, TPixel pixel) {
  FrameBands(rect, width, [&](const TRect& b) { FillRectAdd(b, pixel); });
}

// --- Positioned draws ---

namespace {

void Positioned(TCustomDIBX& dst, int x, int y, TFlip flip, const TRect& srcRect, TCustomDIBX& src,
                TCustomDIBX* mask, TRowOp op, uint32_t alpha) {
  TRect limit;
  if (!dibx::ReadableArea(dst, src, mask, limit))
    return;
  dibx::TPlacement place;
  if (!dibx::PlacePositioned(dst, x, y, flip, srcRect, limit, place))
    return;
  TRowParams p;
  p.channels = dibx::ChannelsOf(dst);
  p.alpha = alpha;
  p.key = static_cast<uint32_t>(src.TransparentColor());
  dibx::RunPlacement(dst, &src, mask, place, op, p);
}

bool Keyed(TKeyMode key, const TCustomDIBX& src) {
  return key == TKeyMode::Use && src.TransparentColor() != -1;
}

} // namespace

void TCustomDIBX::Assign(TCustomDIBX& src) {
  if (&src == this)
    return;
  // The whole source regardless of the clip; sizes are left as they are.
  const TRect saved = StoredClip();
  ResetClip();
  Draw(0, 0, FlipNone, TKeyMode::Ignore, src.Bounds(), src);
  SetStoredClip(saved);
}

void TCustomDIBX::Draw(int x, int y, TFlip flip, TKeyMode key, const TRect& srcRect,
                       TCustomDIBX& src) {
  Positioned(*this, x, y, flip, srcRect, src, nullptr,
             Keyed(key, src) ? TRowOp::CopyKey : TRowOp::Copy, 255);
}

void TCustomDIBX::DrawMask(int x, int y, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                           TCustomDIBX& src) {
  Positioned(*this, x, y, flip, srcRect, src, &mask, TRowOp::Mask, 255);
}

void TCustomDIBX::DrawAlpha(int x, int y, int alpha, TFlip flip, TKeyMode key, const TRect& srcRect,
                            TCustomDIBX& src) {
  if (alpha <= 0)
    return;
  Positioned(*this, x, y, flip, srcRect, src, nullptr,
             Keyed(key, src) ? TRowOp::BlendKey : TRowOp::Blend,
             static_cast<uint32_t>(std::min(alpha, 255)));
}

void TCustomDIBX::DrawMaskAlpha(int x, int y, int alpha, TCustomDIBX& mask, TFlip flip,
                                const TRect& srcRect, TCustomDIBX& src) {
  if (alpha <= 0)
    return;
  Positioned(*this, x, y, flip, srcRect, src, &mask, TRowOp::MaskAlpha,
             static_cast<uint32_t>(std::min(alpha, 255)));
}

void TCustomDIBX::DrawAdd(int x, int y, int strength, TFlip flip, TKeyMode key,
                          const TRect& srcRect, TCustomDIBX& src) {
  if (strength <= 0)
    return;
  Positioned(*this, x, y, flip, srcRect, src, nullptr,
             Keyed(key, src) ? TRowOp::AddKey : TRowOp::Add,
             static_cast<uint32_t>(std::min(strength, 255)));
}

void TCustomDIBX::DrawMaskAdd(int x, int y, int strength, TCustomDIBX& mask, TFlip flip,
                              const TRect& srcRect, TCustomDIBX& src) {
  if (strength <= 0)
    return;
  Positioned(*this, x, y, flip, srcRect, src, &mask, TRowOp::MaskAdd,
             static_cast<uint32_t>(std::min(strength, 255)));
}

void TCustomDIBX::DrawColorMask(int x, int y, int alpha, TPixel color, TFlip flip,
                                const TRect& srcRect, TCustomDIBX& mask) {
  if (alpha <= 0 || !dibx::IsMask(mask))
    return;
  dibx::TPlacement place;
  if (!dibx::PlacePositioned(*this, x, y, flip, srcRect, mask.Bounds(), place))
    return;
  TRowParams p;
  p.channels = dibx::ChannelsOf(*this);
  p.alpha = static_cast<uint32_t>(std::min(alpha, 255));
  p.color = color;
  dibx::RunPlacement(*this, nullptr, &mask, place, TRowOp::MaskAlpha, p);
}

} // namespace nova
