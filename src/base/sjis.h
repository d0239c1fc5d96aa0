// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Shift-JIS (code page 932) byte strings: every text inside the player is one of these.
namespace nova {

// Lead bytes of double-byte characters: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsLeadByte(char c) { return IsLeadByte(static_cast<uint8_t>(c)); }

// Bytes of the character starting at `pos`: 2 for a lead byte followed by a trail byte,
// else 1 (a lone lead byte at the end counts as one character).
size_t CharBytes(std::string_view s, size_t pos);
// Number of characters (a double-byte character counts once).
size_t CharCount(std::string_view s);
// Byte offset of the character with 0-based index `index`; s.size() when past the end.
size_t CharToByte(std::string_view s, size_t index);
// Character code at `pos`: the byte, or lead * 256 + trail.
uint16_t CharCodeAt(std::string_view s, size_t pos);
// True when byte `pos` is the trail byte of a double-byte character (scans from the start).
bool IsTrailByteAt(std::string_view s, size_t pos);

// Case folding by the Japanese rule: only single-byte ASCII letters change; both bytes of a
// double-byte character stay as they are.
std::string UpperCaseJ(std::string_view s);
std::string LowerCaseJ(std::string_view s);
int CompareTextJ(std::string_view a, std::string_view b);  // case-insensitive, <0 / 0 / >0
bool SameTextJ(std::string_view a, std::string_view b);

// Conversions at the boundary to people and the file system (iconv "CP932").
// Bytes that do not convert are replaced by '?' so that no text is ever lost entirely.
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace nova
