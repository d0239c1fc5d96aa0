// SPDX-License-Identifier: MIT
#include "platform/text_entry.h"

#include <algorithm>
#include <cstdint>

#include "base/sjis.h"
#include "platform/glyph_rasterizer.h"
#include "platform/private/ui_font.h"
#include "platform/virtual_keys.h"

namespace nova {

namespace {

// Decodes one UTF-8 character at `i`, advancing it; U+FFFD for bad bytes.
char32_t NextChar(const std::string& s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
  if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k)
    cp = cp << 6 | (b(i + k) & 0x3F);
  i += static_cast<size_t>(extra) + 1;
  return cp;
}

std::string EncodeUtf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
  return out;
}

// 0x00BBGGRR (or -1 for `fallback`) as the picture's 0x00RRGGBB.
uint32_t Rgb(int32_t color, uint32_t fallback) {
  if (color < 0)
    return fallback;
  const uint32_t c = static_cast<uint32_t>(color);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

uint32_t Mix(uint32_t back, uint32_t ink, int coverage) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const uint32_t b = (back >> shift) & 0xFF, f = (ink >> shift) & 0xFF;
    out |= ((b * (255 - coverage) + f * coverage) / 255) << shift;
  }
  return out;
}

constexpr uint32_t kSelectionBack = 0x3399FF;
constexpr uint32_t kSelectionInk = 0xFFFFFF;

} // namespace

TTextEntry::TTextEntry(bool multi_line) : multi_line_(multi_line) {}
TTextEntry::~TTextEntry() = default;

size_t TTextEntry::Bytes() const {
  size_t n = 0;
  for (const TCell& c : cells_)
    n += c.sjis.size();
  return n;
}

std::vector<TTextEntry::TCell> TTextEntry::Convert(const std::string& utf8, size_t budget) const {
  std::vector<TCell> out;
  size_t bytes = 0;
  // What the budget cannot take is not converted at all: a huge paste costs what fits.
  for (size_t i = 0; i < utf8.size() && bytes < budget;) {
    const char32_t c = NextChar(utf8, i);
    if (c == '\r')
      continue; // "\r\n" and a lone "\r" are one break, made of the "\n"
    if (c == '\n') {
      if (multi_line_ && bytes + 2 <= budget) {
        out.push_back({'\n', "\r\n"});
        bytes += 2;
      } else if (multi_line_) {
        break;
      }
      continue;
    }
    if (c < 0x20 || c == 0x7F || c == 0xFFFD)
      continue;
    // The conversion answers '?' for what Shift-JIS cannot hold.
    const std::string sjis =
        c < 0x80 ? std::string(1, static_cast<char>(c)) : Utf8ToSjis(EncodeUtf8(c));
    if (sjis.empty() || (c != '?' && sjis.find('?') != std::string::npos))
      continue;
    if (bytes + sjis.size() > budget)
      break;
    bytes += sjis.size();
    out.push_back({c, sjis});
  }
  return out;
}

void TTextEntry::SetText(const std::string& sjis) {
  cells_ = Convert(SjisToUtf8(sjis), max_bytes_ ? max_bytes_ : SIZE_MAX);
  caret_ = anchor_ = static_cast<int>(cells_.size());
  caret_at_row_end_ = false;
  rows_.clear();
  composition_.clear();
  scroll_x_ = scroll_line_ = 0;
  ScrollToCaret();
}

std::string TTextEntry::Text() const {
  std::string out;
  for (const TCell& c : cells_)
    out += c.sjis;
  return out;
}

void TTextEntry::SelectAll() {
  anchor_ = 0;
  caret_ = static_cast<int>(cells_.size());
  caret_at_row_end_ = false;
}

void TTextEntry::SetStyle(const TTextEntryStyle& style) {
  const bool refont = style.font_height != style_.font_height || style.bold != style_.bold ||
                      style.italic != style_.italic;
  style_ = style;
  rows_.clear();
  if (refont) {
    glyphs_.clear();
    font_.reset();
    font_tried_ = false;
  }
}

