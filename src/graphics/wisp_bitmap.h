// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "graphics/dibx_types.h"

namespace nova {

struct WispPoint {
  int32_t x = 0, y = 0;
  bool operator==(const WispPoint&) const = default;
};

// Caps checked before any picture is allocated, so a file cannot claim its way into memory.
struct WispLimits {
  int32_t max_side = 32767;
  int64_t max_pixels = int64_t{1} << 26;      // per picture
  int64_t max_total_bytes = int64_t{1} << 31; // every plane of one file together
};

// Bytes of one bitmap row: width × bits, rounded up to whole 32-bit words.
size_t BitmapRowBytes(int32_t width, int32_t bit_count);

// Leaves new bytes uninitialised, so decoders that write every byte skip a zeroing pass.
template <class T> struct UninitializedAllocator : std::allocator<T> {
  template <class U> struct rebind { using other = UninitializedAllocator<U>; };
  template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
  template <class U, class... Args> void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// What SetSize does with the pixel memory.
enum class WispPixels {
  kZeroed,
  kUninitialized, // the caller writes every byte, row padding included
  kNone,          // shape and palette only; no pixels until the next SetSize
};

// One plane of pixels in its file format: 1, 4 or 8 bits (palette indices, high bits first),
// 24 bits (blue, green, red) or 32 bits (blue, green, red, unused); rows top-down, each
// BitmapRowBytes long. Alpha planes are 8-bit bitmaps without a palette.
class TWispBitmap {
public:
  void SetSize(int32_t width, int32_t height, int32_t bit_count,
               WispPixels pixels = WispPixels::kZeroed);
  void Clear() { SetSize(0, 0, bit_count_ == 0 ? 8 : bit_count_); }

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t bit_count() const { return bit_count_; }
  size_t pitch() const { return pitch_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  uint8_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * pitch_; }
  const uint8_t* Row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * pitch_; }
  std::span<uint8_t> bytes() { return pixels_; }
  std::span<const uint8_t> bytes() const { return pixels_; }

  // Palette entries as stored in files: 0x00RRGGBB (bytes blue, green, red, 0).
  std::array<uint32_t, 256>& palette() { return palette_; }
  const std::array<uint32_t, 256>& palette() const { return palette_; }

  // The raw value of a pixel: a palette index, or 0x00RRGGBB (the unused byte of 32-bit pixels
  // is not part of it).
  uint32_t GetRaw(int32_t x, int32_t y) const;
  void SetRaw(int32_t x, int32_t y, uint32_t raw);
  // The raw value as it reads back from a pixel of this format.
  uint32_t TruncateRaw(uint32_t raw) const;
  // Raw value ⇄ 0x00BBGGRR colour; colours map to the nearest palette entry at 8 bits or less.
  uint32_t RawToColor(uint32_t raw) const;
  uint32_t ColorToRaw(uint32_t color) const;
  void Fill(uint32_t raw);

  // Copies a w × h area between bitmaps of the same bit count (any bit alignment).
  void CopyArea(int32_t dst_x, int32_t dst_y, const TWispBitmap& src, int32_t src_x, int32_t src_y,
                int32_t w, int32_t h);
  // Crops to rect, which must lie inside the bitmap.
  void Crop(const TRect& rect);

private:
  int32_t width_ = 0, height_ = 0, bit_count_ = 0;
  size_t pitch_ = 0;
  std::vector<uint8_t, UninitializedAllocator<uint8_t>> pixels_;
  std::array<uint32_t, 256> palette_{};
};

// A composite picture: its colour plane and, when present, an 8-bit alpha plane of equal size.
struct TWispPicture {
  TWispBitmap color;
  TWispBitmap alpha;
  bool has_alpha = false;
};

} // namespace nova
