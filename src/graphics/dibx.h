// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "graphics/dibx_custom.h"

namespace nova {

// A surface whose pixels live in memory as a bottom-up bitmap: row 0 is stored last and the
// pitch is negative, rows padded to 4 bytes. Formats 1, 2, 4 and 8 are palette indices packed
// high bits first; 15 and 16 are 5-5-5 and 5-6-5 words; 24 is blue, green, red; 32 is blue,
// green, red, unused. A new surface is 1 x 1 at 15 bits.
class TDIBX : public TCustomDIBX {
public:
  TDIBX();
  TDIBX(int width, int height, int bitCount);
  // A moved-from surface is 0 x 0.
  TDIBX(TDIBX&& other) noexcept;
  TDIBX& operator=(TDIBX&& other) noexcept;
  // Wraps memory owned by the caller (the borrowed flag): rows `pitch` bytes apart starting at
  // `row0`, which must stay valid until the next SetSize, Release or destruction.
  void BorrowPixels(uint8_t* row0, int width, int height, int bitCount, int pitch);

  int BitCount() const override { return bit_count_; }
  void SetBitCount(int count) override;
  uint32_t RedMask() const override { return red_mask_; }
  uint32_t GreenMask() const override { return green_mask_; }
  uint32_t BlueMask() const override { return blue_mask_; }
  int Pitch() const override { return pitch_; }
  TPixel GetPixel(int x, int y) const override;
  void SetPixel(int x, int y, TPixel pixel) override;
  int StorageBitCount() const override { return bit_count_ == 15 ? 16 : bit_count_; }
  void SetSize(int width, int height, int bitCount) override;
  uint8_t* PixelAddress(int x, int y) override;
  void GetPalette(std::span<TPaletteEntry, 256> entries) const override;
  void SetPalette(std::span<const TPaletteEntry, 256> entries) override;
  void GetPaletteEntries(int first, std::span<TPaletteEntry> entries) const override;
  void SetPaletteEntries(int first, std::span<const TPaletteEntry> entries) override;
  // Keeps an 8 x 8 bitmap but reports 0 x 0.
  void Release() override;
  bool Borrowed() const { return borrowed_; }

  // Moving the pixels out of a device bitmap has nothing to do for memory storage.
  void MakeMemoryImage() {}

private:
  void Allocate(int width, int height, int bitCount);

  int bit_count_ = 15;
  uint32_t red_mask_ = 0, green_mask_ = 0, blue_mask_ = 0;
  int pitch_ = 0;
  uint8_t* row0_ = nullptr; // address of row 0 (the last row in memory)
  std::vector<uint8_t> storage_;
  std::array<TPaletteEntry, 256> palette_{};
  bool borrowed_ = false;
};

// Channel masks of a bit count: (5,5,5) for 15, (5,6,5) for 16, (8,8,8) for 24 and 32, none
// for palette formats.
struct TChannelMasks {
  uint32_t red = 0, green = 0, blue = 0;
};
TChannelMasks MasksForBitCount(int bitCount);
// Whether SetSize accepts the count.
bool IsValidBitCount(int bitCount);

} // namespace nova
