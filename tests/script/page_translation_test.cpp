// SPDX-License-Identifier: MIT
#include "script/page_translation.h"

#include <gtest/gtest.h>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/commands/scene_commands.h"
#include "script/page.h"
#include "script/text_form/page_text.h"
#include "text/zpword.h"

namespace nova {
namespace {

const char kSource[] =
    "TextIns \"こんにちは<BR><FONT COLOR=#FF0000>赤</FONT>\" delay=80 box={\"mes\"}\n"
    "VarNew \"s\" type=4 value={\"left\" + \"right\"}\n"
    "Comment \"no text for players\"\n"
    "TextIns \"\" box={x}\n";

void Build(TPage& page) {
  page.set_name("main.nsb");
  TPageSource(kSource, "main.txt").Build(page);
}

std::vector<uint8_t> Bytes(TPage& page) {
  BinaryWriter w;
  page.Write(w);
  return w.Take();
}

// The entries by msgid; each text of the page is there once.
const TPoEntry& Find(const std::vector<TPoEntry>& entries, const std::string& msgid) {
  for (const TPoEntry& e : entries)
    if (e.msgid == msgid)
      return e;
  throw std::runtime_error("no entry " + msgid);
}

TEST(PageTranslation, ExtractsMarkupWithTagsAndStringConstantsOnly) {
  TPage page;
  Build(page);
  const std::vector<TPoEntry> entries = ExtractPageTexts(page);
  std::vector<std::string> ids;
  for (const TPoEntry& e : entries)
    ids.push_back(e.msgid);
  EXPECT_EQ(ids, (std::vector<std::string>{"こんにちは<BR><FONT COLOR=#FF0000>赤</FONT>", "mes",
                                           "left", "right"}));
  const TPoEntry& text = entries[0];
  EXPECT_EQ(text.context, "main.nsb:0:text");
  EXPECT_EQ(text.references, std::vector<std::string>{"main.nsb:0"});
  EXPECT_EQ(text.notes, std::vector<std::string>{"TextIns text (markup)"});
  EXPECT_EQ(Find(entries, "left").context.rfind("main.nsb:1:", 0), 0u);
  EXPECT_NE(Find(entries, "left").context, Find(entries, "right").context);
}

TEST(PageTranslation, TranslatedEntriesReplaceTheirTextsAndNothingElse) {
  TPage page;
  Build(page);
  std::vector<TPoEntry> entries = ExtractPageTexts(page);
  const std::vector<uint8_t> original = Bytes(page);

  TTranslations none;
  for (const TPoEntry& e : entries)
    none[e.context] = &e;
  EXPECT_EQ(ApplyPageTranslations(page, none, "t.po"), 0);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(Bytes(page), original);

  entries[0].msgstr = "Hello<BR>red";
  entries[2].msgstr = "gauche";
  entries[3].msgstr = "droite";
  entries[3].fuzzy = true; // not confirmed: stays as it was
  TTranslations some;
  for (const TPoEntry& e : entries)
    some[e.context] = &e;
  EXPECT_EQ(ApplyPageTranslations(page, some, "t.po"), 2);
  const std::vector<uint8_t> stream = MarkupToGlyphStream("Hello<BR>red", 80);
  EXPECT_EQ(CommandAs<TComTextIns>(page.commands()[0]).glyph_stream,
            std::string(stream.begin(), stream.end()));
  std::vector<std::string> ids;
  for (const TPoEntry& e : ExtractPageTexts(page))
    ids.push_back(e.msgid);
  EXPECT_EQ(ids, (std::vector<std::string>{"Hello<BR>red", "mes", "gauche", "right"}));
}

TEST(PageTranslation, StaleEntriesAndBadMarkupAreErrorsNamingWhere) {
  struct Case {
    size_t entry;
    const char* msgid; // null: as extracted
    const char* msgstr;
    const char* expected;
  } cases[] = {
      {0, "an older text", "x", "t.po: main.nsb:0:text: the title's text is no longer"},
      {0, nullptr, "<A>link</A>", "main.nsb command 0 (TextIns)"},
  };
  for (const Case& c : cases) {
    TPage page;
    Build(page);
    std::vector<TPoEntry> entries = ExtractPageTexts(page);
    if (c.msgid)
      entries[c.entry].msgid = c.msgid;
    entries[c.entry].msgstr = c.msgstr;
    TTranslations translations{{entries[c.entry].context, &entries[c.entry]}};
    try {
      ApplyPageTranslations(page, translations, "t.po");
      ADD_FAILURE() << "no error for " << c.msgstr;
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
    }
  }
}

} // namespace
} // namespace nova