void TTextEntry::SetSize(int width, int height) {
  if (std::max(0, width) != width_)
    rows_.clear();
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  ScrollToCaret();
}

void TTextEntry::DeleteSelection() {
  const int from = SelectionStart(), to = SelectionEnd();
  cells_.erase(cells_.begin() + from, cells_.begin() + to);
  caret_ = anchor_ = from;
  caret_at_row_end_ = false;
  rows_.clear();
}

bool TTextEntry::Insert(const std::string& utf8) {
  composition_.clear();
  if (read_only_)
    return false;
  const bool had_selection = SelectionStart() != SelectionEnd();
  DeleteSelection();
  // The field keeps what fits, as a platform edit does.
  const size_t used = Bytes();
  const std::vector<TCell> kept =
      Convert(utf8, max_bytes_ ? max_bytes_ - std::min(used, max_bytes_) : SIZE_MAX);
  cells_.insert(cells_.begin() + caret_, kept.begin(), kept.end());
  caret_ = anchor_ = caret_ + static_cast<int>(kept.size());
  rows_.clear();
  ScrollToCaret();
  return had_selection || !kept.empty();
}

void TTextEntry::SetComposition(const std::string& utf8) {
  composition_.clear();
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = NextChar(utf8, i);
    if (c >= 0x20 && c != 0x7F)
      composition_.push_back(c);
  }
  ScrollToCaret();
}

bool TTextEntry::BreaksBefore(int pos) const {
  const TCell& before = cells_[static_cast<size_t>(pos - 1)];
  const TCell& at = cells_[static_cast<size_t>(pos)];
  // Spaces stay at the end of the row they follow; double-width text breaks anywhere.
  if (at.code == ' ' || at.code == 0x3000)
    return false;
  return before.code == ' ' || before.code == 0x3000 || before.sjis.size() == 2 ||
         at.sjis.size() == 2;
}

void TTextEntry::WrapLine(int from, int to, int width, std::vector<TRow>& rows) {
  int start = from;
  while (true) {
    int pen = 0;
    int last_break = -1;
    int i = start;
    for (; i < to; ++i) {
      const char32_t c = cells_[static_cast<size_t>(i)].code;
      if (i > start && BreaksBefore(i))
        last_break = i;
      const int a = Advance(c);
      // Spaces may pass the edge; every row keeps at least one character.
      if (width > 0 && i > start && pen + a > width && c != ' ' && c != 0x3000)
        break;
      pen += a;
    }
    if (i >= to) {
      rows.push_back({start, to, false});
      return;
    }
    const int next = last_break > start ? last_break : i;
    rows.push_back({start, next, true});
    start = next;
  }
}

const std::vector<TTextEntry::TRow>& TTextEntry::Rows() {
  if (!rows_.empty())
    return rows_;
  const int size = static_cast<int>(cells_.size());
  if (!multi_line_) {
    rows_.push_back({0, size, false});
    return rows_;
  }
  // The room a row's text has, as the caret and the margins leave it.
  const int width = width_ > 3 ? width_ - 3 : 0;
  int from = 0;
  for (int i = 0; i <= size; ++i) {
    if (i == size || cells_[static_cast<size_t>(i)].code == '\n') {
      WrapLine(from, i, width, rows_);
      from = i + 1;
    }
  }
  return rows_;
}

int TTextEntry::RowOf(int pos) {
  const std::vector<TRow>& rows = Rows();
  const auto after = std::upper_bound(rows.begin(), rows.end(), pos,
                                      [](int p, const TRow& r) { return p < r.start; });
  return std::max(0, static_cast<int>(after - rows.begin()) - 1);
}

int TTextEntry::CaretRow() {
  const int row = RowOf(caret_);
  if (caret_at_row_end_ && row > 0) {
    const TRow& before = Rows()[static_cast<size_t>(row - 1)];
    if (before.wrapped && before.end == caret_)
      return row - 1;
  }
  return row;
}

std::vector<std::pair<int, int>> TTextEntry::RowRanges() {
  std::vector<std::pair<int, int>> out;
  for (const TRow& r : Rows())
    out.emplace_back(r.start, r.end);
  return out;
}

