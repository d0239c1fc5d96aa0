// SPDX-License-Identifier: MIT
#include "scene/message_text_observer.h"

#include "text/zpword.h"

namespace nova {

std::string PageReadingText(const TWdPage& page) {
  std::string out;
  for (const auto& row : page.rows)
    for (const TWdGlyph* g : row->glyphs) {
      if (g->IsLineBreak())
        out += '\n';
      else if (g->Kind() == kKindChar)
        out += g->CharText();
    }
  while (!out.empty() && out.back() == '\n')
    out.pop_back();
  return out;
}

} // namespace nova
