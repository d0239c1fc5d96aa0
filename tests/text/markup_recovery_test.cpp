// SPDX-License-Identifier: MIT
// Glyph-list streams back to markup: what disassembly shows must build the same bytes again.
#include <gtest/gtest.h>

#include "base/binary_writer.h"
#include "text_test_util.h"

namespace nova {
namespace {

using test::S;

std::vector<uint8_t> Stream(const char* utf8_markup, int delay_ms) {
  return MarkupToGlyphStream(S(utf8_markup), delay_ms);
}

TEST(MarkupRecovery, StreamsFromMarkupComeBackByteForByte) {
  struct Case {
    const char* markup;
    int delay_ms;
    const char* recovered; // the canonical markup
    int recovered_delay_ms;
  } cases[] = {
      {"abc def", 50, "abc def", 50},
      {"a   b", 50, "a b", 50},
      // Quotes show and keep their spaces; the second space needs an empty tag in between.
      {"\"a  b\"", 50, "\\\"a <> b\\\"", 50},
      {" a<B> b</B>", 50, " a<B> b</B>", 50},
      {"\\<B\\>x\\\\", 50, "\\<B>x\\\\", 50},
      {"a<BOLD>b<!-- c -->d", 50, "abd", 50},
      {"表示ソ{能}", 50, "表示ソ{能}", 50},
      {"<FONT SIZE=20><FONT COLOR=#FF0000>x</FONT>y</FONT>z", 50,
       "<FONT SIZE=20 COLOR=#FF0000>x</FONT><FONT SIZE=20>y</FONT>z", 50},
      {"<FONT BORDER>a</FONT><FONT BORDER=-3 SHADOW=0>b", 50,
       "<FONT BORDER=1>a</FONT><FONT BORDER=0 SHADOW=0>b</FONT>", 50},
      {"<FONT NAME=\"ＭＳ 明朝\" BCOLOR=#0000FF SCOLOR=#00ff00 SHADOW=2>x", 50,
       "<FONT BCOLOR=#0000FF SCOLOR=#00FF00 NAME=\"ＭＳ 明朝\" SHADOW=2>x</FONT>", 50},
      {"<RUBY VALUE=\"かんじ\">漢字</RUBY><NOBR><B><I><U><S>x", 50,
       "<RUBY VALUE=\"かんじ\">漢字</RUBY><B><I><U><S><NOBR>x</B></I></U></S></NOBR>", 50},
      {"a<WAIT VALUE=200>bc</WAIT>d<WAIT VALUE=-1>e", 50,
       "a<WAIT VALUE=200>bc</WAIT>d<WAIT VALUE=-1>e</WAIT>", 50},
      // The base delay is the wait most characters carry.
      {"<WAIT VALUE=10>abc</WAIT>d", 50, "abc<WAIT VALUE=50>d</WAIT>", 10},
      {"abc", 0, "abc", 0},
      {"<DIV ALIGN=RIGHT>a<DIV ALIGN=CENTER>b</DIV>c</DIV>d<DIV ALIGN=left>", 50,
       "<DIV ALIGN=RIGHT>a<DIV ALIGN=CENTER>b</DIV>c</DIV>d<DIV ALIGN=LEFT>", 50},
      {"a<BR>b<BR CLEAR>c<CLEAR><INDENT>d<UNDENT>", 50, "a<BR>b<CLEAR>c<CLEAR><INDENT>d<UNDENT>",
       50},
      {"<A HREF=\"p\\\\q\\nr\">go</A><A HREF=x>y", 50,
       "<A HREF=\"p\\\\q\\nr\">go</A><A HREF=\"x\">y</A>", 50},
      {"<EVENT VALUE=\"a b\" END><EVENT><EVENT VALUE=\"x\\ny\">", 50,
       "<EVENT VALUE=\"a b\" END><EVENT><EVENT VALUE=\"x\\ny\">", 50},
      {"<FONT SIZE=30><B><VAR NAME='\"x \" + y'></B><HISTCHAR VALUE=name>", 50,
       "<FONT SIZE=30><B><VAR NAME='\"x \" + y'></B><HISTCHAR VALUE=\"name\"></FONT>", 50},
      {"<A HREF=l><WAIT VALUE=5><IMG SRC=\"a b.png\" ALIGN=TOP></A><IMG SRC=c.png ALIGN=LEFT>", 50,
       "<A HREF=\"l\"><IMG SRC=\"a b.png\" ALIGN=TOP></A><IMG SRC=\"c.png\">", 5},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> stream = Stream(c.markup, c.delay_ms);
    const std::optional<GlyphStreamSource> source = RecoverGlyphStreamSource(stream, 50);
    ASSERT_TRUE(source) << c.markup;
    EXPECT_EQ(SjisToUtf8(source->markup), c.recovered) << c.markup;
    EXPECT_EQ(source->text_delay_ms, c.recovered_delay_ms) << c.markup;
    EXPECT_EQ(MarkupToGlyphStream(source->markup, source->text_delay_ms), stream) << c.markup;
  }
}

// A stream whose glyph is a character code no markup makes, given its version header.
std::vector<uint8_t> OneChar(const char* header, uint16_t code) {
  BinaryWriter w;
  w.Bytes(std::string_view(header));
  w.I32(1); // one decoration
  w.I32(1); //   use count
  w.I32(-1);
  w.I32(-1); //   colours
  w.I32(0);  //   size
  w.U8(0);   //   style
  w.U8(0);   //   no-break
  w.I32(-1); //   border
  w.String("");
  w.String(""); // font name, ruby
  w.I32(-1);
  w.I32(-1); //   shadow, shadow colour
  w.I32(1);  // one glyph
  w.U8(1);   //   character
  w.String("");
  w.I32(50); //   link, wait
  w.U16(code);
  w.I32(0); //   decoration 0
  return w.Take();
}

TEST(MarkupRecovery, WhatMarkupCannotSayIsNotRecovered) {
  std::vector<uint8_t> good = OneChar("ZpWord102", 'a');
  ASSERT_EQ(good, Stream("a", 50)); // the hand-built stream matches the parser's
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  const struct {
    const char* what;
    std::vector<uint8_t> stream;
  } cases[] = {
      {"a carriage return glyph", OneChar("ZpWord102", '\r')},
      {"a byte markup turns into a space", OneChar("ZpWord102", 0x14)},
      {"an older version", OneChar("ZpWord101", 'a')},
      {"no header", std::vector<uint8_t>(good.begin() + 9, good.end())},
      {"a cut stream", std::vector<uint8_t>(good.begin(), good.end() - 3)},
      {"bytes after the glyphs", trailing},
      {"nothing", {}},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(RecoverGlyphStreamSource(c.stream, 50)) << c.what;
}

} // namespace
} // namespace nova
