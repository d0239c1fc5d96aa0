// SPDX-License-Identifier: MIT
#include "platform/private/present_buffer.h"

#include <algorithm>
#include <cstring>

namespace nova {

namespace {

uint32_t Expand565(uint16_t p) {
  uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

uint32_t Expand555(uint16_t p) {
  uint32_t r = (p >> 10) & 0x1F, g = (p >> 5) & 0x1F, b = p & 0x1F;
  return ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
}

} // namespace

void TPresentBuffer::Resize(int width, int height) {
  picture_.width = std::max(0, width);
  picture_.height = std::max(0, height);
  picture_.pixels.assign(static_cast<size_t>(picture_.width) * picture_.height, 0);
}

std::vector<TWindowRect> TPresentBuffer::Copy(const TPresentSource& source,
                                        std::span<const TWindowRect> changed) {
  std::vector<TWindowRect> done;
  if (!source.pixels)
    return done;
  const int width = std::min(source.width, picture_.width);
  const int height = std::min(source.height, picture_.height);
  for (const TWindowRect& want : changed) {
    TWindowRect r{std::max(want.left, 0), std::max(want.top, 0), std::min(want.right, width),
            std::min(want.bottom, height)};
    if (r.Empty())
      continue;
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* row = source.pixels + static_cast<ptrdiff_t>(y) * source.pitch_bytes;
      uint32_t* out = picture_.pixels.data() + static_cast<size_t>(y) * picture_.width;
      for (int x = r.left; x < r.right; ++x) {
        if (source.format == TPixelFormat::Xrgb8888) {
          uint32_t p;
          std::memcpy(&p, row + x * 4, 4);
          out[x] = p & 0x00FFFFFF;
        } else {
          uint16_t p;
          std::memcpy(&p, row + x * 2, 2);
          out[x] = source.format == TPixelFormat::Rgb565 ? Expand565(p) : Expand555(p);
        }
      }
    }
    done.push_back(r);
  }
  return done;
}

} // namespace nova
