// SPDX-License-Identifier: MIT
#include "graphics/private/wipe_blur.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace nova::wipe {
namespace {

// One pass of a box of 2r + 1 samples along `count` values `stride` apart, per channel,
// rounding the mean; `line` is scratch of count values.
void BoxPass(uint8_t* data, int count, ptrdiff_t stride, int r, std::vector<uint8_t>& line) {
  line.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    line[static_cast<size_t>(i)] = data[i * stride];
  const int window = 2 * r + 1;
  auto at = [&](int i) { return line[static_cast<size_t>(std::clamp(i, 0, count - 1))]; };
  int sum = 0;
  for (int i = -r; i <= r; ++i)
    sum += at(i);
  for (int i = 0; i < count; ++i) {
    data[i * stride] = static_cast<uint8_t>((sum + window / 2) / window);
    sum += at(i + r + 1) - at(i - r);
  }
}

} // namespace

void BoxBlur(TCustomDIBX& source, int radius, TDIBX& out) {
  const int w = source.Width(), h = source.Height();
  out.SetSize(w, h, source.BitCount());
  if (source.BitCount() <= 8) {
    std::array<TPaletteEntry, 256> palette;
    source.GetPalette(palette);
    out.SetPalette(palette);
  }
  if (w <= 0 || h <= 0)
    return;
  // Channels as bytes, blurred in place, then back to the surface's format.
  std::vector<uint8_t> planes(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c = source.PixelToColor(source.GetPixel(x, y));
      uint8_t* p = planes.data() + (static_cast<size_t>(y) * w + x) * 3;
      p[0] = c & 0xFF;
      p[1] = (c >> 8) & 0xFF;
      p[2] = (c >> 16) & 0xFF;
    }
  const int r = std::max(0, radius);
  std::vector<uint8_t> line;
  if (r > 0) {
    for (int pass = 0; pass < 2; ++pass) {
      for (int y = 0; y < h; ++y)
        for (int ch = 0; ch < 3; ++ch)
          BoxPass(planes.data() + static_cast<size_t>(y) * w * 3 + ch, w, 3, r, line);
      for (int x = 0; x < w; ++x)
        for (int ch = 0; ch < 3; ++ch)
          BoxPass(planes.data() + static_cast<size_t>(x) * 3 + ch, h, ptrdiff_t{w} * 3, r, line);
    }
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = planes.data() + (static_cast<size_t>(y) * w + x) * 3;
      out.SetPixel(x, y, static_cast<TPixel>(out.ColorToPixel(p[0] | p[1] << 8 | p[2] << 16)));
    }
}

} // namespace nova::wipe
