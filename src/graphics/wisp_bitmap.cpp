// SPDX-License-Identifier: MIT
#include "graphics/wisp_bitmap.h"

#include <cassert>
#include <cstring>
#include <limits>

namespace nova {

size_t BitmapRowBytes(int32_t width, int32_t bit_count) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(bit_count) + 31) / 32) * 4;
}

void TWispBitmap::SetSize(int32_t width, int32_t height, int32_t bit_count, WispPixels pixels) {
  assert(width >= 0 && height >= 0);
  width_ = width;
  height_ = height;
  bit_count_ = bit_count;
  pitch_ = BitmapRowBytes(width, bit_count);
  const size_t bytes = pitch_ * static_cast<size_t>(height);
  pixels_.clear();
  if (pixels == WispPixels::kZeroed) {
    pixels_.assign(bytes, 0);
  } else if (pixels == WispPixels::kUninitialized) {
    pixels_.resize(bytes);
  }
}

uint32_t TWispBitmap::GetRaw(int32_t x, int32_t y) const {
  const uint8_t* row = Row(y);
  switch (bit_count_) {
  case 1:
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
  case 4:
    return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
  case 8:
    return row[x];
  case 24:
  case 32: {
    const uint8_t* p = row + static_cast<size_t>(x) * (bit_count_ / 8);
    return p[0] | (p[1] << 8) | (p[2] << 16);
  }
  default:
    return 0;
  }
}

void TWispBitmap::SetRaw(int32_t x, int32_t y, uint32_t raw) {
  uint8_t* row = Row(y);
  switch (bit_count_) {
  case 1: {
    uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
    row[x >> 3] = static_cast<uint8_t>((raw & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
    break;
  }
  case 4: {
    uint8_t& b = row[x >> 1];
    b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (raw & 0xF))
                : static_cast<uint8_t>((b & 0x0F) | ((raw & 0xF) << 4));
    break;
  }
  case 8:
    row[x] = static_cast<uint8_t>(raw);
    break;
  case 24:
  case 32: {
    uint8_t* p = row + static_cast<size_t>(x) * (bit_count_ / 8);
    p[0] = static_cast<uint8_t>(raw);
    p[1] = static_cast<uint8_t>(raw >> 8);
    p[2] = static_cast<uint8_t>(raw >> 16);
    if (bit_count_ == 32)
      p[3] = 0;
    break;
  }
  default:
    break;
  }
}

uint32_t TWispBitmap::TruncateRaw(uint32_t raw) const {
  if (bit_count_ >= 24)
    return raw & 0xFFFFFF;
  return raw & ((1u << bit_count_) - 1);
}

static uint32_t SwapRedBlue(uint32_t v) {
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

uint32_t TWispBitmap::RawToColor(uint32_t raw) const {
  raw = TruncateRaw(raw);
  return SwapRedBlue(bit_count_ >= 24 ? raw : palette_[raw]);
}

uint32_t TWispBitmap::ColorToRaw(uint32_t color) const {
  const uint32_t rgb = SwapRedBlue(color & 0xFFFFFF);
  if (bit_count_ >= 24)
    return rgb;
  const uint32_t entries = 1u << bit_count_;
  uint32_t best = 0;
  int64_t best_distance = std::numeric_limits<int64_t>::max();
  for (uint32_t i = 0; i < entries; ++i) {
    int64_t distance = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      int64_t d = static_cast<int64_t>((palette_[i] >> shift) & 0xFF) - ((rgb >> shift) & 0xFF);
      distance += d * d;
    }
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
}

void TWispBitmap::Fill(uint32_t raw) {
  if (empty())
    return;
  std::memset(Row(0), 0, pitch_);
  for (int32_t x = 0; x < width_; ++x)
    SetRaw(x, 0, raw);
  for (int32_t y = 1; y < height_; ++y)
    std::memcpy(Row(y), Row(0), pitch_);
}

void TWispBitmap::CopyArea(int32_t dst_x, int32_t dst_y, const TWispBitmap& src, int32_t src_x,
                           int32_t src_y, int32_t w, int32_t h) {
  assert(src.bit_count_ == bit_count_);
  if (bit_count_ >= 8) {
    const size_t bpp = static_cast<size_t>(bit_count_ / 8);
    for (int32_t y = 0; y < h; ++y) {
      std::memmove(Row(dst_y + y) + dst_x * bpp, src.Row(src_y + y) + src_x * bpp, w * bpp);
    }
    return;
  }
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x)
      SetRaw(dst_x + x, dst_y + y, src.GetRaw(src_x + x, src_y + y));
  }
}

void TWispBitmap::Crop(const TRect& rect) {
  TWispBitmap out;
  out.SetSize(rect.Width(), rect.Height(), bit_count_);
  out.palette_ = palette_;
  out.CopyArea(0, 0, *this, rect.Left, rect.Top, rect.Width(), rect.Height());
  *this = std::move(out);
}

} // namespace nova