void TTextEntry::CaretOnRow(int pos, int row) {
  caret_ = pos;
  const TRow& r = Rows()[static_cast<size_t>(row)];
  caret_at_row_end_ = r.wrapped && pos == r.end;
}

bool TTextEntry::Key(int vk, bool shift, bool ctrl) {
  const int size = static_cast<int>(cells_.size());
  const int line = CaretRow();
  // `row`: the row the caret shows on when `to` ends a wrapped row; -1 for the row after it.
  const auto move = [&](int to, int row = -1) {
    caret_ = std::clamp(to, 0, size);
    caret_at_row_end_ = false;
    if (row >= 0)
      CaretOnRow(caret_, row);
    if (!shift)
      anchor_ = caret_;
    ScrollToCaret();
    return true;
  };
  switch (vk) {
  case vk::kLeft:
    if (!shift && anchor_ != caret_)
      return move(SelectionStart());
    return move(caret_ - 1);
  case vk::kRight:
    if (!shift && anchor_ != caret_)
      return move(SelectionEnd());
    return move(caret_ + 1);
  case vk::kHome:
    return move(ctrl ? 0 : LineStart(line));
  case vk::kEnd:
    return ctrl ? move(size) : move(LineEnd(line), line);
  case vk::kUp:
  case vk::kDown: {
    if (!multi_line_)
      return false;
    const int target = vk == vk::kUp ? line - 1 : line + 1;
    if (target < 0 || target >= LineCount())
      return move(vk == vk::kUp ? 0 : size);
    const int x = LineLeft(line) + TextWidth(LineStart(line), caret_);
    return move(PosAtX(target, x - LineLeft(target)), target);
  }
  case vk::kBack:
  case vk::kDelete:
    if (read_only_)
      return true;
    if (anchor_ == caret_) {
      if (vk == vk::kBack && caret_ > 0)
        anchor_ = caret_ - 1;
      else if (vk == vk::kDelete && caret_ < size)
        anchor_ = caret_ + 1;
    }
    DeleteSelection();
    ScrollToCaret();
    return true;
  case vk::kReturn:
    if (!multi_line_)
      return false;
    Insert("\n");
    return true;
  default:
    if (ctrl && vk == vk::kA) {
      SelectAll();
      return true;
    }
    return false;
  }
}

void TTextEntry::PlaceCaret(int x, int y, bool extend) {
  if (cells_.empty()) {
    caret_ = anchor_ = 0;
    return;
  }
  int line = 0;
  if (multi_line_) {
    const int h = std::max(1, LineHeight());
    line = std::clamp(scroll_line_ + (y < 0 ? -1 : y / h), 0, LineCount() - 1);
  }
  CaretOnRow(PosAtX(line, x - LineLeft(line) + (multi_line_ ? 0 : scroll_x_)), line);
  if (!extend)
    anchor_ = caret_;
  ScrollToCaret();
}

void TTextEntry::SelectWord() {
  const int size = static_cast<int>(cells_.size());
  if (size == 0)
    return;
  // 0 space, 1 letters and digits, 2 double-width, 3 anything else (one character at a time).
  const auto kind = [&](int pos) {
    const TCell& c = cells_[static_cast<size_t>(pos)];
    if (c.code == ' ' || c.code == 0x3000)
      return 0;
    if (c.sjis.size() == 2)
      return 2;
    if ((c.code >= '0' && c.code <= '9') || (c.code >= 'A' && c.code <= 'Z') ||
        (c.code >= 'a' && c.code <= 'z') || c.code == '_')
      return 1;
    return 3;
  };
  int at = std::min(caret_, size - 1);
  // At the end of a line the word before the caret is meant.
  if (cells_[static_cast<size_t>(at)].code == '\n' && at > 0)
    --at;
  if (cells_[static_cast<size_t>(at)].code == '\n')
    return;
  const int k = kind(at);
  int from = at, to = at + 1;
  if (k != 3) {
    while (from > 0 && cells_[static_cast<size_t>(from - 1)].code != '\n' && kind(from - 1) == k)
      --from;
    while (to < size && cells_[static_cast<size_t>(to)].code != '\n' && kind(to) == k)
      ++to;
  }
  anchor_ = from;
  caret_ = to;
  caret_at_row_end_ = false;
  const TRow& row = Rows()[static_cast<size_t>(RowOf(from))];
  if (row.wrapped && row.end == to)
    caret_at_row_end_ = true;
  ScrollToCaret();
}

