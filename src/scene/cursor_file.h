// SPDX-License-Identifier: MIT
// Windows cursor files (".cur", and the animated ".ani") decoded to a picture with hot spot.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace nova {

struct TCursorImage {
  int32_t width = 0, height = 0;
  int32_t hot_x = 0, hot_y = 0;
  std::vector<uint32_t> argb; // top-down rows, 0xAARRGGBB
};

// Decodes the largest image of a ".cur"/".ico" directory (bitmap entries of 1, 4, 8, 24 or 32
// bits with their AND mask). An ".ani" file (RIFF "ACON") gives its first frame: the cursor is
// shown still. Null when the bytes are no cursor this decoder reads.
std::unique_ptr<TCursorImage> DecodeCursorFile(std::span<const uint8_t> bytes);

} // namespace nova
