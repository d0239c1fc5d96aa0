// SPDX-License-Identifier: MIT
#include "text/coverage_tables.h"

#include <array>

namespace nova {
namespace {

constexpr std::array<uint8_t, 2> kLevel0 = {0, 255};
constexpr std::array<uint8_t, 5> kLevel1 = {0, 79, 127, 207, 255};
constexpr std::array<uint8_t, 17> kLevel2 = {0,   43,  55,  67,  79,  91,  103, 115, 159,
                                             171, 183, 195, 207, 219, 231, 243, 255};

// The 65-step table rises in four bands so that faint edges stay visible.
constexpr std::array<uint8_t, 65> MakeLevel3() {
  std::array<uint8_t, 65> t{};
  for (int v = 1; v <= 64; ++v) {
    int bias = v <= 7 ? 15 : v <= 23 ? 31 : v <= 39 ? 47 : 63;
    t[v] = static_cast<uint8_t>(3 * v + bias);
  }
  return t;
}
constexpr std::array<uint8_t, 65> kLevel3 = MakeLevel3();

} // namespace

std::span<const uint8_t> CoverageTable(int level) {
  switch (level) {
  case 0:
    return kLevel0;
  case 1:
    return kLevel1;
  case 2:
    return kLevel2;
  default:
    return kLevel3;
  }
}

} // namespace nova
