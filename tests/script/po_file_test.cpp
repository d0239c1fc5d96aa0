// SPDX-License-Identifier: MIT
#include "script/po_file.h"

#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {
namespace {

TEST(PoFile, WrittenTextsReadBackUnchanged) {
  const std::string texts[] = {
      "plain",
      "quote \" and backslash \\ and tab \t",
      "trailing break\n",
      "first line\nsecond line\n\nfourth",
      "\x01 control \x1F and \x7F",
      "こんにちは、<VAR NAME=\"name\">さん。<BR>",
      "carriage\r\nreturn",
  };
  std::vector<TPoEntry> entries;
  for (const std::string& t : texts) {
    TPoEntry e;
    e.notes = {"TextIns text (markup)"};
    e.references = {"main.nsb:" + std::to_string(entries.size())};
    e.context = "main.nsb:" + std::to_string(entries.size()) + ":text";
    e.msgid = t;
    e.msgstr = t + "!";
    e.fuzzy = entries.size() == 2;
    entries.push_back(e);
  }
  const std::vector<TPoEntry> back = ReadPo(WritePo(entries), "t.po");
  ASSERT_EQ(back.size(), entries.size());
  for (size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].msgid, entries[i].msgid) << i;
    EXPECT_EQ(back[i].msgstr, entries[i].msgstr) << i;
    EXPECT_EQ(back[i].context, entries[i].context) << i;
    EXPECT_EQ(back[i].notes, entries[i].notes) << i;
    EXPECT_EQ(back[i].references, entries[i].references) << i;
    EXPECT_EQ(back[i].fuzzy, entries[i].fuzzy) << i;
  }
}

// What translators' editors write: a byte order mark, CRLF lines, continued strings, flags
// among others, obsolete entries, entries without a blank line between them, escapes.
TEST(PoFile, ReadsWhatEditorsWrite) {
  const std::string text = "\xEF\xBB\xBFmsgid \"\"\r\n"
                           "msgstr \"\"\r\n"
                           "\"Content-Type: text/plain; charset=UTF-8\\n\"\r\n"
                           "\r\n"
                           "# translator's remark\r\n"
                           "#, c-format, fuzzy\r\n"
                           "msgctxt \"a:1:text\"\r\n"
                           "msgid \"\"\r\n"
                           "\"one\\n\"\r\n"
                           "  \"two\"\r\n"
                           "msgstr \"uno\\ndos\\x21\\101\"\r\n"
                           "msgctxt \"a:2:text\"\n"
                           "msgid \"x\"\n"
                           "msgstr \"\"\n"
                           "\n"
                           "#~ msgctxt \"gone\"\n"
                           "#~ msgid \"old\"\n"
                           "#~ msgstr \"viejo\"\n";
  const std::vector<TPoEntry> entries = ReadPo(text, "t.po");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].context, "a:1:text");
  EXPECT_EQ(entries[0].msgid, "one\ntwo");
  EXPECT_EQ(entries[0].msgstr, "uno\ndos!A");
  EXPECT_TRUE(entries[0].fuzzy);
  EXPECT_EQ(entries[1].context, "a:2:text");
  EXPECT_FALSE(entries[1].fuzzy);
  EXPECT_EQ(entries[1].msgstr, "");
}

TEST(PoFile, DamagedCataloguesNameTheLineAndTheFault) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"msgid \"a\"\n\nmsgstr \"b\"\n", "t.po:2: msgid without msgstr"},
      {"msgstr \"b\"\n", "t.po:1: msgstr without msgid"},
      {"msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"b\"\n", "t.po:2: plural forms"},
      {"msgid \"a\\q\"\nmsgstr \"\"\n", "t.po:1: unknown escape \\q"},
      {"msgid \"a\nmsgstr \"\"\n", "t.po:1: a string without its closing quote"},
      {"msgid \"a\\", "t.po:1: a string without its closing quote"},
      {"msgid \"a\" x\nmsgstr \"\"\n", "t.po:1: text after the closing quote"},
      {"\"loose\"\n", "t.po:1: a string that continues no"},
      {"msgid \"a\"\nmsgstr \"\"\nmsgstr \"b\"\n", "t.po:3: a second msgstr"},
      {"msgid \"a\"\nmsgctxt \"c\"\nmsgstr \"\"\n", "t.po:2: msgctxt after msgid"},
      {"msgid\nmsgstr \"\"\n", "t.po:1: msgid without a string"},
      {"translation \"a\"\n", "t.po:1: unexpected \"translation\""},
      {"msgctxt \"c\"\n\n", "t.po:2: msgctxt without msgid"},
  };
  for (const Case& c : cases) {
    try {
      ReadPo(c.text, "t.po");
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos)
          << c.text << " gave " << e.what();
    }
  }
}

} // namespace
} // namespace nova
