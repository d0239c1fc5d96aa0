// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"

namespace nova {

class GlyphRasterizer;

// How a field is drawn. Colours are 0x00BBGGRR as titles give them; -1 takes the default
// (black text on white).
struct TTextEntryStyle {
  int font_height = 12; // pixels
  bool bold = false;
  bool italic = false;
  int32_t text_color = -1;
  int32_t back_color = -1;
  uint8_t align = 0; // multi-line: 0 left, 1 right, 2 centre
};

// The content and drawing of a text-entry field (a one-line edit or a multi-line memo): the
// text, the caret and selection, the composition an input method is building, scrolling that
// keeps the caret in view, password characters, a maximum length, read-only. Texts cross the
// interface in Shift-JIS (titles' side) or UTF-8 (what the platform's text input delivers);
// characters without a Shift-JIS form are dropped on the way in. Lines of a multi-line field are
// joined with "\r\n". A multi-line field wraps its lines at its width: at spaces in Latin text,
// between any two double-width characters, and inside a word only when the word alone is wider
// than the field; the caret keys and clicks follow the wrapped rows. Main thread only.
class TTextEntry {
public:
  explicit TTextEntry(bool multi_line);
  ~TTextEntry();
  TTextEntry(const TTextEntry&) = delete;
  TTextEntry& operator=(const TTextEntry&) = delete;

  bool MultiLine() const { return multi_line_; }

  // Replaces the text (Shift-JIS); the caret goes to its end, the selection is dropped, and what
  // lies beyond the maximum length is cut off.
  void SetText(const std::string& sjis);
  std::string Text() const;
  void SelectAll();
  // The selection as character positions (start <= end).
  int SelectionStart() const { return std::min(anchor_, caret_); }
  int SelectionEnd() const { return std::max(anchor_, caret_); }
  int Caret() const { return caret_; }

  // Longest text in Shift-JIS bytes; 0 is no limit.
  void SetMaxLength(size_t sjis_bytes) { max_bytes_ = sjis_bytes; }
  // Shown instead of every character of a one-line field; 0 shows the text.
  void SetPasswordChar(char32_t c) {
    password_ = c;
    rows_.clear();
  }
  void SetReadOnly(bool on) { read_only_ = on; }
  bool ReadOnly() const { return read_only_; }
  void SetStyle(const TTextEntryStyle& style);
  const TTextEntryStyle& Style() const { return style_; }
  // The field's size, for scrolling and drawing.
  void SetSize(int width, int height);

  // Committed text (UTF-8) at the caret, replacing the selection. What has no Shift-JIS form,
  // line breaks in a one-line field and what would pass the maximum length are dropped.
  // Returns whether the text changed. The composition ends.
  bool Insert(const std::string& utf8);
  // The text an input method is composing (UTF-8), shown at the caret; empty ends it.
  void SetComposition(const std::string& utf8);
  const std::u32string& Composition() const { return composition_; }
  // An editing key (platform virtual-key code): arrows, Home, End, Back, Delete, Return (a
  // multi-line field), Ctrl+A; Shift extends the selection. Returns whether the key edits or
  // moves (true) or is none of these (false).
  bool Key(int vk, bool shift, bool ctrl);
  // A click at (x, y) within the field puts the caret at the nearest character boundary;
  // `extend` (Shift held, or the pointer dragged with the button down) keeps the selection's
  // other end.
  void PlaceCaret(int x, int y, bool extend);
  // Selects the word around the caret (a double click): a run of letters and digits, of
  // double-width characters, or of spaces.
  void SelectWord();
  // The rows the field shows, as character positions [start, end) of each; a row that wraps
  // ends where the next begins, one that ends at a line break ends before it.
  std::vector<std::pair<int, int>> RowRanges();
  // The row of the caret (0 for a one-line field).
  int CaretRow();
  // The selected text in UTF-8 (what Ctrl+C and Ctrl+X put on the clipboard).
  std::string SelectedUtf8() const;
  // Removes the selection (Ctrl+X after copying); false when read-only or nothing is selected.
  bool CutSelection();

  // Draws the field into `picture` (width x height of the field) with the platform font: the
  // background, the visible text, the selection, the composition underlined and, when
  // `focused`, the caret.
  void Render(TPicture& picture, bool focused);
  // The caret's rectangle within the field (where the input method's candidates go).
  TWindowRect CaretRect();

private:
  struct TCell {
    char32_t code = 0;
    std::string sjis; // "\r\n" for a line break
  };
  size_t Bytes() const;
  // Cells of a UTF-8 text that the field can hold, in order, up to `budget` Shift-JIS bytes.
  std::vector<TCell> Convert(const std::string& utf8, size_t budget) const;
  void DeleteSelection();
  // A shown row: cells [start, end); `wrapped` when the next row continues the same line.
  struct TRow {
    int start = 0;
    int end = 0;
    bool wrapped = false;
  };
  const std::vector<TRow>& Rows();
  void WrapLine(int from, int to, int width, std::vector<TRow>& rows);
  bool BreaksBefore(int pos) const;
  int RowOf(int pos);
  int LineStart(int row) { return Rows()[static_cast<size_t>(row)].start; }
  int LineEnd(int row) { return Rows()[static_cast<size_t>(row)].end; }
  int LineCount() { return static_cast<int>(Rows().size()); }
  // Moves the caret to `pos` on `row`, which may be the end of a wrapped row.
  void CaretOnRow(int pos, int row);
  char32_t Shown(char32_t c) const;
  int Advance(char32_t c);
  int TextWidth(int from, int to);
  int LineHeight();
  int LineLeft(int line);
  int XOfCaret();
  int PosAtX(int line, int x);
  void ScrollToCaret();
  bool EnsureFont();

  bool multi_line_;
  std::vector<TCell> cells_;
  int caret_ = 0;
  int anchor_ = 0;
  // The caret sits at the end of a wrapped row rather than at the start of the next (the same
  // position): End, or a click or vertical move past a row's last character, puts it there.
  bool caret_at_row_end_ = false;
  std::vector<TRow> rows_; // empty until the text, size or font next ask for them
  int scroll_x_ = 0;
  int scroll_line_ = 0;
  size_t max_bytes_ = 0;
  char32_t password_ = 0;
  bool read_only_ = false;
  std::u32string composition_;
  TTextEntryStyle style_;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<GlyphRasterizer> font_;
  bool font_tried_ = false;
  struct TGlyph {
    int width = 0, height = 0, origin_x = 0, origin_y = 0, advance = 0;
    std::vector<uint8_t> coverage; // 0..255
  };
  std::map<char32_t, TGlyph> glyphs_;
  const TGlyph& Glyph(char32_t c);
};

} // namespace nova
