// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cstring>

#include "graphics/dibx_custom.h"
#include "graphics/dibx_present.h"

namespace nova {
namespace {

// 5- or 6-bit field widened to 8 bits by repeating its high bits.
inline uint32_t Widen5(uint32_t v) { return (v << 3) | (v >> 2); }
inline uint32_t Widen6(uint32_t v) { return (v << 2) | (v >> 4); }

// Converts one row of locked 15-, 16- or 32-bit storage; false for other formats.
bool ConvertRow(const uint8_t* row, int bitCount, int n, uint32_t* out) {
  if (bitCount == 32) {
    for (int x = 0; x < n; ++x) {
      uint32_t v;
      std::memcpy(&v, row + x * 4, 4);
      out[x] = v & 0xFFFFFF;
    }
    return true;
  }
  if (bitCount == 15 || bitCount == 16) {
    for (int x = 0; x < n; ++x) {
      uint16_t v;
      std::memcpy(&v, row + x * 2, 2);
      const uint32_t r = bitCount == 16 ? v >> 11 : (v >> 10) & 0x1F;
      const uint32_t g = bitCount == 16 ? Widen6((v >> 5) & 0x3F) : Widen5((v >> 5) & 0x1F);
      out[x] = (Widen5(r) << 16) | (g << 8) | Widen5(v & 0x1F);
    }
    return true;
  }
  return false;
}

} // namespace

void TCustomDIBX::StretchToDC(TPresentationSink& sink, const TRect& dstRect, const TRect& srcRect) {
  const TRect src = Intersect(srcRect, Bounds());
  if (src.IsEmpty() || dstRect.IsEmpty())
    return;
  const int w = src.Width(), h = src.Height();
  present_rows_.resize(static_cast<size_t>(w) * h);
  uint32_t* out = present_rows_.data();
  bool done = false;
  if (const uint8_t* first = PixelAddress(src.Left, src.Top)) {
    const int pitch = Pitch();
    done = true;
    for (int y = 0; y < h && done; ++y)
      done = ConvertRow(first + static_cast<ptrdiff_t>(y) * pitch, BitCount(), w, out + y * w);
    ReleasePixels();
  }
  if (!done) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // 0x00BBGGRR to 0x00RRGGBB.
        const uint32_t c = PixelToColor(GetPixel(src.Left + x, src.Top + y));
        out[y * w + x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
      }
  }
  sink.PresentRect(dstRect, TPresentRows{out, w, h, w});
}

} // namespace nova
