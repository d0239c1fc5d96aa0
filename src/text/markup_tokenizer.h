// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace nova {

// Tag ids of the markup; 0 is text, 1 an unrecognised tag, comment or block.
enum TagId : int {
  kTagText = 0,
  kTagUnknown = 1,
  kTagA = 2,
  kTagEndA,
  kTagB,
  kTagEndB,
  kTagFont,
  kTagEndFont,
  kTagI,
  kTagEndI,
  kTagS,
  kTagEndS,
  kTagU,
  kTagEndU,
  kTagNobr,
  kTagEndNobr,
  kTagRuby,
  kTagEndRuby,
  kTagDiv,
  kTagEndDiv,
  kTagIndent,
  kTagUndent,
  kTagBr,
  kTagClear,
  kTagEvent,
  kTagWait,
  kTagEndWait,
  kTagVar,
  kTagImg,
  kTagHistChar,
};

// Splits markup source (lines joined by CR) into tag, block and text tokens. Walks the bytes
// once, a double-byte character as one unit; always terminates.
std::vector<std::string> TokenizeMarkup(std::string_view source);

// One parsed token: its text (for a tag "<" + name + ">") and its attributes, each "NAME" or
// "NAME" + CR + "VALUE".
struct TTag {
  std::string text;
  std::vector<std::string> attributes;
  TagId id = kTagText;

  // Attribute value by case-insensitive name; `present` tells whether it is there at all.
  std::string Attribute(std::string_view name, bool* present = nullptr) const;
  bool Has(std::string_view name) const;
  int Integer(std::string_view name, int fallback) const;
  // "#RRGGBB" as a COLORREF; anything else yields `fallback`.
  int Color(std::string_view name, int fallback) const;
  // ALIGN among the given allowed values (1 LEFT, 2 RIGHT, 3 CENTER, 4 TOP, 5 BOTTOM).
  int Align(std::initializer_list<int> allowed, int fallback) const;
};

TTag ParseToken(const std::string& token);

// Removes the backslash of \" and \\, turns \n into CR LF; double-byte characters stay whole.
std::string UnescapeMarkup(std::string_view text);

} // namespace nova
