// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "text_test_util.h"

namespace nova {
namespace {

using test::ParseUtf8;
using test::Shown;

std::vector<uint8_t> Save(const TZpWord& w) {
  BinaryWriter out;
  w.SaveGlyphs(out);
  return out.Take();
}

void Load(TZpWord& w, const std::vector<uint8_t>& bytes) {
  BinaryReader r(bytes, "stream");
  w.LoadGlyphs(r);
}

TEST(GlyphStream, RoundTripKeepsEveryKind) {
  const char* cases[] = {
      "plain text",
      ("<FONT SIZE=20 COLOR=#102030 BCOLOR=#405060 SCOLOR=#708090 NAME=\"ＭＳ 明朝\" BORDER=2 "
       "SHADOW=3><B><I><U><S>装飾</S></U></I></B></FONT>"),
      "<NOBR>ab</NOBR><RUBY VALUE=\"かんじ\">漢字</RUBY><WAIT VALUE=-5>w</WAIT>",
      "<DIV ALIGN=RIGHT>r</DIV><INDENT>i<UNDENT><BR><CLEAR><BR CLEAR>",
      "<EVENT VALUE=one><EVENT VALUE=two END><A HREF=\"p:l\">link</A>",
      "<FONT SIZE=9><A HREF=h><WAIT VALUE=7><VAR NAME=\"@x\"><HISTCHAR VALUE=\"y\"></WAIT></A>",
      "<IMG SRC=a.png ALIGN=TOP><IMG SRC=b.png ALIGN=CENTER><IMG SRC=c.png>",
  };
  for (const char* markup : cases) {
    TZpWord a;
    ParseUtf8(a, markup, 25);
    const std::vector<uint8_t> first = Save(a);
    TZpWord b;
    Load(b, first);
    EXPECT_EQ(Save(b), first) << markup;
    ASSERT_EQ(b.GlyphCount(), a.GlyphCount()) << markup;
    for (size_t i = 0; i < a.GlyphCount(); ++i) {
      const TWdGlyph* x = a.GlyphAt(static_cast<int>(i));
      const TWdGlyph* y = b.GlyphAt(static_cast<int>(i));
      EXPECT_EQ(x->Kind(), y->Kind()) << markup << " #" << i;
      EXPECT_EQ(x->Wait(), y->Wait()) << markup << " #" << i;
      EXPECT_EQ(x->Link(), y->Link()) << markup << " #" << i;
      EXPECT_EQ(x->CharText(), y->CharText()) << markup << " #" << i;
    }
  }
}

TEST(GlyphStream, EventEndFlagSurvivesLoading) {
  TZpWord a;
  ParseUtf8(a, "<EVENT VALUE=x END>");
  TZpWord b;
  Load(b, Save(a));
  auto* e = static_cast<TWdOpeEvent*>(b.GlyphAt(0));
  EXPECT_EQ(e->value, "x");
  EXPECT_TRUE(e->end);
}

TEST(GlyphStream, VersionZeroHasByteBorderAndCompiledVariables) {
  BinaryWriter w;
  w.I32(1);          // one decoration
  w.I32(2);          //   use count
  w.I32(0x0000FF);   //   colour
  w.I32(-1);         //   border colour
  w.I32(16);         //   size
  w.U8(1);           //   style: bold
  w.U8(0);           //   no-break
  w.U8(5);           //   border as one byte: non-zero = 1
  w.String("");      //   font name
  w.String("");      //   ruby
  w.I32(2);          // two glyphs
  w.U8(1);           // character
  w.String("");      //   link
  w.I32(40);         //   wait
  w.U16('A');        //   code
  w.I32(0);          //   decoration index
  w.U8(7);           // variable, compiled form (no wait or link before version 101)
  w.I32(0);          //   decoration index
  w.I32(1);          //   one operation
  w.U8(11);          //     ocFunc
  w.String("____0"); //     destination
  w.I32(1);          //     one argument
  w.U8(3);           //     function id
  w.U8(1);           //     integer argument
  w.I32(5);
  TZpWord z;
  Load(z, w.Take());
  ASSERT_EQ(z.GlyphCount(), 2u);
  const TDecorate& d = *static_cast<TWdChar*>(z.GlyphAt(0))->decorate;
  EXPECT_EQ(d.border, 1);
  EXPECT_EQ(d.shadow, 0);
  EXPECT_EQ(d.shadow_color, 0);
  EXPECT_EQ(d.use_count, 2); // rebuilt from the two glyphs that use it
  auto* var = static_cast<TWdOpeVar*>(z.GlyphAt(1));
  EXPECT_TRUE(var->source.empty());
  EXPECT_EQ(var->compiled.size(), 4u + 1 + 4 + 5 + 4 + 1 + 1 + 4);
}

TEST(GlyphStream, DamagedStreamsFailCleanlyOrLoadWhatIsThere) {
  TZpWord a;
  ParseUtf8(a, "<FONT SIZE=20>abc</FONT><VAR NAME=x><EVENT VALUE=e>");
  const std::vector<uint8_t> good = Save(a);
  for (size_t cut = 0; cut < good.size(); ++cut) {
    TZpWord b;
    std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_THROW(Load(b, part), ENovaError) << cut;
  }
  // A version that is not a number, a huge count and a bad decoration index.
  std::vector<uint8_t> bad_version = good;
  bad_version[7] = 'x';
  TZpWord b;
  EXPECT_THROW(Load(b, bad_version), ENovaError);
  BinaryWriter huge;
  huge.Bytes(std::string_view("ZpWord102"));
  huge.I32(0x7FFFFFFF);
  EXPECT_THROW(Load(b, huge.Take()), ENovaError);
  BinaryWriter bad_index;
  bad_index.Bytes(std::string_view("ZpWord102"));
  bad_index.I32(0);
  bad_index.I32(1);
  bad_index.U8(1);
  bad_index.String("");
  bad_index.I32(0);
  bad_index.U16('q');
  bad_index.I32(99);
  TZpWord c;
  Load(c, bad_index.Take());
  EXPECT_EQ(Shown(c), "q");
}

TEST(GlyphStream, UnknownKindsConsumeNothing) {
  BinaryWriter w;
  w.Bytes(std::string_view("ZpWord102"));
  w.I32(0);
  w.I32(3);
  w.U8(8);    // unused kind: no glyph, no data
  w.U8(0x83); // line break; the top bit is ignored
  w.U8(0);    //   clear flag
  w.U8(0x84); // indent
  TZpWord z;
  Load(z, w.Take());
  ASSERT_EQ(z.GlyphCount(), 2u);
  EXPECT_TRUE(z.GlyphAt(0)->IsLineBreak());
  EXPECT_EQ(z.GlyphAt(1)->Kind(), kKindIndent);
}

TEST(GlyphStream, MarkupConversionForPages) {
  const std::vector<uint8_t> stream =
      MarkupToGlyphStream(test::S("あ<B>b</B>\r\nc<EVENT VALUE=v END>"));
  const std::string markup = SjisToUtf8(GlyphStreamToMarkup(stream, "page"));
  // The line end right after a tag adds no space: nothing is pending there.
  EXPECT_EQ(markup, "あ<B>b</B>c<EVENT VALUE=\"v\" END>");
  // What disassembly recovers assembles to the same stream.
  EXPECT_EQ(MarkupToGlyphStream(Utf8ToSjis(markup)), stream);
}

TEST(GlyphStream, CopyAndCharacterPositions) {
  TZpWord src;
  ParseUtf8(src, "ab<BR><B>c</B><EVENT VALUE=x END>");
  TZpWord dst;
  dst.CopyGlyphs(src, 1, 3);
  EXPECT_EQ(Shown(dst), "b|c");
  EXPECT_EQ(dst.decorations().size(), 2u);
  EXPECT_EQ(dst.CharPositionOfGlyph(dst.GlyphAt(2)), 2);
  EXPECT_EQ(dst.GlyphAtCharPosition(2), 2);
  EXPECT_EQ(dst.GlyphAtCharPosition(7), -1);
}

} // namespace
} // namespace nova
