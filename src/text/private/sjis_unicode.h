// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace nova {

// Unicode code point of a Shift-JIS character code (byte, or lead * 256 + trail); 0 when the
// code is not a character of code page 932. The table is built on first use.
uint32_t SjisCodeToUnicode(uint16_t code);

} // namespace nova
