// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>

#include "base/sjis.h"
#include "platform/text_entry.h"
#include "platform/virtual_keys.h"

namespace nova {
namespace {

std::string Utf8(const TTextEntry& e) { return SjisToUtf8(e.Text()); }

// What reaches the text: characters Shift-JIS can hold, within the length limit, one line in an
// edit; a memo keeps its breaks as "\r\n".
TEST(TextEntry, InsertKeepsWhatTheFieldCanHold) {
  const struct {
    const char* what;
    bool multi_line;
    size_t max_bytes;
    const char* typed;
    const char* text;
  } cases[] = {
      {"plain", false, 0, "Abc", "Abc"},
      {"Japanese", false, 0, "山田ﾀﾛｳ", "山田ﾀﾛｳ"},
      {"no Shift-JIS form", false, 0, "a😀b한c€", "abc"},
      {"control characters and breaks", false, 0, "a\tb\r\nc\x7f", "abc"},
      {"memo breaks", true, 0, "a\nb\r\nc", "a\r\nb\r\nc"},
      {"length in bytes", false, 5, "ab山田", "ab山"},
      {"a break counts two bytes", true, 3, "a\nbc", "a\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTextEntry e(c.multi_line);
    e.SetMaxLength(c.max_bytes);
    e.Insert(c.typed);
    EXPECT_EQ(Utf8(e), c.text);
  }
}

// 100,000 characters into a field of ten: it keeps what fits, at once.
TEST(TextEntry, AHugePasteIntoAShortFieldKeepsWhatFits) {
  TTextEntry e(false);
  e.SetMaxLength(10);
  const auto start = std::chrono::steady_clock::now();
  e.Insert(std::string(100'000, 'x'));
  EXPECT_EQ(e.Text(), std::string(10, 'x'));
  EXPECT_FALSE(e.Insert("y"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  e.SetText(std::string(50, 'z'));
  EXPECT_EQ(e.Text(), std::string(10, 'z'));
}

TEST(TextEntry, SelectionCaretAndEditingKeys) {
  TTextEntry e(false);
  e.SetText(Utf8ToSjis("名前"));
  e.SelectAll();
  e.Insert("太郎"); // typing replaces the selected text
  EXPECT_EQ(Utf8(e), "太郎");
  EXPECT_TRUE(e.Key(vk::kHome, false, false));
  e.Insert("山田");
  EXPECT_EQ(Utf8(e), "山田太郎");
  e.Key(vk::kRight, true, false); // Shift extends over 太
  EXPECT_EQ(e.SelectionEnd() - e.SelectionStart(), 1);
  e.Key(vk::kDelete, false, false);
  EXPECT_EQ(Utf8(e), "山田郎");
  e.Key(vk::kEnd, false, false);
  e.Key(vk::kBack, false, false);
  EXPECT_EQ(Utf8(e), "山田");
  EXPECT_FALSE(e.Key(vk::kReturn, false, false)); // an edit takes no line break
  e.SetReadOnly(true);
  EXPECT_FALSE(e.Insert("x"));
  e.Key(vk::kBack, false, false);
  EXPECT_EQ(Utf8(e), "山田");
}

// A composition is shown, not text, until the input method commits it.
TEST(TextEntry, CompositionIsNotTextUntilCommitted) {
  TTextEntry e(false);
  e.Insert("a");
  e.SetComposition("かん");
  EXPECT_EQ(Utf8(e), "a");
  EXPECT_EQ(e.Composition().size(), 2u);
  e.Insert("漢");
  EXPECT_TRUE(e.Composition().empty());
  EXPECT_EQ(Utf8(e), "a漢");
}

TEST(TextEntry, MemoLinesAndVerticalMoves) {
  TTextEntry e(true);
  e.Insert("ab\ncd");
  e.Key(vk::kUp, false, false);
  e.Key(vk::kEnd, false, false);
  EXPECT_TRUE(e.Key(vk::kReturn, false, false));
  e.Insert("x");
  EXPECT_EQ(Utf8(e), "ab\r\nx\r\ncd");
}

// A click lands on the nearest character boundary, in the line under it; Shift extends the
// selection. Copying gives the selection as UTF-8, except from a password field.
TEST(TextEntry, ClicksPlaceTheCaretAndSelectionsCopyAndCut) {
  TTextEntry e(false);
  e.SetSize(200, 20);
  e.Insert("ab漢cd");
  e.Key(vk::kHome, false, false);
  for (int i = 0; i < 3; ++i)
    e.Key(vk::kRight, false, false);
  const int x3 = e.CaretRect().left;
  e.PlaceCaret(-5, 10, false);
  EXPECT_EQ(e.Caret(), 0);
  e.PlaceCaret(x3, 10, false);
  EXPECT_EQ(e.Caret(), 3);
  e.PlaceCaret(1000, 10, true);
  EXPECT_EQ(e.SelectionStart(), 3);
  EXPECT_EQ(e.SelectionEnd(), 5);
  EXPECT_EQ(e.SelectedUtf8(), "cd");
  EXPECT_TRUE(e.CutSelection());
  EXPECT_EQ(Utf8(e), "ab漢");
  EXPECT_FALSE(e.CutSelection()); // nothing selected
  e.SelectAll();
  e.SetReadOnly(true);
  EXPECT_FALSE(e.CutSelection());
  e.SetPasswordChar('*');
  EXPECT_EQ(e.SelectedUtf8(), "");

  TTextEntry memo(true);
  memo.SetSize(200, 100);
  memo.Insert("ab\ncd");
  memo.PlaceCaret(0, 1000, false); // below the last line: the last line
  EXPECT_EQ(memo.Caret(), 3);
  memo.PlaceCaret(1000, 0, false);
  EXPECT_EQ(memo.Caret(), 2);
}

// The caret stays inside the field however long the line grows; the drawing covers the field.
TEST(TextEntry, ScrollingKeepsTheCaretInView) {
  TTextEntry e(false);
  e.SetSize(60, 20);
  e.Insert(std::string(200, 'W'));
  const TWindowRect caret = e.CaretRect();
  EXPECT_GE(caret.left, 0);
  EXPECT_LT(caret.left, 60);
  TPicture picture;
  e.Render(picture, true);
  EXPECT_EQ(picture.width, 60);
  EXPECT_EQ(picture.pixels.size(), 60u * 20u);
  e.SetPasswordChar('*');
  e.Render(picture, false);
  EXPECT_EQ(e.Text(), std::string(200, 'W')); // the text itself is kept
}

} // namespace
} // namespace nova
