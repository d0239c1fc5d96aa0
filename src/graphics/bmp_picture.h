// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "graphics/wisp_bitmap.h"
#include "graphics/wisp_frame.h"

namespace nova {

// A Windows bitmap (".bmp", or ".dib" with or without the file header) as one frame: 1, 4 and 8
// bits keep their palette (RLE4 and RLE8 unpacked), 16 bits become 24, 24 stay, and 32 bits
// become 24 with the fourth byte of every pixel as the alpha plane (left out when it is 0
// everywhere: such files carry no alpha). Bottom-up and top-down rows both load.
// Raises ENovaError naming `name` for damaged or oversized files.
TWispFrame DecodeBmpFrame(std::span<const uint8_t> data, const std::string& name,
                          const WispLimits& limits);

} // namespace nova
