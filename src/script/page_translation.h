// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "script/po_file.h"

namespace nova {

class TPage;

enum class TPageTextKind {
  Markup,  // the message box text of a TextIns
  Literal, // a string constant of one of a command's expressions
};

// Where a translatable text sits in its page.
struct TPageTextSite {
  int32_t command = 0;
  const char* command_name = "";
  // "text" for a TextIns; for a constant "FIELD/OPERATION/ARGUMENT", where FIELD is the field's
  // text-form key (a list element as "key[N]", a property by its PR_ name).
  std::string field;
  TPageTextKind kind = TPageTextKind::Literal;
};

// Calls `visit` with every non-empty translatable text of the page, in command order, as
// Shift-JIS. A text the callback changes is stored back; changed markup is encoded again with
// its stream's own base wait, and a markup fault raises ENovaError naming the page and command.
using TPageTextVisit = std::function<void(const TPageTextSite& site, std::string& text)>;
void VisitPageTexts(TPage& page, const TPageTextVisit& visit);

// The catalogue entries of a page's texts (UTF-8), each with the context "PAGE:COMMAND:FIELD".
std::vector<TPoEntry> ExtractPageTexts(TPage& page);

// Catalogue entries by context.
using TTranslations = std::map<std::string, const TPoEntry*>;

// Replaces every text of the page that has a translated, confirmed entry (a non-empty msgstr
// without the fuzzy flag) and gives the number of texts changed. A translated entry whose msgid
// no longer matches the page's text raises ENovaError naming the catalogue and context. Used
// entries are removed from `translations`, so that what is left names texts the title does not
// have.
int ApplyPageTranslations(TPage& page, TTranslations& translations, const std::string& po_name);

} // namespace nova
