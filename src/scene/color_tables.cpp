// SPDX-License-Identifier: MIT
#include "scene/color_tables.h"

namespace nova {

TGreyTables BuildGreyTables(int screen_bits) {
  TGreyTables t;
  const bool is_555 = screen_bits == 15;
  for (uint32_t g = 0; g < 256; ++g) {
    const uint32_t five = g >> 3;
    t.pixel16[g] = static_cast<uint16_t>(is_555 ? (five << 10) | (five << 5) | five
                                                : (five << 11) | ((g >> 2) << 5) | five);
    t.pixel32[g] = (g << 16) | (g << 8) | g;
  }
  return t;
}

} // namespace nova
