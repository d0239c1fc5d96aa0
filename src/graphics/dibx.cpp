// SPDX-License-Identifier: MIT
#include "graphics/dibx.h"

#include <algorithm>
#include <cstring>

#include "base/nova_error.h"

namespace nova {
namespace {

// Larger surfaces than this are a damaged size, not a picture.
constexpr int kMaxSide = 1 << 15;
constexpr int64_t kMaxBytes = int64_t{1} << 30;

int StorageBits(int bitCount) { return bitCount == 15 ? 16 : bitCount; }

int RowBytes(int width, int bitCount) {
  return static_cast<int>(((int64_t{width} * StorageBits(bitCount) + 31) / 32) * 4);
}

// Greys for palette formats until someone sets a palette: 8-bit surfaces serve as masks.
void GreyPalette(std::array<TPaletteEntry, 256>& palette, int bitCount) {
  const int levels = 1 << std::min(bitCount, 8);
  for (int i = 0; i < 256; ++i) {
    const uint8_t g = static_cast<uint8_t>(i < levels ? i * 255 / (levels - 1) : 0);
    palette[i] = TPaletteEntry{g, g, g, 0};
  }
}

} // namespace

bool IsValidBitCount(int bitCount) {
  switch (bitCount) {
  case 1:
  case 2:
  case 4:
  case 8:
  case 15:
  case 16:
  case 24:
  case 32:
    return true;
  default:
    return false;
  }
}

TChannelMasks MasksForBitCount(int bitCount) {
  int r = 0, g = 0, b = 0;
  if (bitCount == 15)
    r = g = b = 5;
  if (bitCount == 16)
    r = 5, g = 6, b = 5;
  if (bitCount == 24 || bitCount == 32)
    r = g = b = 8;
  if (r == 0)
    return TChannelMasks{};
  return TChannelMasks{((1u << r) - 1) << (g + b), ((1u << g) - 1) << b, (1u << b) - 1};
}

TDIBX::TDIBX() { Allocate(1, 1, 15); }

TDIBX::TDIBX(int width, int height, int bitCount) { Allocate(width, height, bitCount); }

TDIBX::TDIBX(TDIBX&& other) noexcept { *this = std::move(other); }

TDIBX& TDIBX::operator=(TDIBX&& other) noexcept {
  if (this == &other)
    return *this;
  TCustomDIBX::operator=(std::move(other));
  bit_count_ = other.bit_count_;
  red_mask_ = other.red_mask_;
  green_mask_ = other.green_mask_;
  blue_mask_ = other.blue_mask_;
  pitch_ = other.pitch_;
  row0_ = other.row0_;
  storage_ = std::move(other.storage_);
  palette_ = other.palette_;
  borrowed_ = other.borrowed_;
  other.row0_ = nullptr;
  other.storage_.clear();
  other.borrowed_ = false;
  other.SetGeometry(0, 0);
  return *this;
}

void TDIBX::Allocate(int width, int height, int bitCount) {
  if (!IsValidBitCount(bitCount))
    throw ENovaError("surface: unsupported bit count " + std::to_string(bitCount));
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width > kMaxSide || height > kMaxSide ||
      int64_t{RowBytes(width, bitCount)} * height > kMaxBytes)
    throw ENovaError("surface: size " + std::to_string(width) + " x " + std::to_string(height) +
                     " is too large");
  const int row = RowBytes(width, bitCount);
  storage_.assign(static_cast<size_t>(row) * height, 0);
  borrowed_ = false;
  bit_count_ = bitCount;
  const TChannelMasks masks = MasksForBitCount(bitCount);
  red_mask_ = masks.red;
  green_mask_ = masks.green;
  blue_mask_ = masks.blue;
  // Bottom-up: row 0 is the last row in memory.
  pitch_ = -row;
  row0_ = height > 0 ? storage_.data() + static_cast<size_t>(row) * (height - 1) : nullptr;
  if (bitCount <= 8)
    GreyPalette(palette_, bitCount);
  SetGeometry(width, height);
}

