// SPDX-License-Identifier: MIT
// Half-width ⇄ full-width conversion of Shift-JIS text.
#include <array>

#include "base/sjis.h"
#include "expr/private/func_call.h"

namespace nova {

namespace {

// Full-width forms of the printable bytes 0x20..0x7E.
constexpr std::array<uint16_t, 95> kAscii = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A, 0x8196, 0x817B,
    0x8143, 0x817C, 0x8144, 0x815E, 0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262,
    0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277, 0x8278, 0x8279, 0x816D,
    0x818F, 0x816E, 0x814F, 0x8151, 0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290, 0x8291, 0x8292, 0x8293,
    0x8294, 0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,
};

// Full-width forms of the half-width katakana and punctuation 0xA1..0xDF.
constexpr std::array<uint16_t, 63> kKana = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

void PutCode(std::string& out, uint16_t code) {
  out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

bool VoicedRow(uint8_t b) { return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
bool SemiVoicedRow(uint8_t b) { return b >= 0xCA && b <= 0xCE; }

} // namespace

std::string HanToZen(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharBytes(s, i);
    uint8_t b = static_cast<uint8_t>(s[i]);
    if (n == 2) {
      out.append(s.substr(i, 2));
    } else if (b >= 0x20 && b <= 0x7E) {
      PutCode(out, kAscii[b - 0x20]);
    } else if (b >= 0xA1 && b <= 0xDF) {
      uint16_t code = kKana[b - 0xA1];
      uint8_t next = i + 1 < s.size() ? static_cast<uint8_t>(s[i + 1]) : 0;
      if (next == 0xDE && VoicedRow(b)) {
        PutCode(out, static_cast<uint16_t>(code + 1));
        ++i;
      } else if (next == 0xDF && SemiVoicedRow(b)) {
        PutCode(out, static_cast<uint16_t>(code + 2));
        ++i;
      } else {
        PutCode(out, code);
      }
    }
    i += n;
  }
  return out;
}

std::string ZenToHan(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharBytes(s, i);
    if (n == 1) {
      out.push_back(s[i]);
      i += 1;
      continue;
    }
    uint16_t code = CharCodeAt(s, i);
    i += 2;
    if (code == 0x8167) {
      out.push_back('"');
      continue;
    }
    bool done = false;
    for (size_t k = 0; k < kAscii.size() && !done; ++k) {
      if (kAscii[k] == code)
        out.push_back(static_cast<char>(0x20 + k)), done = true;
    }
    for (size_t k = 0; k < kKana.size() && !done; ++k) {
      uint8_t b = static_cast<uint8_t>(0xA1 + k);
      if (kKana[k] == code) {
        out.push_back(static_cast<char>(b));
        done = true;
      } else if (VoicedRow(b) && kKana[k] + 1 == code) {
        out.push_back(static_cast<char>(b));
        out.push_back(static_cast<char>(0xDE));
        done = true;
      } else if (SemiVoicedRow(b) && kKana[k] + 2 == code) {
        out.push_back(static_cast<char>(b));
        out.push_back(static_cast<char>(0xDF));
        done = true;
      }
    }
    if (!done)
      PutCode(out, code);
  }
  return out;
}

} // namespace nova
