// SPDX-License-Identifier: MIT
#include "text/private/sjis_unicode.h"

#include <iconv.h>

#include <memory>
#include <vector>

#include "base/sjis.h"

namespace nova {
namespace {

// One iconv pass over every possible code, so that a glyph-cache miss costs a table read.
std::vector<uint32_t> BuildTable() {
  std::vector<uint32_t> table(65536, 0);
  for (uint32_t c = 0; c < 0x80; ++c)
    table[c] = c;
  for (uint32_t c = 0xA1; c <= 0xDF; ++c)
    table[c] = 0xFF61 + (c - 0xA1);
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1))
    return table;
  for (uint32_t lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadByte(static_cast<uint8_t>(lead)))
      continue;
    for (uint32_t trail = 0x40; trail <= 0xFC; ++trail) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      uint8_t out[8] = {};
      char* inp = in;
      char* outp = reinterpret_cast<char*>(out);
      size_t inleft = 2, outleft = sizeof(out);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &inp, &inleft, &outp, &outleft) == static_cast<size_t>(-1) ||
          outleft != sizeof(out) - 4)
        continue;
      table[lead * 256 + trail] =
          out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24;
    }
  }
  iconv_close(cd);
  return table;
}

} // namespace

uint32_t SjisCodeToUnicode(uint16_t code) {
  static const std::vector<uint32_t> table = BuildTable();
  return table[code];
}

} // namespace nova
