// SPDX-License-Identifier: MIT
#include "expr/random.h"

namespace nova {

int32_t TRandom::Next(int32_t n) {
  seed = seed * 134775813u + 1u;
  return static_cast<int32_t>((static_cast<uint64_t>(seed) * static_cast<uint32_t>(n)) >> 32);
}

TRandom& GlobalRandom() {
  static TRandom random;
  return random;
}

} // namespace nova
