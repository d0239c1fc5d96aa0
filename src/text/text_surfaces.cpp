// SPDX-License-Identifier: MIT
#include "text/text_surfaces.h"

#include <cstring>

namespace nova {

void TextColorSurface::Resize(int width, int height, int bpp) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  bpp_ = bpp;
  stride_ = (width_ * (bpp_ > 16 ? 4 : 2) + 3) & ~3;
  bits_.assign(static_cast<size_t>(stride_) * height_, 0);
}

uint32_t TextColorSurface::red_mask() const {
  return bpp_ == 16 ? 0xF800 : bpp_ == 15 ? 0x7C00 : 0xFF0000;
}
uint32_t TextColorSurface::green_mask() const {
  return bpp_ == 16 ? 0x07E0 : bpp_ == 15 ? 0x03E0 : 0x00FF00;
}
uint32_t TextColorSurface::blue_mask() const {
  return bpp_ == 16 ? 0x001F : bpp_ == 15 ? 0x001F : 0x0000FF;
}

uint32_t TextColorSurface::ColorToPixel(uint32_t c) const {
  uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  if (bpp_ == 16)
    return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
  if (bpp_ == 15)
    return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
  return r << 16 | g << 8 | b;
}

uint32_t TextColorSurface::PixelToColor(uint32_t p) const {
  uint32_t r, g, b;
  if (bpp_ == 16) {
    r = (p >> 11) & 31;
    g = (p >> 5) & 63;
    b = p & 31;
    r = r << 3 | r >> 2;
    g = g << 2 | g >> 4;
    b = b << 3 | b >> 2;
  } else if (bpp_ == 15) {
    r = (p >> 10) & 31;
    g = (p >> 5) & 31;
    b = p & 31;
    r = r << 3 | r >> 2;
    g = g << 3 | g >> 2;
    b = b << 3 | b >> 2;
  } else {
    r = (p >> 16) & 0xFF;
    g = (p >> 8) & 0xFF;
    b = p & 0xFF;
  }
  return r | g << 8 | b << 16;
}

uint32_t TextColorSurface::Pixel(int x, int y) const {
  const uint8_t* p = bits_.data() + static_cast<size_t>(y) * stride_;
  if (bpp_ > 16) {
    uint32_t v;
    std::memcpy(&v, p + static_cast<size_t>(x) * 4, 4);
    return v;
  }
  uint16_t v;
  std::memcpy(&v, p + static_cast<size_t>(x) * 2, 2);
  return v;
}

void TextColorSurface::SetPixel(int x, int y, uint32_t pixel) {
  uint8_t* p = bits_.data() + static_cast<size_t>(y) * stride_;
  if (bpp_ > 16) {
    std::memcpy(p + static_cast<size_t>(x) * 4, &pixel, 4);
  } else {
    const uint16_t v = static_cast<uint16_t>(pixel);
    std::memcpy(p + static_cast<size_t>(x) * 2, &v, 2);
  }
}

void TextColorSurface::Fill(const TextRect& rect, uint32_t pixel) {
  TextRect r = rect.Intersect({0, 0, width_, height_});
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      SetPixel(x, y, pixel);
}

void CoverageSurface::Resize(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  stride_ = (width_ + 3) & ~3;
  bits_.assign(static_cast<size_t>(stride_) * height_, 0);
}

void CoverageSurface::Fill(const TextRect& rect, uint8_t value) {
  TextRect r = rect.Intersect({0, 0, width_, height_});
  for (int y = r.top; y < r.bottom; ++y)
    std::memset(Row(y) + r.left, value, r.Width());
}

} // namespace nova