std::string TTextEntry::SelectedUtf8() const {
  // A password field never gives its text away.
  if (password_ && !multi_line_)
    return {};
  std::string sjis;
  for (int i = SelectionStart(); i < SelectionEnd(); ++i)
    sjis += cells_[static_cast<size_t>(i)].sjis;
  return SjisToUtf8(sjis);
}

bool TTextEntry::CutSelection() {
  if (read_only_ || anchor_ == caret_)
    return false;
  DeleteSelection();
  ScrollToCaret();
  return true;
}

char32_t TTextEntry::Shown(char32_t c) const {
  return password_ && !multi_line_ && c != '\n' ? password_ : c;
}

bool TTextEntry::EnsureFont() {
  if (font_)
    return true;
  if (font_tried_)
    return false;
  font_tried_ = true;
  const std::string file = FindUiFontFile();
  if (file.empty())
    return false;
  auto font = CreateFreeTypeRasterizer();
  if (!font->Select(file, 0, false, std::clamp(style_.font_height, 1, 512),
                    style_.bold ? FontWeight::kBold : FontWeight::kRegular,
                    style_.italic ? FontSlant::kItalic : FontSlant::kUpright))
    return false;
  font_ = std::move(font);
  return true;
}

const TTextEntry::TGlyph& TTextEntry::Glyph(char32_t c) {
  auto found = glyphs_.find(c);
  if (found != glyphs_.end())
    return found->second;
  TGlyph g;
  RasterGlyph r;
  if (EnsureFont() && font_->Render(c, 3, r)) {
    g.width = r.width;
    g.height = r.height;
    g.origin_x = r.origin_x;
    g.origin_y = r.origin_y;
    g.advance = r.advance;
    g.coverage.resize(r.pixels.size());
    for (size_t i = 0; i < r.pixels.size(); ++i)
      g.coverage[i] = static_cast<uint8_t>(std::min(255, r.pixels[i] * 255 / LevelMaximum(3)));
  } else {
    // Without a font every character still takes room, so that caret and scrolling work.
    g.advance = std::max(1, style_.font_height / 2);
  }
  return glyphs_.emplace(c, std::move(g)).first->second;
}

int TTextEntry::Advance(char32_t c) { return c == '\n' ? 0 : Glyph(Shown(c)).advance; }

int TTextEntry::TextWidth(int from, int to) {
  int w = 0;
  for (int i = from; i < to; ++i)
    w += Advance(cells_[static_cast<size_t>(i)].code);
  return w;
}

int TTextEntry::LineHeight() {
  if (EnsureFont())
    return std::max(1, font_->Metrics().ascent + font_->Metrics().descent);
  return std::max(1, style_.font_height);
}

int TTextEntry::LineLeft(int line) {
  if (!multi_line_ || style_.align == 0)
    return 1;
  const int w = TextWidth(LineStart(line), LineEnd(line));
  return style_.align == 1 ? width_ - 2 - w : (width_ - w) / 2;
}

int TTextEntry::XOfCaret() {
  const int line = CaretRow();
  return LineLeft(line) + TextWidth(LineStart(line), caret_);
}

int TTextEntry::PosAtX(int line, int x) {
  int pos = LineStart(line);
  const int end = LineEnd(line);
  int pen = 0;
  while (pos < end) {
    const int a = Advance(cells_[static_cast<size_t>(pos)].code);
    if (pen + a / 2 > x)
      break;
    pen += a;
    ++pos;
  }
  return pos;
}

