// SPDX-License-Identifier: MIT
#include <algorithm>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_engine.h"
#include "graphics/private/dibx_sampling.h"

namespace nova {
namespace {

// Calls pixel(dstX, dstY, srcX, srcY) over a clipped positioned draw of srcRect at (x, y).
template <typename Pixel>
void ForEachPlaced(TCustomDIBX& dst, int x, int y, TFlip flip, const TRect& srcRect,
                   const TCustomDIBX& src, Pixel pixel) {
  dibx::TPlacement pl;
  if (!dibx::PlacePositioned(dst, x, y, flip, srcRect, src.Bounds(), pl))
    return;
  for (int j = 0; j < pl.height; ++j)
    for (int i = 0; i < pl.width; ++i)
      pixel(pl.dstX + i, pl.dstY + j, pl.srcX + i * pl.stepX, pl.srcY + j * pl.stepY);
}

} // namespace

void TCustomDIBX::DrawNibble(int x, int y, std::span<const TPixel, 16> table, int opacity,
                             TFlip flip, const TRect& srcRect, TCustomDIBX& src) {
  if (opacity <= 0 || src.BitCount() != 4)
    return;
  const dibx::TChannels ch = dibx::ChannelsOf(*this);
  const int32_t key = src.TransparentColor();
  const uint32_t white = RedMask() | GreenMask() | BlueMask();
  const bool skipWhite = StorageBitCount() == 16;
  const uint32_t weight =
      static_cast<uint32_t>(std::min(opacity > 255 ? opacity - 256 : opacity, 255));
  if (weight == 0)
    return;
  ForEachPlaced(*this, x, y, flip, srcRect, src, [&](int dx, int dy, int sx, int sy) {
    const uint32_t v = src.GetPixel(sx, sy);
    if (key != -1 && v == static_cast<uint32_t>(key))
      return;
    const TPixel c = table[v & 15];
    if (opacity == 255) {
      SetPixel(dx, dy, c);
      return;
    }
    const TPixel d = GetPixel(dx, dy);
    if (opacity > 255) {
      if (c == 0 || (skipWhite && d == white))
        return;
      SetPixel(dx, dy, dibx::AddPixel(d, c, weight, ch));
      return;
    }
    if (d != c)
      SetPixel(dx, dy, dibx::BlendPixel(d, c, weight, ch));
  });
}

void TCustomDIBX::DrawPaletteAdd(int x, int y, std::span<const TPixel, 256> table, int strength,
                                 TFlip flip, int threshold, const TRect& srcRect,
                                 TCustomDIBX& src) {
  if (strength <= 0 || src.BitCount() != 8)
    return;
  const dibx::TChannels ch = dibx::ChannelsOf(*this);
  const uint32_t a = static_cast<uint32_t>(std::min(strength, 255));
  ForEachPlaced(*this, x, y, flip, srcRect, src, [&](int dx, int dy, int sx, int sy) {
    const uint32_t index = src.GetPixel(sx, sy) & 0xFF;
    if (static_cast<int>(index) < threshold)
      return;
    SetPixel(dx, dy, dibx::AddPixel(GetPixel(dx, dy), table[index], a, ch));
  });
}

void TCustomDIBX::StretchDrawPaletteAdd(const TRect& dstRect, std::span<const TPixel, 256> table,
                                        int strength, TFlip flip, int threshold,
                                        const TRect& srcRect, TCustomDIBX& src) {
  if (strength <= 0 || src.BitCount() != 8)
    return;
  const dibx::TChannels ch = dibx::ChannelsOf(*this);
  const uint32_t a = static_cast<uint32_t>(std::min(strength, 255));
  dibx::ForEachScaledRow(*this, dstRect, srcRect, src.Bounds(), flip,
                         [&](int y, int sy, int x, int n, const int32_t* xs) {
                           for (int i = 0; i < n; ++i) {
                             const uint32_t index = src.GetPixel(xs[i], sy) & 0xFF;
                             if (static_cast<int>(index) < threshold)
                               continue;
                             SetPixel(x + i, y,
                                      dibx::AddPixel(GetPixel(x + i, y), table[index], a, ch));
                           }
                         });
}

} // namespace nova