void TDIBX::BorrowPixels(uint8_t* row0, int width, int height, int bitCount, int pitch) {
  Allocate(0, 0, bitCount);
  storage_.clear();
  storage_.shrink_to_fit();
  row0_ = row0;
  pitch_ = pitch;
  borrowed_ = true;
  SetGeometry(row0 ? std::max(width, 0) : 0, row0 ? std::max(height, 0) : 0);
}

void TDIBX::SetBitCount(int count) { Allocate(Width(), Height(), count); }

void TDIBX::SetSize(int width, int height, int bitCount) { Allocate(width, height, bitCount); }

void TDIBX::Release() {
  Allocate(8, 8, bit_count_);
  SetGeometry(0, 0);
}

uint8_t* TDIBX::PixelAddress(int x, int y) {
  if (!row0_ || IsEmpty() || x < 0 || y < 0 || x >= Width() || y >= Height())
    return nullptr;
  return row0_ + static_cast<ptrdiff_t>(y) * pitch_ + (int64_t{x} * StorageBits(bit_count_)) / 8;
}

TPixel TDIBX::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height())
    return 0;
  const uint8_t* row = row0_ + static_cast<ptrdiff_t>(y) * pitch_;
  switch (bit_count_) {
  case 1:
  case 2:
  case 4: {
    const int bit = x * bit_count_;
    const int shift = 8 - bit_count_ - (bit & 7);
    return (row[bit >> 3] >> shift) & ((1u << bit_count_) - 1);
  }
  case 8:
    return row[x];
  case 15:
  case 16: {
    uint16_t v;
    std::memcpy(&v, row + x * 2, 2);
    return v;
  }
  case 24:
    return row[x * 3] | (row[x * 3 + 1] << 8) | (uint32_t{row[x * 3 + 2]} << 16);
  default: {
    uint32_t v;
    std::memcpy(&v, row + x * 4, 4);
    return v;
  }
  }
}

void TDIBX::SetPixel(int x, int y, TPixel pixel) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height())
    return;
  uint8_t* row = row0_ + static_cast<ptrdiff_t>(y) * pitch_;
  switch (bit_count_) {
  case 1:
  case 2:
  case 4: {
    const int bit = x * bit_count_;
    const int shift = 8 - bit_count_ - (bit & 7);
    const uint8_t field = static_cast<uint8_t>(((1u << bit_count_) - 1) << shift);
    row[bit >> 3] = static_cast<uint8_t>((row[bit >> 3] & ~field) | ((pixel << shift) & field));
    return;
  }
  case 8:
    row[x] = static_cast<uint8_t>(pixel);
    return;
  case 15:
  case 16: {
    const uint16_t v = static_cast<uint16_t>(pixel);
    std::memcpy(row + x * 2, &v, 2);
    return;
  }
  case 24:
    row[x * 3] = static_cast<uint8_t>(pixel);
    row[x * 3 + 1] = static_cast<uint8_t>(pixel >> 8);
    row[x * 3 + 2] = static_cast<uint8_t>(pixel >> 16);
    return;
  default:
    std::memcpy(row + x * 4, &pixel, 4);
    return;
  }
}

void TDIBX::GetPalette(std::span<TPaletteEntry, 256> entries) const {
  std::copy(palette_.begin(), palette_.end(), entries.begin());
}

void TDIBX::SetPalette(std::span<const TPaletteEntry, 256> entries) {
  std::copy(entries.begin(), entries.end(), palette_.begin());
}

void TDIBX::GetPaletteEntries(int first, std::span<TPaletteEntry> entries) const {
  for (size_t i = 0; i < entries.size(); ++i) {
    const int64_t index = int64_t{first} + int64_t(i);
    if (index >= 0 && index < 256)
      entries[i] = palette_[index];
  }
}

void TDIBX::SetPaletteEntries(int first, std::span<const TPaletteEntry> entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const int64_t index = int64_t{first} + int64_t(i);
    if (index >= 0 && index < 256)
      palette_[index] = entries[i];
  }
}

} // namespace nova
