// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nova {

// The runtime's integer conversion: optional spaces and sign, decimal digits, or hexadecimal
// after "$", "x" or "0x". Decimal must fit 32 bits; hexadecimal up to 32 bits, wrapping.
std::optional<int32_t> ParseInt(std::string_view s);
// The real conversion: "." as decimal point, optional exponent, surrounding spaces allowed.
std::optional<long double> ParseReal(std::string_view s);
inline int32_t StrToIntDef(std::string_view s, int32_t def) { return ParseInt(s).value_or(def); }
inline long double StrToRealDef(std::string_view s, long double def) {
  return ParseReal(s).value_or(def);
}

std::string IntToStr(int32_t v);
// General format with up to 15 significant digits ("1.5", "1E20", "-2.5E-7").
std::string RealToStr(long double v);
// Truncated toward zero, low 32 bits; out of the 64-bit range is an invalid operation.
int32_t RealToInt(long double v);
inline const char* FlagToStr(bool v) { return v ? "TRUE" : "FALSE"; }

} // namespace nova
