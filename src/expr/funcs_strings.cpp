// SPDX-License-Identifier: MIT
// Built-in string functions. Positions count from 1; the J variants count characters (a
// double-byte character is one), the others bytes.
#include <algorithm>
#include <cstdio>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/private/convert.h"
#include "expr/private/func_call.h"
#include "expr/private/limits.h"

namespace nova {

namespace {

constexpr int32_t kMaxPrecision = 1024;

std::string Padded(const std::string& digits, int32_t width) {
  if (width > kMaxPrecision)
    width = kMaxPrecision;
  if (static_cast<int32_t>(digits.size()) >= width)
    return digits;
  return std::string(static_cast<size_t>(width) - digits.size(), '0') + digits;
}

std::string IntToStrPrec(int32_t v, const std::string& prec) {
  auto p = ParseInt(prec);
  if (!p || *p < 0)
    throw ENovaError("Format '%." + prec + "d' invalid or incompatible with argument");
  std::string digits = std::to_string(v < 0 ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
  return (v < 0 ? "-" : "") + Padded(digits, *p);
}

std::string IntToHex(int32_t v, int32_t digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<uint32_t>(v));
  return Padded(buf, digits);
}

// Byte offsets of each character start, plus the end.
std::vector<size_t> CharStarts(std::string_view s) {
  std::vector<size_t> out;
  for (size_t i = 0; i < s.size(); i += CharBytes(s, i))
    out.push_back(i);
  out.push_back(s.size());
  return out;
}

// Range [from, from+count) of 1-based positions within `len` units, clamped as Copy does.
std::pair<size_t, size_t> CopyRange(int64_t len, int64_t index, int64_t count) {
  if (index < 1)
    index = 1;
  if (index > len || count <= 0)
    return {0, 0};
  if (count > len - index + 1)
    count = len - index + 1;
  return {static_cast<size_t>(index - 1), static_cast<size_t>(count)};
}

std::string Copy(std::string_view s, int64_t index, int64_t count, bool chars) {
  if (!chars) {
    auto [from, n] = CopyRange(static_cast<int64_t>(s.size()), index, count);
    return std::string(s.substr(from, n));
  }
  std::vector<size_t> st = CharStarts(s);
  auto [from, n] = CopyRange(static_cast<int64_t>(st.size()) - 1, index, count);
  if (n == 0)
    return {};
  return std::string(s.substr(st[from], st[from + n] - st[from]));
}

std::string Delete(std::string_view s, int64_t index, int64_t count, bool chars) {
  std::vector<size_t> st = chars ? CharStarts(s) : std::vector<size_t>{};
  int64_t len = chars ? static_cast<int64_t>(st.size()) - 1 : static_cast<int64_t>(s.size());
  if (index < 1 || index > len || count <= 0)
    return std::string(s);
  if (count > len - index + 1)
    count = len - index + 1;
  size_t from = static_cast<size_t>(index - 1), to = static_cast<size_t>(index - 1 + count);
  if (chars)
    from = st[from], to = st[to];
  std::string out(s);
  out.erase(from, to - from);
  return out;
}

std::string Insert(std::string_view src, std::string_view s, int64_t index, bool chars) {
  std::vector<size_t> st = chars ? CharStarts(s) : std::vector<size_t>{};
  int64_t len = chars ? static_cast<int64_t>(st.size()) - 1 : static_cast<int64_t>(s.size());
  if (index < 1)
    index = 1;
  if (index > len + 1)
    index = len + 1;
  size_t at = chars ? st[static_cast<size_t>(index - 1)] : static_cast<size_t>(index - 1);
  std::string out(s);
  out.insert(at, src);
  return out;
}

// Byte offset of `sub` in `s` starting on a character boundary at or after `from`.
size_t FindAligned(std::string_view s, std::string_view sub, size_t from, bool ignore_case) {
  if (sub.empty())
    return std::string_view::npos;
  std::string hs = ignore_case ? UpperCaseJ(s) : std::string(s);
  std::string needle = ignore_case ? UpperCaseJ(sub) : std::string(sub);
  for (size_t i = from; i + needle.size() <= hs.size(); i += CharBytes(hs, i)) {
    if (hs.compare(i, needle.size(), needle) == 0)
      return i;
  }
  return std::string_view::npos;
}

int32_t Pos(std::string_view sub, std::string_view s, bool chars) {
  if (!chars) {
    if (sub.empty())
      return 0;
    size_t at = s.find(sub);
    return at == std::string_view::npos ? 0 : static_cast<int32_t>(at + 1);
  }
  size_t at = FindAligned(s, sub, 0, false);
  if (at == std::string_view::npos)
    return 0;
  return static_cast<int32_t>(CharCount(s.substr(0, at)) + 1);
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<uint8_t>(s[b]) <= ' ')
    ++b;
  while (e > b && static_cast<uint8_t>(s[e - 1]) <= ' ')
    --e;
  return std::string(s.substr(b, e - b));
}

std::string JTrim(std::string_view s) {
  std::vector<size_t> st = CharStarts(s);
  auto is_space = [&](size_t k) {
    uint16_t code = CharCodeAt(s, st[k]);
    return code == ' ' || code == 0x8140;
  };
  size_t b = 0, e = st.size() - 1;
  while (b < e && is_space(b))
    ++b;
  while (e > b && is_space(e - 1))
    --e;
  return std::string(s.substr(st[b], st[e] - st[b]));
}

std::string FixStr(std::string_view s) {
  size_t i = 0, last = 0;
  while (i < s.size()) {
    last = i;
    i += CharBytes(s, i);
  }
  if (!s.empty() && last == s.size() - 1 && IsLeadByte(s[last]))
    return std::string(s.substr(0, last));
  return std::string(s);
}

std::string StringOfChar(std::string_view s, int32_t n) {
  if (n <= 0 || s.empty())
    return {};
  CheckStringSize(s.size() * static_cast<size_t>(n), "StringOfChar");
  std::string out;
  out.reserve(s.size() * static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    out += s;
  return out;
}

std::string Replace(std::string_view s, std::string_view from, std::string_view to, bool all,
                    bool ignore_case) {
  std::string out;
  size_t pos = 0;
  while (pos <= s.size()) {
    size_t at = FindAligned(s, from, pos, ignore_case);
    if (at == std::string_view::npos)
      break;
    out.append(s.substr(pos, at - pos));
    out.append(to);
    pos = at + from.size();
    CheckStringSize(out.size(), "StringReplace");
    if (!all)
      break;
  }
  if (pos < s.size())
    out.append(s.substr(pos));
  return out;
}

int32_t CompareStr(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i])
      return static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
  }
  return static_cast<int32_t>(a.size()) - static_cast<int32_t>(b.size());
}

