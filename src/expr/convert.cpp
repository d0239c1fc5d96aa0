// SPDX-License-Identifier: MIT
#include "expr/private/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/nova_error.h"
#include "expr/private/limits.h"

namespace nova {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

} // namespace

std::optional<int32_t> ParseInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ')
    ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    neg = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size())
    return std::nullopt;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0)
      return std::nullopt;
    v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull)
      return std::nullopt;
  }
  if (hex) {
    uint32_t u = static_cast<uint32_t>(v);
    return static_cast<int32_t>(neg ? 0u - u : u);
  }
  if (neg ? v > 0x80000000ull : v > 0x7FFFFFFFull)
    return std::nullopt;
  return static_cast<int32_t>(neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
}

std::optional<long double> ParseReal(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ')
    ++b;
  while (e > b && s[e - 1] == ' ')
    --e;
  size_t i = b;
  if (i < e && (s[i] == '+' || s[i] == '-'))
    ++i;
  size_t digits = 0;
  while (i < e && s[i] >= '0' && s[i] <= '9')
    ++i, ++digits;
  if (i < e && s[i] == '.') {
    ++i;
    while (i < e && s[i] >= '0' && s[i] <= '9')
      ++i, ++digits;
  }
  if (digits == 0)
    return std::nullopt;
  if (i < e && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < e && (s[i] == '+' || s[i] == '-'))
      ++i;
    size_t exp_digits = 0;
    while (i < e && s[i] >= '0' && s[i] <= '9')
      ++i, ++exp_digits;
    if (exp_digits == 0)
      return std::nullopt;
  }
  if (i != e)
    return std::nullopt;
  std::string clean(s.substr(b, e - b));
  long double v = std::strtold(clean.c_str(), nullptr);
  if (!std::isfinite(v))
    return std::nullopt;
  return v;
}

std::string IntToStr(int32_t v) { return std::to_string(v); }

std::string RealToStr(long double v) {
  if (std::isnan(v))
    return "NAN";
  if (std::isinf(v))
    return v < 0 ? "-INF" : "INF";
  if (v == 0)
    return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14Le", v);
  // buf: [-]d.dddddddddddddde[+-]x
  std::string text(buf);
  size_t epos = text.find('e');
  int exp = std::atoi(text.c_str() + epos + 1);
  std::string mant = text.substr(0, epos);
  bool neg = mant[0] == '-';
  if (neg)
    mant.erase(0, 1);
  std::string digits = mant.substr(0, 1) + mant.substr(2);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();
  std::string out = neg ? "-" : "";
  if (exp >= 15 || exp < -4) {
    out += digits.substr(0, 1);
    if (digits.size() > 1)
      out += "." + digits.substr(1);
    out += "E" + std::to_string(exp);
  } else if (exp < 0) {
    out += "0." + std::string(static_cast<size_t>(-exp - 1), '0') + digits;
  } else {
    if (digits.size() <= static_cast<size_t>(exp) + 1) {
      out += digits + std::string(static_cast<size_t>(exp) + 1 - digits.size(), '0');
    } else {
      out += digits.substr(0, static_cast<size_t>(exp) + 1) + "." +
             digits.substr(static_cast<size_t>(exp) + 1);
    }
  }
  return out;
}

int32_t RealToInt(long double v) {
  long double t = std::trunc(v);
  if (!(t > -9223372036854775808.0L && t < 9223372036854775808.0L)) {
    throw ENovaError("Invalid floating point operation");
  }
  return static_cast<int32_t>(
      static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(t))));
}

void CheckStringSize(size_t bytes, const char* what) {
  if (bytes > kMaxStringBytes) {
    throw ENovaError(std::string(what) + ": a string of " + std::to_string(bytes) +
                     " bytes is too long");
  }
}

} // namespace nova
