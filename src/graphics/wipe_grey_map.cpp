// SPDX-License-Identifier: MIT
#include "graphics/private/wipe_grey_map.h"

#include <algorithm>

namespace nova::wipe {

std::vector<uint8_t> BuildGreyMap(int width, int height, const std::string& name, bool reverse,
                                  const TWipePictureSource& pictures) {
  const size_t w = static_cast<size_t>(std::max(0, width));
  std::vector<uint8_t> map(w * static_cast<size_t>(std::max(0, height)), 255);
  TCustomDIBX* picture = name.empty() || !pictures ? nullptr : pictures(name);
  if (!picture || picture->IsEmpty() || map.empty())
    return map;
  // One grey row per picture row, whatever the picture's size or bit count: luminance with
  // integer weights that sum to 256.
  const int pw = picture->Width(), ph = picture->Height();
  std::vector<uint8_t> grey(static_cast<size_t>(pw) * static_cast<size_t>(ph));
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      const uint32_t c = picture->PixelToColor(picture->GetPixel(x, y));
      const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
      const uint8_t v = static_cast<uint8_t>((r * 77 + g * 150 + b * 29) >> 8);
      grey[static_cast<size_t>(y) * pw + x] = reverse ? 255 - v : v;
    }
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = grey.data() + static_cast<size_t>(y % ph) * pw;
    uint8_t* dst = map.data() + static_cast<size_t>(y) * w;
    for (int x = 0; x < width; ++x)
      dst[x] = src[x % pw];
  }
  return map;
}

} // namespace nova::wipe
