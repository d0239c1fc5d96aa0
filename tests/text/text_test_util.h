// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "base/sjis.h"
#include "text/zpword.h"

namespace nova::test {

// Markup written in UTF-8 in the test, as the player sees it (Shift-JIS).
inline std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

// Parses one markup line given in UTF-8.
inline void ParseUtf8(TZpWord& w, const char* utf8, int text_delay = 0) {
  w.Parse({Utf8ToSjis(utf8)}, text_delay);
}

// The characters of the glyph list as UTF-8, "|" for a line break and "^" for a page break
// (clear flag), other operations left out.
inline std::string Shown(const TZpWord& w) {
  std::string sjis;
  for (size_t i = 0; i < w.GlyphCount(); ++i) {
    const TWdGlyph* g = w.GlyphAt(static_cast<int>(i));
    if (g->IsLineBreak())
      sjis += static_cast<const TWdOpeReturn*>(g)->clear ? "^" : "|";
    else
      sjis += g->CharText();
  }
  return SjisToUtf8(sjis);
}

} // namespace nova::test
