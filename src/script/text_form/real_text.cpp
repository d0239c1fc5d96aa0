// SPDX-License-Identifier: MIT
#include "script/text_form/real_text.h"

#include <cstdio>
#include <cstdlib>

#include "base/extended_real.h"

namespace nova {

std::string FormatRealBytes(const std::array<uint8_t, 10>& bytes) {
  long double v = ExtendedFromBytes(bytes);
  char buf[64];
  for (int digits = 1; digits <= 21; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*Lg", digits, v);
    if (ExtendedToBytes(std::strtold(buf, nullptr)) == bytes)
      return buf;
  }
  std::string out = "hex:";
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    out += buf;
  }
  return out;
}

bool ParseRealText(const std::string& text, std::array<uint8_t, 10>& bytes) {
  if (text.rfind("hex:", 0) == 0) {
    if (text.size() != 4 + 20)
      return false;
    for (size_t i = 0; i < 10; ++i) {
      char pair[3] = {text[4 + i * 2], text[5 + i * 2], 0};
      char* end = nullptr;
      long v = std::strtol(pair, &end, 16);
      if (*end != '\0' || pair[0] == '-' || pair[0] == '+' || pair[0] == ' ')
        return false;
      bytes[i] = static_cast<uint8_t>(v);
    }
    return true;
  }
  if (text.empty())
    return false;
  char* end = nullptr;
  long double v = std::strtold(text.c_str(), &end);
  if (*end != '\0')
    return false;
  bytes = ExtendedToBytes(v);
  return true;
}

} // namespace nova