void TTextEntry::ScrollToCaret() {
  if (width_ <= 0 || height_ <= 0)
    return;
  if (multi_line_) {
    const int rows = std::max(1, height_ / LineHeight());
    // Rows that went away (text deleted, a wider field) leave no empty view behind.
    scroll_line_ = std::min(scroll_line_, std::max(0, LineCount() - rows));
    const int line = CaretRow();
    if (line < scroll_line_)
      scroll_line_ = line;
    else if (line >= scroll_line_ + rows)
      scroll_line_ = line - rows + 1;
    return;
  }
  int composing = 0;
  for (char32_t c : composition_)
    composing += Glyph(c).advance;
  const int x = XOfCaret() + composing;
  const int visible = std::max(1, width_ - 3);
  if (x - scroll_x_ > visible)
    scroll_x_ = x - visible;
  if (XOfCaret() - 1 < scroll_x_)
    scroll_x_ = std::max(0, XOfCaret() - 1);
}

TWindowRect TTextEntry::CaretRect() {
  const int h = LineHeight();
  const int top = multi_line_ ? (CaretRow() - scroll_line_) * h : std::max(0, (height_ - h) / 2);
  const int x = XOfCaret() - (multi_line_ ? 0 : scroll_x_);
  return {x, top, x + 1, top + h};
}

void TTextEntry::Render(TPicture& picture, bool focused) {
  picture.width = width_;
  picture.height = height_;
  const uint32_t back = Rgb(style_.back_color, 0xFFFFFF);
  const uint32_t ink = Rgb(style_.text_color, 0x000000);
  picture.pixels.assign(static_cast<size_t>(width_) * height_, back);
  if (width_ <= 0 || height_ <= 0)
    return;
  const int h = LineHeight();
  const int ascent = EnsureFont() ? font_->Metrics().ascent : h;
  const auto put = [&](int x, int y, uint32_t color) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_)
      picture.pixels[static_cast<size_t>(y) * width_ + x] = color;
  };
  const auto fill = [&](int x0, int y0, int x1, int y1, uint32_t color) {
    for (int y = std::max(0, y0); y < std::min(height_, y1); ++y)
      for (int x = std::max(0, x0); x < std::min(width_, x1); ++x)
        put(x, y, color);
  };
  const auto draw = [&](char32_t c, int pen, int top, uint32_t fore, uint32_t ground) {
    const TGlyph& g = Glyph(c);
    const int gx = pen + g.origin_x, gy = top + ascent - g.origin_y;
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x) {
        const uint8_t cover = g.coverage[static_cast<size_t>(y) * g.width + x];
        if (cover)
          put(gx + x, gy + y, Mix(ground, fore, cover));
      }
    return g.advance;
  };
  const int first_line = multi_line_ ? scroll_line_ : 0;
  const int last_line = multi_line_ ? std::min(LineCount(), first_line + height_ / h + 1) : 1;
  const int caret_line = CaretRow();
  for (int line = first_line; line < last_line; ++line) {
    const int top = multi_line_ ? (line - first_line) * h : (height_ - h) / 2;
    int pen = LineLeft(line) - (multi_line_ ? 0 : scroll_x_);
    const int from = multi_line_ ? LineStart(line) : 0;
    const int to = multi_line_ ? LineEnd(line) : static_cast<int>(cells_.size());
    for (int i = from; i <= to; ++i) {
      if (i == caret_ && line == caret_line && !composition_.empty()) {
        // The composition sits at the caret, underlined, until the input method commits it.
        const int start = pen;
        for (char32_t c : composition_)
          pen += draw(c, pen, top, ink, back);
        fill(start, top + h - 1, pen, top + h, ink);
      }
      if (i == to)
        break;
      const char32_t c = Shown(cells_[static_cast<size_t>(i)].code);
      const bool selected = i >= SelectionStart() && i < SelectionEnd();
      const int a = Glyph(c).advance;
      if (pen + a >= 0 && pen < width_) {
        if (selected)
          fill(pen, top, pen + a, top + h, kSelectionBack);
        draw(c, pen, top, selected ? kSelectionInk : ink, selected ? kSelectionBack : back);
      }
      pen += a;
    }
  }
  if (focused && composition_.empty()) {
    const TWindowRect caret = CaretRect();
    fill(caret.left, caret.top, caret.right, caret.bottom, ink);
  }
}

} // namespace nova
