// SPDX-License-Identifier: MIT
#include "base/sjis.h"

#include <iconv.h>

#include <cerrno>

namespace nova {

size_t CharBytes(std::string_view s, size_t pos) {
  if (pos + 1 < s.size() && IsLeadByte(s[pos])) return 2;
  return 1;
}

size_t CharCount(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += CharBytes(s, i)) ++n;
  return n;
}

size_t CharToByte(std::string_view s, size_t index) {
  size_t i = 0;
  while (index > 0 && i < s.size()) {
    i += CharBytes(s, i);
    --index;
  }
  return i < s.size() ? i : s.size();
}

uint16_t CharCodeAt(std::string_view s, size_t pos) {
  if (CharBytes(s, pos) == 2) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[pos]) << 8 | static_cast<uint8_t>(s[pos + 1]));
  }
  return static_cast<uint8_t>(s[pos]);
}

bool IsTrailByteAt(std::string_view s, size_t pos) {
  size_t i = 0;
  while (i < pos) i += CharBytes(s, i);
  return i > pos;
}

namespace {

template <char From, char To>
std::string FoldCase(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    size_t n = CharBytes(out, i);
    if (n == 1 && out[i] >= From && out[i] <= From + 25) out[i] = static_cast<char>(out[i] - From + To);
    i += n;
  }
  return out;
}

// Converts with iconv, replacing each unconvertible byte by '?'.
std::string Convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 4);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buf[256];
  while (src_left > 0) {
    char* dst = buf;
    size_t dst_left = sizeof buf;
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out.push_back('?');
      ++src;
      --src_left;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string UpperCaseJ(std::string_view s) { return FoldCase<'a', 'A'>(s); }
std::string LowerCaseJ(std::string_view s) { return FoldCase<'A', 'a'>(s); }

int CompareTextJ(std::string_view a, std::string_view b) {
  auto fold = [](char c) -> uint8_t {
    return static_cast<uint8_t>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
  };
  size_t i = 0;
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  while (i < n) {
    // Trail bytes of double-byte characters are compared as they are.
    bool dbcs = CharBytes(a, i) == 2;
    uint8_t ca = dbcs ? static_cast<uint8_t>(a[i]) : fold(a[i]);
    uint8_t cb = dbcs ? static_cast<uint8_t>(b[i]) : fold(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (dbcs) {
      if (i + 1 >= n) break;
      if (a[i + 1] != b[i + 1]) return static_cast<uint8_t>(a[i + 1]) < static_cast<uint8_t>(b[i + 1]) ? -1 : 1;
      i += 2;
    } else {
      ++i;
    }
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameTextJ(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareTextJ(a, b) == 0;
}

std::string SjisToUtf8(std::string_view sjis) { return Convert("UTF-8", "CP932", sjis); }
std::string Utf8ToSjis(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8); }

}  // namespace nova
