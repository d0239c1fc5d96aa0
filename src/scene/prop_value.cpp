// SPDX-License-Identifier: MIT
#include "scene/prop_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace nova {
namespace {

// Optional spaces and sign, then decimal digits or hexadecimal after "$", "x" or "0x".
bool ParseInt(const std::string& text, int32_t& out) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  bool neg = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    neg = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size())
    return false;
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int d = c >= '0' && c <= '9'                 ? c - '0'
            : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
            : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
    if (d < 0)
      return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull)
      return false;
  }
  if (base == 10 && v > (neg ? 0x80000000ull : 0x7FFFFFFFull))
    return false;
  out = static_cast<int32_t>(neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
  return true;
}

long double ParseReal(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  long double v = std::strtold(begin, &end);
  if (end == begin || *end != '\0' || !std::isfinite(v))
    return 0;
  return v;
}

int32_t TruncReal(long double v) {
  if (!std::isfinite(v))
    return 0;
  long double t = std::trunc(v);
  // Low 32 bits of the truncated value.
  if (std::fabs(t) >= 9.2e18L)
    return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(t)));
}

} // namespace

TPropValue TPropValue::Int(int32_t v) {
  TPropValue p;
  p.type = ptInt;
  p.i = v;
  return p;
}
TPropValue TPropValue::Real(long double v) {
  TPropValue p;
  p.type = ptReal;
  p.r = v;
  return p;
}
TPropValue TPropValue::Flag(bool v) {
  TPropValue p;
  p.type = ptFlag;
  p.f = v;
  return p;
}
TPropValue TPropValue::Str(std::string v) {
  TPropValue p;
  p.type = ptStr;
  p.s = std::move(v);
  return p;
}

int32_t TPropValue::AsInt() const {
  switch (type) {
  case ptInt:
    return i;
  case ptReal:
    return TruncReal(r);
  case ptFlag:
    return f ? 1 : 0;
  case ptStr: {
    int32_t v = 0;
    return ParseInt(s, v) ? v : 0;
  }
  }
  return 0;
}

long double TPropValue::AsReal() const {
  switch (type) {
  case ptInt:
    return i;
  case ptReal:
    return r;
  case ptFlag:
    return f ? 1 : 0;
  case ptStr:
    return ParseReal(s);
  }
  return 0;
}

bool TPropValue::AsFlag() const {
  switch (type) {
  case ptInt:
    return i != 0;
  case ptReal:
    return r != 0;
  case ptFlag:
    return f;
  case ptStr:
    if (s == "TRUE")
      return true;
    if (s == "FALSE")
      return false;
    return AsInt() != 0;
  }
  return false;
}

std::string TPropValue::AsStr() const {
  switch (type) {
  case ptInt:
    return std::to_string(i);
  case ptReal: {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15Lg", r);
    return buf;
  }
  case ptFlag:
    return f ? "TRUE" : "FALSE";
  case ptStr:
    return s;
  }
  return {};
}

TPropValue TPropValue::As(TPropType to) const {
  switch (to) {
  case ptInt:
    return Int(AsInt());
  case ptReal:
    return Real(AsReal());
  case ptFlag:
    return Flag(type == ptStr ? s == "TRUE" : AsFlag());
  case ptStr:
    return Str(AsStr());
  }
  return *this;
}

bool TPropValue::operator==(const TPropValue& o) const {
  if (type != o.type)
    return false;
  switch (type) {
  case ptInt:
    return i == o.i;
  case ptReal:
    return r == o.r;
  case ptFlag:
    return f == o.f;
  case ptStr:
    return s == o.s;
  }
  return false;
}

std::string Describe(const TPropValue& v) {
  static const char* const kNames[] = {"int", "real", "flag", "str"};
  const std::string text = v.AsStr();
  return std::string(kNames[v.type & 3]) + (v.type == ptStr ? " \"" + text + "\"" : " " + text);
}

} // namespace nova
