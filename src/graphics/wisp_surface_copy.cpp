// SPDX-License-Identifier: MIT
// Copying a frame's composite onto drawing surfaces.
#include <cstring>

#include "graphics/dibx_custom.h"
#include "graphics/wisp_frame.h"

namespace nova {

namespace {

// 4 × 4 ordered-dither thresholds, 0–15.
constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Adds a threshold below one step of a channel of `bits` bits before the truncation drops it.
inline uint32_t DitherChannel(uint32_t value, int bits, uint8_t threshold) {
  const uint32_t step = 1u << (8 - bits);
  return std::min<uint32_t>(255, value + threshold * step / 16);
}

int ChannelBits(uint32_t mask) {
  int n = 0;
  for (; mask != 0; mask >>= 1)
    n += mask & 1;
  return n;
}

} // namespace

void TWispFrame::CopyTo(TCustomDIBX& surface, WispDither dither) const {
  const TWispBitmap& src = picture.color;
  const int dst_bits = surface.BitCount();
  surface.SetSize(src.width(), src.height(), dst_bits);
  if (surface.IsEmpty())
    return;
  const int32_t w = src.width(), h = src.height();
  if (dst_bits == src.bit_count() && (dst_bits <= 8 || dst_bits == 24)) {
    if (dst_bits <= 8) {
      TPaletteEntry palette[256];
      for (int i = 0; i < 256; ++i) {
        const uint32_t c = src.palette()[static_cast<size_t>(i)];
        palette[i] = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                      static_cast<uint8_t>(c >> 16), 0};
      }
      surface.SetPalette(palette);
    }
    const size_t row_bytes = std::min(src.pitch(), BitmapRowBytes(w, dst_bits));
    for (int32_t y = 0; y < h; ++y)
      std::memcpy(surface.PixelAddress(0, y), src.Row(y), row_bytes);
  } else if (dst_bits == 32) {
    // Native 32-bit pixels are 0x00RRGGBB: exactly the raw values of truecolour and palettes.
    for (int32_t y = 0; y < h; ++y) {
      auto* out = reinterpret_cast<uint32_t*>(surface.PixelAddress(0, y));
      const uint8_t* in = src.Row(y);
      if (src.bit_count() == 32) {
        for (int32_t x = 0; x < w; ++x, in += 4) {
          out[x] = in[0] | (in[1] << 8) | (in[2] << 16);
        }
      } else if (src.bit_count() == 24) {
        for (int32_t x = 0; x < w; ++x, in += 3) {
          out[x] = in[0] | (in[1] << 8) | (in[2] << 16);
        }
      } else {
        for (int32_t x = 0; x < w; ++x)
          out[x] = src.palette()[src.GetRaw(x, y)];
      }
    }
  } else {
    const bool dithered = dither == WispDither::kOn && (dst_bits == 15 || dst_bits == 16) &&
                          (transparent < 0 || picture.has_alpha);
    const int red_bits = ChannelBits(surface.RedMask()),
              green_bits = ChannelBits(surface.GreenMask()),
              blue_bits = ChannelBits(surface.BlueMask());
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint32_t c = src.RawToColor(src.GetRaw(x, y)); // 0x00BBGGRR
        if (dithered) {
          const uint8_t t = kBayer[y & 3][x & 3];
          c = DitherChannel(c & 0xFF, red_bits, t) |
              (DitherChannel((c >> 8) & 0xFF, green_bits, t) << 8) |
              (DitherChannel((c >> 16) & 0xFF, blue_bits, t) << 16);
        }
        surface.SetPixel(x, y, static_cast<TPixel>(surface.ColorToPixel(static_cast<int32_t>(c))));
      }
    }
  }
  surface.ReleasePixels();
}

void TWispFrame::CopyAlphaTo(TCustomDIBX& mask) const {
  const int32_t w = picture.color.width(), h = picture.color.height();
  mask.SetSize(w, h, 8);
  if (mask.IsEmpty())
    return;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* out = mask.PixelAddress(0, y);
    if (picture.has_alpha) {
      std::memcpy(out, picture.alpha.Row(y), static_cast<size_t>(w));
    } else {
      std::memset(out, 255, static_cast<size_t>(w));
    }
  }
  mask.ReleasePixels();
}

} // namespace nova
