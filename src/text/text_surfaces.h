// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

namespace nova {

// A rectangle in pixels, right and bottom exclusive.
struct TextRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  TextRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  TextRect Intersect(const TextRect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
  TextRect Union(const TextRect& o) const {
    if (Empty())
      return o;
    if (o.Empty())
      return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
  }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const TextRect&) const = default;
};

// The colour half of a pair of work surfaces: 15-, 16- or 32-bit pixels in the layout of a
// Windows bitmap (32-bit 0x00RRGGBB, 16-bit 5-6-5, 15-bit 5-5-5). Other depths hold pixels but
// glyph compositing leaves them alone.
class TextColorSurface {
public:
  TextColorSurface() = default;
  TextColorSurface(int width, int height, int bpp) { Resize(width, height, bpp); }
  void Resize(int width, int height, int bpp);
  int width() const { return width_; }
  int height() const { return height_; }
  int bpp() const { return bpp_; }
  uint32_t red_mask() const;
  uint32_t green_mask() const;
  uint32_t blue_mask() const;
  // A 0x00BBGGRR colour as this surface's native pixel.
  uint32_t ColorToPixel(uint32_t colorref) const;
  // A native pixel back to 0x00BBGGRR (low bits of 15/16-bit channels replicated).
  uint32_t PixelToColor(uint32_t pixel) const;
  uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t pixel);
  void Fill(const TextRect& r, uint32_t pixel);
  void Clear() { std::fill(bits_.begin(), bits_.end(), 0); }
  // Top row first, rows `stride()` bytes apart (padded to 4 bytes, as bitmaps are).
  uint8_t* bits() { return bits_.data(); }
  const uint8_t* bits() const { return bits_.data(); }
  int stride() const { return stride_; }

private:
  int width_ = 0, height_ = 0, bpp_ = 32, stride_ = 0;
  std::vector<uint8_t> bits_;
};

// The 8-bit coverage half of a pair of work surfaces.
class CoverageSurface {
public:
  CoverageSurface() = default;
  CoverageSurface(int width, int height) { Resize(width, height); }
  void Resize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  uint8_t* Row(int y) { return bits_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* Row(int y) const { return bits_.data() + static_cast<size_t>(y) * stride_; }
  int stride() const { return stride_; }
  uint8_t At(int x, int y) const { return Row(y)[x]; }
  void Fill(const TextRect& r, uint8_t value);
  void Clear() { std::fill(bits_.begin(), bits_.end(), 0); }

private:
  int width_ = 0, height_ = 0, stride_ = 0;
  std::vector<uint8_t> bits_;
};

} // namespace nova
