// SPDX-License-Identifier: MIT
// Grey levels to native pixels, for glyph and image drawing on 16- and 32-bit surfaces.
#pragma once
#include <array>
#include <cstdint>

namespace nova {

struct TGreyTables {
  // Grey level g (0-255) as the native pixel of RGB (g, g, g): 5-6-5, or 5-5-5 when the screen
  // runs at 15 bits.
  std::array<uint16_t, 256> pixel16{};
  std::array<uint32_t, 256> pixel32{};
};

// Built once per screen bit count (the scene's colour-table step).
TGreyTables BuildGreyTables(int screen_bits);

} // namespace nova
