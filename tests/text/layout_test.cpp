// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "text_test_util.h"

namespace nova {
namespace {

using test::ParseUtf8;

// Fixed cells of 10 pixels: layout needs no font.
struct Laid {
  TZpWord word;
  PageList pages;
  Laid(const char* markup, int wrap, int page_height = 0) {
    word.settings.default_size = 10;
    word.settings.wrap_width = wrap;
    word.settings.page_height = page_height;
    word.settings.paging = page_height > 0;
    ParseUtf8(word, markup);
    word.Layout(pages);
  }
  // Rows as their characters, "/" between rows, "#" between pages.
  std::string Rows() const {
    std::string out;
    for (size_t p = 0; p < pages.size(); ++p) {
      if (p)
        out += "#";
      for (size_t r = 0; r < pages[p]->rows.size(); ++r) {
        if (r)
          out += "/";
        for (const TWdGlyph* g : pages[p]->rows[r]->glyphs)
          out += SjisToUtf8(g->CharText());
      }
    }
    return out;
  }
};

TEST(Layout, LineBreakCases) {
  struct Case {
    const char* markup;
    int wrap;
    const char* rows;
  } cases[] = {
      {"abcdefghij kl", 50, "abcdefghij /kl"},   // a long word overflows alone
      {"xy abcdefghij", 50, "xy /abcdefghij"},   // and moves to its own row
      {"ab cd ef", 50, "ab /cd ef"},             // the space stays with its word
      {"あいうえ「おか", 50, "あいうえ/「おか"}, // an opening bracket goes with what follows
      {"あいうえお。か", 50, "あいうえ/お。か"}, // 。 never starts a row
      {"あいうえお！", 50, "あいうえ/お！"},
      {"あいうえ<RUBY VALUE=かな>かきく</RUBY>", 50, "あいうえ/かきく"}, // a ruby group stays whole
      {"あい<NOBR>うえおか</NOBR>", 50, "あい/うえおか"},
      {"ab<BR>cd", 50, "ab/cd"},
      {"<BR><BR>x", 50, "//x"},
      {"あいうえおかきくけこ", 0, "あいうえおかきくけこ"}, // no wrap width: one row
      {"<INDENT>あいうえおかきく", 50, "あいうえお/かきく"},
      {"あ<INDENT>いうえおかきく", 50, "あいうえお/かきく"},
  };
  for (const Case& c : cases) {
    Laid l(c.markup, c.wrap);
    EXPECT_EQ(l.Rows(), c.rows) << c.markup;
  }
}

TEST(Layout, IndentShiftsFollowingRows) {
  Laid l("あ<INDENT>いうえおかきく<UNDENT><BR>け", 50);
  ASSERT_EQ(l.pages[0]->rows.size(), 3u);
  EXPECT_EQ(l.pages[0]->rows[1]->glyphs[0]->Kind(), kKindSpace);
  EXPECT_EQ(l.pages[0]->rows[1]->glyphs[1]->x, 10);
  EXPECT_EQ(l.pages[0]->rows[2]->glyphs[0]->x, 0);
}

TEST(Layout, AlignmentPlacesRows) {
  struct Case {
    const char* markup;
    int first_x;
  } cases[] = {
      {"ab", 0},
      {"<DIV ALIGN=RIGHT>ab", 80},
      {"<DIV ALIGN=CENTER>ab", 40},
      {"<DIV ALIGN=CENTER>abc", 35},
      {"a<DIV ALIGN=RIGHT>b", 0}, // the row already holds a character
  };
  for (const Case& c : cases) {
    Laid l(c.markup, 100);
    const TWdRow& row = *l.pages[0]->rows[0];
    EXPECT_EQ(row.glyphs[0]->Kind() == kKindAlign ? row.glyphs[1]->x : row.glyphs[0]->x, c.first_x)
        << c.markup;
  }
}

TEST(Layout, RowsOntoPages) {
  struct Case {
    const char* markup;
    const char* rows;
  } cases[] = {
      {"a<BR>b<BR>c", "a/b#c"},               // the third row's bottom passes 25
      {"ab<CLEAR>cd", "ab#cd"},               // CLEAR always starts a page
      {"<FONT SIZE=40>a</FONT><BR>b", "a#b"}, // a first row is never moved, however tall
      {"あいうえおかきくけこさしすせそたちつてとな",
       "あいうえおかきくけこ/さしすせそたちつてと#な"},
  };
  for (const Case& c : cases) {
    Laid l(c.markup, 100, 25);
    EXPECT_EQ(l.Rows(), c.rows) << c.markup;
  }
}

TEST(Layout, HeightsAndSpacing) {
  Laid l("a<BR><BR>b<RUBY VALUE=r>c</RUBY>", 100);
  l.word.settings.line_spacing = 0;
  const auto& rows = l.pages[0]->rows;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1]->y, 10);
  EXPECT_EQ(rows[2]->y, 20);           // an empty row advances by a space of the default size
  EXPECT_EQ(rows[2]->height, 15);      // ruby adds half the size
  EXPECT_EQ(rows[2]->glyphs[0]->y, 5); // characters share the bottom line
}

TEST(Layout, AutoWidthIsRememberedForTheNextLayout) {
  Laid l("abc<BR>abcdefg", 0);
  EXPECT_EQ(l.word.settings.wrap_width, 70);
  PageList again;
  l.word.Layout(again);
  EXPECT_EQ(again[0]->rows.size(), 2u);
}

TEST(Layout, OutlineAndShadowWidenCells) {
  Laid l("<FONT BORDER=1 SHADOW=2>a</FONT><I>b</I>", 100);
  const auto& g = l.pages[0]->rows[0]->glyphs;
  EXPECT_EQ(g[0]->width, 14);
  EXPECT_EQ(g[0]->height, 14);
  EXPECT_EQ(g[1]->width, 12); // italic adds a fifth of the size
}

} // namespace
} // namespace nova

namespace nova {
namespace {

// Sizes, outlines and waits from a damaged stream stay bounded: no overflow, no endless outline.
TEST(Layout, HugeValuesFromStreamsAreBounded) {
  TZpWord w;
  test::ParseUtf8(w, "<FONT SIZE=2147483647 BORDER=2147483647 SHADOW=2147483647>ab</FONT>"
                     "<WAIT VALUE=-2147483648>cd<BR><BR>");
  w.settings.line_spacing = 2147483647;
  w.settings.wrap_width = 100;
  PageList pages;
  w.Layout(pages);
  ASSERT_FALSE(pages.empty());
  // The largest characters draw no outline, so each costs no more than its own pixels.
  EXPECT_EQ(pages[0]->rows[0]->glyphs[0]->height, 4096 + 64);
  w.settings.speed = 256;
  for (int i = 0; i < 3; ++i)
    w.RevealTick(*pages[0], 2147483647);
}

} // namespace
} // namespace nova
