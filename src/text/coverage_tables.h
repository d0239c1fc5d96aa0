// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>

namespace nova {

// Maps a rasterised level value (0/1 at level 0, 0..4, 0..16, 0..64 at levels 1..3) to 8-bit
// coverage. Levels outside 0..3 are treated as 3.
std::span<const uint8_t> CoverageTable(int level);

} // namespace nova