// Writes the new text into argument 0 when it is a variable, and returns it.
void SetInPlace(const TFuncCall& c, size_t var, const std::string& text) {
  if (c.IsVar(var))
    c.A(var).SetStr(text);
  c.dest.SetStr(text);
}

} // namespace

bool CallStringFunc(const TFuncCall& c) {
  switch (c.id) {
  case 0:
    c.dest.SetStr(c.Has(1) ? IntToStrPrec(c.Int(0), c.Str(1)) : IntToStr(c.Int(0)));
    return true;
  case 1:
    c.dest.SetStr(IntToHex(c.Int(0), c.Int(1)));
    return true;
  case 5:
    c.dest.SetInt(static_cast<int32_t>(c.Str(0).size()));
    return true;
  case 6:
    c.dest.SetInt(static_cast<int32_t>(CharCount(c.Str(0))));
    return true;
  case 7:
  case 8:
    c.dest.SetStr(Copy(c.Str(0), c.Int(1), c.Has(2) ? c.Int(2) : INT32_MAX, c.id == 8));
    return true;
  case 9:
  case 10:
    SetInPlace(c, 0, Delete(c.Str(0), c.Int(1), c.Has(2) ? c.Int(2) : INT32_MAX, c.id == 10));
    return true;
  case 11:
  case 12:
    SetInPlace(c, 1, Insert(c.Str(0), c.Str(1), c.Int(2), c.id == 12));
    return true;
  case 13:
    c.dest.SetInt(CompareStr(c.Str(0), c.Str(1)));
    return true;
  case 14:
    c.dest.SetInt(CompareTextJ(c.Str(0), c.Str(1)));
    return true;
  case 15:
  case 16:
    c.dest.SetInt(Pos(c.Str(0), c.Str(1), c.id == 16));
    return true;
  case 17:
    c.dest.SetStr(Trim(c.Str(0)));
    return true;
  case 18:
    c.dest.SetStr(JTrim(c.Str(0)));
    return true;
  case 64:
    c.dest.SetStr(FixStr(c.Str(0)));
    return true;
  case 73:
    c.dest.SetStr(LowerCaseJ(c.Str(0)));
    return true;
  case 74:
    c.dest.SetStr(UpperCaseJ(c.Str(0)));
    return true;
  case 82:
    c.dest.SetStr(StringOfChar(c.Str(0), c.Int(1)));
    return true;
  case 83:
    c.dest.SetStr(
        Replace(c.Str(0), c.Str(1), c.Str(2), c.Has(3) && c.Flag(3), c.Has(4) && c.Flag(4)));
    return true;
  case 85:
    c.dest.SetStr(HanToZen(c.Str(0)));
    return true;
  case 86:
    c.dest.SetStr(ZenToHan(c.Str(0)));
    return true;
  case 133: {
    std::string s = c.Str(1);
    c.dest.SetStr(s.empty() ? s : s + c.Str(0));
    return true;
  }
  case 138:
    c.dest.SetInt(StrToIntDef(c.Str(0), c.Int(1)));
    return true;
  case 139: {
    auto v = ParseReal(c.Str(0));
    c.dest.SetReal(v ? *v : c.Real(1));
    return true;
  }
  case 152:
    c.dest.SetStr(std::string(1, static_cast<char>(c.Int(0) & 0xFF)));
    return true;
  case 153: {
    std::string s = c.Str(0);
    c.dest.SetInt(s.empty() ? 0 : static_cast<uint8_t>(s[0]));
    return true;
  }
  default:
    return false;
  }
}

} // namespace nova
