// SPDX-License-Identifier: MIT
// Measuring, line breaking by word units with the Japanese rules, rows onto pages, arranging.
#include <algorithm>

#include "base/sjis.h"
#include "text/font_pixel_manager.h"
#include "text/private/text_limits.h"
#include "text/text_messages.h"
#include "text/zpword.h"

namespace nova {
namespace {

bool InSet(const std::string& set, uint16_t code) {
  if (code == 0)
    return false;
  for (size_t i = 0; i < set.size(); i += CharBytes(set, i))
    if (CharCodeAt(set, i) == code)
      return true;
  return false;
}

bool IsSingleByteWordChar(uint16_t c) { return c >= 33 && c <= 255; }

} // namespace

// Layout of one range into pages: the state of the walk over the glyphs.
class ZpWordLayout {
public:
  ZpWordLayout(TZpWord& word, PageList& pages) : w_(word), s_(word.settings), pages_(pages) {}

  void Run(int first, int last) {
    const int count = static_cast<int>(w_.glyphs_.size());
    if (last < 0 || last >= count)
      last = count - 1;
    first = std::max(0, first);
    for (int i = first; i <= last; ++i)
      w_.MeasureGlyph(*w_.glyphs_[i]);
    const size_t first_page = pages_.size();
    int i = first;
    while (i <= last)
      i = Step(i, last);
    int widest = 0;
    for (size_t p = first_page; p < pages_.size(); ++p) {
      TWdPage& page = *pages_[p];
      page.height = 0;
      for (auto& row : page.rows) {
        Arrange(*row);
        page.height = std::max(page.height, row->y + row->height);
        widest = std::max(widest, row->width);
      }
      w_.ResetReveal(page);
    }
    if (s_.wrap_width == 0)
      s_.wrap_width = widest;
  }

private:
  TWdGlyph& G(int i) const { return *w_.glyphs_[i]; }
  int LineSpacing() const { return std::clamp(s_.line_spacing, -kMaxOutline, kMaxOutline); }

  bool BreakAllowed(const TWdGlyph& p, const TWdGlyph& n) const {
    if (p.NoBreak() && n.NoBreak())
      return false;
    if (!p.Ruby().empty() && p.Ruby() == n.Ruby())
      return false;
    if (IsSingleByteWordChar(p.Code()) && IsSingleByteWordChar(n.Code()))
      return false;
    if (n.Code() == 32 && p.Code() != 32)
      return false;
    return !InSet(TextTexts().line_start_prohibited, n.Code());
  }

  // Glyph count of the unit that starts at i.
  int WordUnit(int i, int last) const {
    if (G(i).IsLineBreak())
      return 1;
    int j = i + 1;
    auto extend = [&] {
      while (j <= last) {
        if (G(j).IsLineBreak()) {
          ++j;
          break;
        }
        if (BreakAllowed(G(j - 1), G(j)))
          break;
        ++j;
      }
    };
    extend();
    // An opening bracket stays with what follows it.
    if (j == i + 1 && j <= last && !G(j).IsLineBreak() &&
        InSet(TextTexts().line_end_prohibited, G(i).Code())) {
      ++j;
      extend();
    }
    return j - i;
  }

  static int RowHeight(const TWdRow& r) {
    const int c = r.char_height;
    const int center = std::max(0, (r.center_image - c + 1) / 2);
    const int above = std::max({0, center, r.bottom_image - c});
    const int below = std::max({0, center, r.top_image - c});
    return c + above + below;
  }

  static void AddToRow(TWdRow& r, TWdGlyph& g) {
    r.glyphs.push_back(&g);
    g.row = &r;
    if (g.Kind() == kKindImg) {
      const uint8_t v = static_cast<TWdImg&>(g).valign;
      int& m = v == kAlignCenter ? r.center_image : v == kAlignTop ? r.top_image : r.bottom_image;
      m = std::max(m, g.height);
    } else {
      r.char_height = std::max(r.char_height, g.height);
    }
    r.height = RowHeight(r);
  }

  void NewRow() {
    if (!page_) {
      pages_.push_back(std::make_unique<TWdPage>());
      page_ = pages_.back().get();
      y_ = 0;
    }
    page_->rows.push_back(std::make_unique<TWdRow>());
    row_ = page_->rows.back().get();
    row_->y = y_;
    row_->align = align_;
    row_->left = 0;
    row_->right = s_.wrap_width;
    row_->content_width = indent_;
    if (indent_ > 0) {
      row_->indent = std::make_unique<TWdSpace>(&w_);
      row_->indent->width = indent_;
      AddToRow(*row_, *row_->indent);
    }
  }

  bool RowHasContent() const {
    return std::any_of(row_->glyphs.begin(), row_->glyphs.end(),
                       [](const TWdGlyph* g) { return g->Kind() != kKindSpace; });
  }

  int FirstGlyphIndex(const TWdRow& r) const {
    for (const TWdGlyph* g : r.glyphs)
      if (g->Kind() != kKindSpace)
        return w_.IndexOf(g);
    return -1;
  }

