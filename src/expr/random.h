// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace nova {

// The player's one linear congruential generator: seed := seed * 134775813 + 1.
class TRandom {
public:
  uint32_t seed = 0;
  // A value in 0..n-1 for n > 0 (the high half of seed * n).
  int32_t Next(int32_t n);
};

// The process-wide generator (seeded by the shell at start, reset by tests).
TRandom& GlobalRandom();

} // namespace nova
