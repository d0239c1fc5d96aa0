// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "text/font_pixel.h"
#include "text/markup_check.h"
#include "text/markup_tokenizer.h"
#include "text_test_util.h"

namespace nova {
namespace {

using test::ParseUtf8;
using test::Shown;

struct ShownCase {
  std::vector<const char*> lines;
  const char* shown;
};

TEST(Markup, TokenizerTextCases) {
  const ShownCase cases[] = {
      {{"abc", "def"}, "abc def"},              // line ends are spaces
      {{"abc ", "def"}, "abc def"},             // not doubled after a space
      {{"a   b"}, "a b"},                       // runs of spaces collapse
      {{"x\"a   b\"y"}, "x\"a   b\"y"},         // quotes keep spaces and show
      {{"\\<B\\>x"}, "<B>x"},                   // escaped brackets are text
      {{"\\n"}, "n"},                           // unknown escape drops the backslash
      {{"a<b>b</B>c"}, "abc"},                  // tags are case-insensitive
      {{"a<BOLD>b<!-- c -->d"}, "abd"},         // unknown tags and comments vanish
      {{"a<"}, "a<"},                           // a lone bracket at the end shows
      {{"a\\"}, "a\\"},                         // so does a final backslash
      {{"<PRE>", "a", "b", "</PRE>c"}, "a|bc"}, // PRE: line ends break, not the last
      {{"<PRE>a\tb</PRE>"}, "a        b"},      // TAB is eight spaces in PRE
      {{"a<WAIT TIME=9>b</WAIT>", "c"}, "abc"}, // a line end after a tag: nothing pending
      {{"<PRE>a<B>b</B>", "c</PRE>"}, "ab|c"},  // but in PRE it still breaks
      {{"a\tb"}, "ab"},                         // and dropped outside
      {{"a<script>x<b>y</script>b"}, "ab"},     // blocks are kept whole and ignored
      {{"<FONT SIZE=>x"}, "x"},                 // '=' at the end of a tag terminates
      {{"<FONT =>x<=>y"}, "xy"},
      {{"a<BR>b<CLEAR>c<BR CLEAR>d"}, "a|b^c^d"},
      {{"漢字\\\\かな"}, "漢字\\かな"},
      {{"表示ソ{能}"}, "表示ソ{能}"}, // trail byte 0x5C is no escape
  };
  for (const ShownCase& c : cases) {
    TZpWord w;
    std::vector<std::string> lines;
    for (const char* l : c.lines)
      lines.push_back(Utf8ToSjis(l));
    w.Parse(lines);
    EXPECT_EQ(Shown(w), c.shown) << c.lines.front();
  }
}

TEST(Markup, DoubleByteCharactersAreOneGlyph) {
  TZpWord w;
  ParseUtf8(w, "あa");
  ASSERT_EQ(w.GlyphCount(), 2u);
  EXPECT_EQ(static_cast<TWdChar*>(w.GlyphAt(0))->code, 0x82A0);
  EXPECT_EQ(static_cast<TWdChar*>(w.GlyphAt(1))->code, 'a');
}

TEST(Markup, FontStacksAndStyles) {
  TZpWord w;
  ParseUtf8(w, "<FONT SIZE=20><FONT COLOR=#FF0000>x</FONT>y</FONT>z<B><I>b</B>i</I><U><S>us");
  auto deco = [&](int i) { return *static_cast<TWdChar*>(w.GlyphAt(i))->decorate; };
  EXPECT_EQ(deco(0).size, 20);
  EXPECT_EQ(deco(0).color, 0x0000FF); // COLORREF: red in the low byte
  EXPECT_EQ(deco(1).size, 20);
  EXPECT_EQ(deco(1).color, -1);
  EXPECT_EQ(deco(2).size, 0);
  EXPECT_EQ(deco(3).style, kStyleBold | kStyleItalic);
  EXPECT_EQ(deco(4).style, kStyleItalic);
  EXPECT_EQ(deco(5).style, kStyleUnderline | kStyleStrike);
}

TEST(Markup, OutlineWidthsOfFont) {
  struct Case {
    const char* markup;
    int border;
  } cases[] = {
      {"<FONT BORDER>x", 1},     {"<FONT BORDER=-3>x", 0}, {"<FONT BORDER=2><FONT>x", 2}, {"x", -1},
      {"<FONT BORDER=abc>x", 1},
  };
  for (const Case& c : cases) {
    TZpWord w;
    ParseUtf8(w, c.markup);
    EXPECT_EQ(static_cast<TWdChar*>(w.GlyphAt(0))->decorate->border, c.border) << c.markup;
  }
}

TEST(Markup, OperationTags) {
  TZpWord w;
  ParseUtf8(w, "<DIV ALIGN=center>a</DIV><IMG SRC=p.png ALIGN=LEFT><EVENT VALUE=x\\\\ny END>"
               "<INDENT><UNDENT><VAR NAME=\"1+2\"><HISTCHAR VALUE=v><A HREF=\"go\">l</A><IMG>");
  ASSERT_EQ(w.GlyphCount(), 10u);
  EXPECT_EQ(static_cast<TWdOpeAlign*>(w.GlyphAt(0))->align, kAlignCenter);
  EXPECT_EQ(static_cast<TWdOpeAlign*>(w.GlyphAt(2))->align, kAlignLeft);
  auto* img = static_cast<TWdImg*>(w.GlyphAt(3));
  EXPECT_EQ(img->file_name, "p.png");
  EXPECT_EQ(img->valign, kAlignBottom); // LEFT is not an image alignment
  auto* ev = static_cast<TWdOpeEvent*>(w.GlyphAt(4));
  EXPECT_EQ(ev->value, "x\r\ny"); // \\ is the tokenizer's escape, \n the value's
  EXPECT_TRUE(ev->end);
  EXPECT_EQ(w.GlyphAt(5)->Kind(), kKindIndent);
  EXPECT_EQ(w.GlyphAt(6)->Kind(), kKindUndent);
  EXPECT_EQ(static_cast<TWdOpeVar*>(w.GlyphAt(7))->source, "1+2");
  EXPECT_EQ(w.GlyphAt(8)->Kind(), kKindHistChar);
  EXPECT_EQ(w.GlyphAt(9)->Link(), "go");
}

TEST(Markup, WaitStackAndTextDelay) {
  TZpWord w;
  ParseUtf8(w, "a<WAIT VALUE=100>b<WAIT>c</WAIT>d</WAIT>e</WAIT>f", 30);
  const int expected[] = {30, 100, 100, 100, 30, 30};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(w.GlyphAt(i)->Wait(), expected[i]) << i;
}

TEST(Markup, LinkWithoutHrefStopsWithItsMessage) {
  TZpWord w;
  try {
    ParseUtf8(w, "ab<A>c");
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_EQ(SjisToUtf8(e.what()), "<A>タグにHREF値がありません");
  }
  EXPECT_EQ(Shown(w), "ab");
}

TEST(Markup, DecorationsAreInternedAndCounted) {
  TZpWord w;
  ParseUtf8(w, "ab<B>cd</B>e");
  EXPECT_EQ(w.decorations().size(), 2u);
  auto* a = static_cast<TWdChar*>(w.GlyphAt(0));
  EXPECT_EQ(a->decorate->use_count, 3);
  // Changing one glyph's colour to a new combination splits it off; back again rejoins.
  TDecorate red = *a->decorate;
  red.color = 0xFF;
  a->SetDecoration(red);
  EXPECT_EQ(w.decorations().size(), 3u);
  TDecorate plain = red;
  plain.color = -1;
  a->SetDecoration(plain);
  EXPECT_EQ(w.decorations().size(), 2u);
  EXPECT_EQ(a->decorate->use_count, 3);
}

TEST(Markup, AttributeGrammar) {
  TTag t = ParseToken("<font size=20 name='ＭＳ' color=\"#00FF00\" flag other=x y=>");
  EXPECT_EQ(t.id, kTagFont);
  EXPECT_EQ(t.Integer("SIZE", 0), 20);
  EXPECT_EQ(t.Attribute("NAME"), "ＭＳ");
  EXPECT_EQ(t.Color("COLOR", -1), 0x00FF00);
  EXPECT_TRUE(t.Has("FLAG"));
  EXPECT_EQ(t.Attribute("FLAG"), "");
  EXPECT_EQ(t.Attribute("Y"), "");
  EXPECT_FALSE(t.Has("MISSING"));
  EXPECT_EQ(t.Color("NAME", 7), 7);
  EXPECT_EQ(UnescapeMarkup("a\\\\b\\\"c\\nd\\x"), "a\\b\"c\r\nd\\x");
}

} // namespace
} // namespace nova

namespace nova {
namespace {

// Tags and attributes the layout ignores are named; what it understands passes quietly.
TEST(MarkupWarnings, UnknownTagsAndAttributes) {
  const struct {
    const char* markup;
    std::vector<std::string> warnings;
  } cases[] = {
      {"<FONT SIZE=20 COLOR=\"#FF0000\" NAME=x BORDER=1>a</FONT><RUBY VALUE=b>c</RUBY>", {}},
      {"<div align=center>a</div><img src=a.png align=top><br clear><!-- <nothing> -->", {}},
      {"<RUBY TEXT=b>c</RUBY>", {"<RUBY> takes no attribute TEXT: it is ignored"}},
      {"<FONT FACE=x>a</FONT>", {"<FONT> takes no attribute FACE: it is ignored"}},
      {"<BLINK>a</BLINK>",
       {"unknown tag <BLINK>: it is ignored", "unknown tag </BLINK>: it is ignored"}},
      {"<b x=1>", {"<B> takes no attribute X: it is ignored"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MarkupWarnings(c.markup), c.warnings) << c.markup;
}

} // namespace
} // namespace nova
