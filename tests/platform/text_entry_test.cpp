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

// The width of `utf8` as a field draws it (whatever font the machine has).
int WidthOf(const std::string& utf8) {
  TTextEntry e(true);
  e.SetSize(100000, 100);
  e.Insert(utf8);
  return e.CaretRect().left - 1; // the text starts one pixel in
}

// A memo wraps at its width: after spaces in Latin text (spaces hang past the edge), between
// double-width characters, inside a word only when the word alone is too wide; line breaks
// still end rows. `fits` is the text the field's width is made for.
TEST(TextEntry, MemoWrapsLinesAtItsWidth) {
  const struct {
    const char* what;
    const char* text;
    const char* fits;
    std::vector<std::pair<int, int>> rows;
  } cases[] = {
      {"at a space", "hello world", "hello wo", {{0, 6}, {6, 11}}},
      {"spaces hang", "ab    cd", "ab c", {{0, 6}, {6, 8}}},
      {"double-width anywhere", "漢字かなカナ", "漢字か", {{0, 3}, {3, 6}}},
      {"Latin then double-width", "ab漢字", "ab漢", {{0, 3}, {3, 4}}},
      {"a word wider than the field", "aaaaaaaaaa", "aaaa", {{0, 4}, {4, 8}, {8, 10}}},
      {"breaks still end rows", "hello world\nhi", "hello wo", {{0, 6}, {6, 11}, {12, 14}}},
      {"an empty last line", "ab\n", "ab", {{0, 2}, {3, 3}}},
      {"wide enough", "hello world", "hello world!", {{0, 11}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTextEntry e(true);
    // The row's room is the field less three pixels (margins and the caret).
    e.SetSize(WidthOf(c.fits) + 3, 200);
    e.Insert(c.text);
    EXPECT_EQ(e.RowRanges(), c.rows);
  }
  // A one-line edit never wraps.
  TTextEntry edit(false);
  edit.SetSize(WidthOf("ab") + 3, 20);
  edit.Insert("abc def");
  EXPECT_EQ(edit.RowRanges(), (std::vector<std::pair<int, int>>{{0, 7}}));
}

// Home, End, Up and Down follow the wrapped rows; End stays on its row although the next row
// starts at the same position. Typing rewraps.
TEST(TextEntry, CaretKeysFollowWrappedRows) {
  TTextEntry e(true);
  e.SetSize(WidthOf("hello wo") + 3, 200);
  e.Insert("hello world\nhi");
  const struct {
    int vk;
    bool ctrl;
    int caret;
    int row;
  } steps[] = {
      {vk::kHome, false, 12, 2}, // "hi"
      {vk::kUp, false, 6, 1},    // "world"
      {vk::kUp, false, 0, 0},    // to "hello "
      {vk::kEnd, false, 6, 0},   // the end of "hello ", not the start of "world"
      {vk::kHome, false, 0, 0},  //
      {vk::kDown, false, 6, 1},  //
      {vk::kEnd, false, 11, 1},  // before the line break
      {vk::kDown, false, 14, 2}, // "hi" is shorter: its end
      {vk::kHome, true, 0, 0},   // Ctrl+Home: the text's start
      {vk::kEnd, true, 14, 2},   // Ctrl+End: the text's end
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.vk);
    e.Key(s.vk, false, s.ctrl);
    EXPECT_EQ(e.Caret(), s.caret);
    EXPECT_EQ(e.CaretRow(), s.row);
  }
  // A click right of a wrapped row's end puts the caret at that row's end.
  e.PlaceCaret(1000, 1, false);
  EXPECT_EQ(e.Caret(), 6);
  EXPECT_EQ(e.CaretRow(), 0);
  e.Key(vk::kHome, false, true);
  e.Insert("xx ");
  EXPECT_EQ(e.RowRanges().back(), (std::pair<int, int>{15, 17}));
}

// The view scrolls by rows to keep the caret visible, wrapped rows included.
TEST(TextEntry, MemoScrollsToTheCaret) {
  TTextEntry probe(true);
  probe.SetSize(100, 100);
  const int row_height = probe.CaretRect().bottom - probe.CaretRect().top;
  TTextEntry e(true);
  e.SetSize(WidthOf("aaaa") + 3, row_height * 2);
  e.Insert(std::string(40, 'a')); // ten rows
  ASSERT_EQ(e.RowRanges().size(), 10u);
  EXPECT_EQ(e.CaretRect().top, row_height); // the last of two visible rows
  e.Key(vk::kUp, false, false);
  e.Key(vk::kUp, false, false);
  EXPECT_EQ(e.CaretRow(), 7);
  EXPECT_EQ(e.CaretRect().top, 0);
  e.Key(vk::kHome, false, true);
  EXPECT_EQ(e.CaretRect().top, 0);
  e.SetText("a"); // fewer rows: nothing stays scrolled away
  EXPECT_EQ(e.CaretRect().top, 0);
}

// A drag extends the selection from the press; a double click selects the word under the
// caret: letters and digits, double-width characters or spaces, never past a line break.
TEST(TextEntry, DragAndWordSelection) {
  TTextEntry e(true);
  e.SetSize(1000, 100);
  e.Insert("ab-cd 漢字x\nnext");
  e.PlaceCaret(1, 1, false);
  e.PlaceCaret(1000, 1, true);
  EXPECT_EQ(e.SelectionStart(), 0);
  EXPECT_EQ(e.SelectionEnd(), 9);
  const struct {
    int caret; // placed with the keys from the start
    int from, to;
  } words[] = {{0, 0, 2}, {1, 0, 2}, {2, 2, 3}, {3, 3, 5},
               {5, 5, 6}, {6, 6, 8}, {9, 8, 9}, {10, 10, 14}};
  for (const auto& w : words) {
    SCOPED_TRACE(w.caret);
    e.Key(vk::kHome, false, true);
    for (int i = 0; i < w.caret; ++i)
      e.Key(vk::kRight, false, false);
    e.SelectWord();
    EXPECT_EQ(e.SelectionStart(), w.from);
    EXPECT_EQ(e.SelectionEnd(), w.to);
  }
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
