// SPDX-License-Identifier: MIT
#include "base/extended_real.h"

#include <cassert>
#include <cmath>
#include <limits>

namespace nova {

namespace {
constexpr int kBias = 16383;
}

long double ExtendedFromBytes(std::span<const uint8_t> b) {
  assert(b.size() >= 10);
  uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | b[i];
  const int exponent = ((b[9] & 0x7F) << 8) | b[8];
  const bool negative = (b[9] & 0x80) != 0;
  long double v;
  if (exponent == 0x7FFF) {
    // Any mantissa other than the bare integer bit is a NaN (pseudo-forms included).
    v = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                             : std::numeric_limits<long double>::quiet_NaN();
  } else {
    // Denormals use exponent 1 - bias with no implicit bit; normals carry their own bit.
    const int e = exponent == 0 ? 1 - kBias : exponent - kBias;
    v = std::ldexp(static_cast<long double>(mantissa), e - 63);
  }
  return negative ? -v : v;
}

std::array<uint8_t, 10> ExtendedToBytes(long double value) {
  std::array<uint8_t, 10> out{};
  bool negative = std::signbit(value);
  uint64_t mantissa = 0;
  int exponent = 0;
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
    negative = false;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    long double a = std::fabs(value);
    int e2 = 0;
    long double frac = std::frexp(a, &e2);  // a = frac * 2^e2, frac in [0.5, 1)
    int biased = e2 - 1 + kBias;
    if (biased <= 0) {
      // Denormal: exponent field 0, mantissa scaled by the minimum exponent.
      mantissa = static_cast<uint64_t>(std::ldexp(a, 63 - (1 - kBias)));
      exponent = 0;
    } else {
      mantissa = static_cast<uint64_t>(std::ldexp(frac, 64));
      exponent = biased;
    }
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  out[8] = static_cast<uint8_t>(exponent & 0xFF);
  out[9] = static_cast<uint8_t>(((exponent >> 8) & 0x7F) | (negative ? 0x80 : 0));
  return out;
}

}  // namespace nova
