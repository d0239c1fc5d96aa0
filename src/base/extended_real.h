// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <span>

namespace nova {

// The 10-byte x87 extended real of saved data (64-bit mantissa with explicit integer bit,
// 15-bit biased exponent, sign), converted field by field so that the result does not depend
// on how this compiler stores `long double`.
long double ExtendedFromBytes(std::span<const uint8_t> bytes10);
std::array<uint8_t, 10> ExtendedToBytes(long double value);

}  // namespace nova
