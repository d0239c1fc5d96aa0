// SPDX-License-Identifier: MIT
#include <cstring>

#include "graphics/private/wisp_compose.h"

namespace nova {

namespace {

inline uint8_t Mix(uint8_t d, uint8_t s, uint32_t a) {
  return static_cast<uint8_t>((d * (255 - a) + s * a) >> 8);
}

// Blends one truecolour pixel; the unused byte of a 32-bit pixel falls outside every channel
// mask and becomes 0.
inline void BlendPixel(uint8_t* d, const uint8_t* s, uint32_t a, int bpp) {
  if (d[0] == s[0] && d[1] == s[1] && d[2] == s[2] && (bpp == 3 || d[3] == s[3]))
    return;
  d[0] = Mix(d[0], s[0], a);
  d[1] = Mix(d[1], s[1], a);
  d[2] = Mix(d[2], s[2], a);
  if (bpp == 4)
    d[3] = 0;
}

inline uint32_t RawAt(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }

// Palette pictures have no channels to mix: a weight of at least half takes the source index.
void ComposeIndexed(TWispBitmap& dst, const TWispBitmap& src, int32_t key, const uint8_t* weights,
                    const TWispBitmap* mask) {
  const uint32_t raw_key = src.TruncateRaw(static_cast<uint32_t>(key));
  for (int32_t y = 0; y < dst.height(); ++y) {
    for (int32_t x = 0; x < dst.width(); ++x) {
      uint32_t s = src.GetRaw(x, y);
      if (key >= 0 && s == raw_key)
        continue;
      uint32_t weight = mask != nullptr ? mask->Row(y)[x] : *weights;
      if (weight >= 128)
        dst.SetRaw(x, y, s);
    }
  }
}

} // namespace

void ComposeKeyed(TWispBitmap& dst, const TWispBitmap& src, int32_t key, int32_t opacity) {
  if (opacity <= 0)
    return;
  const uint32_t a = opacity > 255 ? 255u : static_cast<uint32_t>(opacity);
  if (dst.bit_count() < 24) {
    const uint8_t weight = static_cast<uint8_t>(a);
    ComposeIndexed(dst, src, key, &weight, nullptr);
    return;
  }
  if (key < 0 && a == 255) {
    std::memcpy(dst.bytes().data(), src.bytes().data(), dst.bytes().size());
    return;
  }
  const int bpp = dst.bit_count() / 8;
  const uint32_t raw_key = src.TruncateRaw(static_cast<uint32_t>(key));
  for (int32_t y = 0; y < dst.height(); ++y) {
    uint8_t* d = dst.Row(y);
    const uint8_t* s = src.Row(y);
    for (int32_t x = 0; x < dst.width(); ++x, d += bpp, s += bpp) {
      if (key >= 0 && RawAt(s) == raw_key)
        continue;
      if (a == 255) {
        std::memcpy(d, s, static_cast<size_t>(bpp));
      } else {
        BlendPixel(d, s, a, bpp);
      }
    }
  }
}

void ComposeMasked(TWispBitmap& dst, const TWispBitmap& src, const TWispBitmap& mask) {
  if (dst.bit_count() < 24) {
    ComposeIndexed(dst, src, -1, nullptr, &mask);
    return;
  }
  const int bpp = dst.bit_count() / 8;
  for (int32_t y = 0; y < dst.height(); ++y) {
    uint8_t* d = dst.Row(y);
    const uint8_t* s = src.Row(y);
    const uint8_t* m = mask.Row(y);
    for (int32_t x = 0; x < dst.width(); ++x, d += bpp, s += bpp) {
      if (m[x] == 255) {
        std::memcpy(d, s, static_cast<size_t>(bpp));
      } else if (m[x] != 0) {
        BlendPixel(d, s, m[x], bpp);
      }
    }
  }
}

} // namespace nova