  // Handles glyph i; returns the index to continue with.
  int Step(int i, int last) {
    TWdGlyph& g = G(i);
    switch (g.Kind()) {
    case kKindAlign:
      align_ = static_cast<TWdOpeAlign&>(g).align;
      if (row_ && !std::any_of(row_->glyphs.begin(), row_->glyphs.end(),
                               [](const TWdGlyph* x) { return x->IsVisible(); }))
        row_->align = align_;
      return i + 1;
    case kKindIndent:
      if (row_)
        indent_ = row_->content_width;
      return i + 1;
    case kKindUndent:
      indent_ = 0;
      return i + 1;
    default:
      break;
    }
    if (!row_)
      NewRow();
    const int n = WordUnit(i, last);
    int width = 0;
    for (int k = i; k < i + n; ++k)
      width += G(k).width;
    if (RowHasContent() && s_.wrap_width != 0 &&
        row_->right - row_->left < row_->content_width + width) {
      y_ += row_->height + LineSpacing();
      row_ = nullptr;
      return i;
    }
    for (int k = i; k < i + n; ++k) {
      AddToRow(*row_, G(k));
      if (s_.paging && page_->rows.front().get() != row_ && y_ + row_->height > s_.page_height) {
        // The whole row starts the next page.
        const int restart = FirstGlyphIndex(*row_);
        for (TWdGlyph* x : row_->glyphs)
          x->row = nullptr;
        page_->rows.pop_back();
        row_ = nullptr;
        page_ = nullptr;
        return restart;
      }
    }
    row_->content_width += width;
    if (G(i + n - 1).IsLineBreak()) {
      y_ += (row_->height ? row_->height : w_.SpaceHeight()) + LineSpacing();
      row_ = nullptr;
      if (static_cast<TWdOpeReturn&>(G(i + n - 1)).clear)
        page_ = nullptr;
    }
    return i + n;
  }

  void Arrange(TWdRow& r) const {
    int start = r.left;
    // Auto-width text (no right bound yet) is laid out from the left.
    if (r.right > 0 && r.align == kAlignRight)
      start = r.right - r.content_width;
    if (r.right > 0 && r.align == kAlignCenter)
      start = r.left + (r.right - r.left - r.content_width) / 2;
    r.width = start + r.content_width;
    const int c = r.char_height;
    const int center = std::max(0, (r.center_image - c + 1) / 2);
    const int above = std::max({0, center, r.bottom_image - c});
    const int below = std::max({0, center, r.top_image - c});
    r.height = c + above + below;
    int x = start;
    for (TWdGlyph* g : r.glyphs) {
      g->x = x;
      x += g->width;
      if (g->height == 0) {
        g->y = above;
      } else if (g->Kind() == kKindImg && static_cast<TWdImg*>(g)->valign == kAlignCenter) {
        g->y = above + (c - g->height) / 2;
      } else if (g->Kind() == kKindImg && static_cast<TWdImg*>(g)->valign == kAlignTop) {
        g->y = above;
      } else {
        g->y = r.height - below - g->height;
      }
    }
  }

  TZpWord& w_;
  ZpWordSettings& s_;
  PageList& pages_;
  TWdPage* page_ = nullptr;
  TWdRow* row_ = nullptr;
  int y_ = 0;
  uint8_t align_ = kAlignLeft;
  int indent_ = 0;
};

void TZpWord::Layout(PageList& pages, int first, int last) {
  ZpWordLayout(*this, pages).Run(first, last);
}

int TZpWord::SpaceHeight() const {
  const int size = std::clamp(settings.default_size, 0, kMaxCharSize);
  return size + 2 * OutlineWidth(size, settings.default_border) +
         std::clamp(settings.default_shadow, 0, kMaxOutline);
}

void TZpWord::MeasureGlyph(TWdGlyph& g) {
  g.x = g.y = g.width = g.height = 0;
  g.row = nullptr;
  if (g.Kind() == kKindImg) {
    auto& img = static_cast<TWdImg&>(g);
    int w = 0, h = 0;
    img.frame_times.clear();
    if (images && images->Measure(img.file_name, w, h)) {
      g.width = std::clamp(w, 0, kMaxImageSide);
      g.height = std::clamp(h, 0, kMaxImageSide);
      for (int t : images->FrameTimes(img.file_name))
        img.frame_times.push_back(std::clamp(t, 0, kMaxFrameTimeMs));
    }
    img.StartAnimation();
    return;
  }
  if (g.Kind() != kKindChar)
    return;
  const auto& c = static_cast<const TWdChar&>(g);
  const TDecorate d = c.decorate ? *c.decorate : TDecorate{};
  const int size = std::clamp(d.size ? d.size : settings.default_size, 0, kMaxCharSize);
  int h = size;
  int w = h;
  if (!settings.fixed_cell) {
    TFontPixelManager& fonts = Fonts();
    std::string face = d.font_name.empty() ? settings.default_font : d.font_name;
    if (face.empty())
      face = TextTexts().ms_gothic;
    const uint8_t style = d.style & (kStyleBold | kStyleItalic);
    if (fonts.FindInstalledFont(face)) {
      AbcWidths abc = fonts.Abc(c.code, face, style, h);
      w = abc.a + abc.b + std::max(0, abc.c);
    } else {
      w = fonts.Metrics(c.code, face, style, h).Total();
    }
    w = std::clamp(w, 0, kMaxCharSize);
  }
  if (d.style & kStyleItalic)
    w += h / 5;
  if (!d.ruby.empty())
    h += std::max(1, h / 2);
  const int b = OutlineWidth(size, d.border >= 0 ? d.border : settings.default_border);
  const int s = std::clamp(d.shadow >= 0 ? d.shadow : settings.default_shadow, 0, kMaxOutline);
  g.width = w + 2 * b + s;
  g.height = h + 2 * b + s;
}

} // namespace nova
