// SPDX-License-Identifier: MIT
// Drawing characters (colours, ruby, outline, shadow) through the glyph cache into the work
// surfaces, and painting them onto the owner's surface.
#include <algorithm>
#include <cmath>

#include "base/sjis.h"
#include "text/font_pixel_manager.h"
#include "text/private/text_limits.h"
#include "text/text_messages.h"
#include "text/zpword.h"

namespace nova {
namespace {

constexpr int kMaxWorkSide = 16384;

// The colour a character draws in: hover, own, link or default.
int CharColor(const ZpWordSettings& s, const TWdChar& g) {
  const int own = g.decorate ? g.decorate->color : -1;
  if (g.hover)
    return s.hover_color;
  if (own != -1)
    return own;
  return g.link.empty() ? s.default_color : s.link_color;
}

} // namespace

void TZpWord::Render(TWdPage& page, int screen_bpp) {
  const int width = std::clamp(settings.wrap_width, 0, kMaxWorkSide);
  const int height = std::clamp(std::max(settings.page_height, page.height), 0, kMaxWorkSide);
  work_color_.Resize(width, height, screen_bpp);
  work_coverage_.Resize(width, height);
  for (auto& row : page.rows)
    for (TWdGlyph* g : row->glyphs)
      RenderGlyph(page, *g);
}

void TZpWord::RenderGlyph(TWdPage& page, TWdGlyph& glyph) {
  if (glyph.Kind() != kKindChar)
    return;
  auto& g = static_cast<TWdChar&>(glyph);
  if (!g.drawn.Empty()) {
    work_coverage_.Fill(g.drawn, 0);
    Redraw(page, g);
  }
  g.drawn = {};
  const TDecorate d = g.decorate ? *g.decorate : TDecorate{};
  const ZpWordSettings& s = settings;
  const int color = CharColor(s, g);
  const int border_color = d.border_color != -1 ? d.border_color : s.default_border_color;
  const int shadow_color = d.shadow_color != -1 ? d.shadow_color : s.default_shadow_color;
  const uint8_t style = d.style | (g.link.empty() ? 0 : kStyleUnderline);
  const int size = std::clamp(d.size ? d.size : s.default_size, 0, kMaxCharSize);
  const int border = OutlineWidth(size, d.border >= 0 ? d.border : s.default_border);
  const int shadow = std::clamp(d.shadow >= 0 ? d.shadow : s.default_shadow, 0, kMaxOutline);
  std::string face = d.font_name.empty() ? s.default_font : d.font_name;
  TFontPixelManager& fonts = Fonts();
  if (face.empty() || (!fonts.FindInstalledFont(face) && !fonts.packed()->Find(face, size, style)))
    face = TextTexts().ms_gothic;
  fonts.SetLevel(s.level);

  ComposeArgs args;
  args.text_pixel = work_color_.ColorToPixel(static_cast<uint32_t>(color));
  args.border_pixel = work_color_.ColorToPixel(static_cast<uint32_t>(border_color));
  args.shadow_pixel = work_color_.ColorToPixel(static_cast<uint32_t>(shadow_color));
  args.border = border;
  args.shadow = shadow;

  // Outline ends stay open towards neighbours that share the outline.
  const TWdRow* row = g.row;
  auto same_outline = [&](const TWdGlyph* n) {
    if (!n || n->Kind() != kKindChar)
      return false;
    const TDecorate* nd = static_cast<const TWdChar*>(n)->decorate;
    const TDecorate o = nd ? *nd : TDecorate{};
    return (o.border >= 0 ? o.border : s.default_border) == border &&
           (o.shadow >= 0 ? o.shadow : s.default_shadow) == shadow &&
           (o.border_color != -1 ? o.border_color : s.default_border_color) == border_color &&
           (o.shadow_color != -1 ? o.shadow_color : s.default_shadow_color) == shadow_color;
  };
  const TWdGlyph* prev = nullptr;
  const TWdGlyph* next = nullptr;
  if (row) {
    auto it = std::find(row->glyphs.begin(), row->glyphs.end(), &glyph);
    if (it != row->glyphs.begin() && it != row->glyphs.end())
      prev = *(it - 1);
    if (it != row->glyphs.end() && it + 1 != row->glyphs.end())
      next = *(it + 1);
  }
  args.run_start = !same_outline(prev);
  args.run_end = !same_outline(next);

  TextRect box = GlyphPageRect(g);
  TextRect drawn;
  if (!d.ruby.empty()) {
    const int rs = std::max(1, size / 2);
    // Only the first glyph of a ruby run draws the ruby, over the whole run.
    const auto* var_char = dynamic_cast<const TWdVarChar*>(&glyph);
    const bool first = (var_char && var_char->first_of_var) || !prev || prev->Ruby() != d.ruby;
    if (first && row) {
      int run_width = 0;
      auto it = std::find(row->glyphs.begin(), row->glyphs.end(), &glyph);
      for (auto j = it; j != row->glyphs.end() && (*j)->Ruby() == d.ruby; ++j) {
        const auto* vc = dynamic_cast<const TWdVarChar*>(*j);
        if (j != it && vc && vc->first_of_var)
          break;
        run_width += (*j)->width;
      }
      const int n = static_cast<int>(CharCount(d.ruby));
      ComposeArgs ra = args;
      ra.border = std::min(1, border);
      ra.shadow = std::min(1, shadow);
      ra.run_start = ra.run_end = true;
      const uint8_t ruby_style = d.style & (kStyleBold | kStyleItalic);
      size_t pos = 0;
      for (int k = 1; k <= n; ++k) {
        const uint16_t code = CharCodeAt(d.ruby, pos);
        const bool wide = CharBytes(d.ruby, pos) == 2;
        pos += CharBytes(d.ruby, pos);
        const int cx = static_cast<int>(
                           std::nearbyint(static_cast<double>(2 * k - 1) * run_width / (2.0 * n))) -
                       (wide ? rs / 2 : rs / 4);
        ra.box = {box.left + cx, box.top, box.left + cx + rs + 2 * ra.border + ra.shadow,
                  box.top + rs + 2 * ra.border + ra.shadow};
        const TFontPixel& rp = fonts.GetGlyph(code, face, ruby_style, rs);
        drawn = drawn.Union(fonts.Compose(rp, work_color_, work_coverage_, ra));
      }
    }
    box.top += rs;
  }
  args.box = box;
  const TFontPixel& px = fonts.GetGlyph(g.code, face, style, size);
  drawn = drawn.Union(fonts.Compose(px, work_color_, work_coverage_, args));
  g.drawn = drawn.Intersect({0, 0, work_coverage_.width(), work_coverage_.height()});
}

void TZpWord::Paint(const TWdPage& page, TextPaintTarget& target, const TextRect& clip) const {
  const ZpWordSettings& s = settings;
  const int py = PageScreenY(page);
  TextRect visible{s.origin_x, s.origin_y, s.origin_x + s.wrap_width,
                   s.origin_y + (s.page_height > 0 ? s.page_height : page.height)};
  visible = visible.Intersect(clip);
  for (const auto& row : page.rows) {
    const TextRect row_rect{s.origin_x, py + row->y, s.origin_x + s.wrap_width,
                            py + row->y + row->height};
    if (row_rect.Intersect(visible).Empty() && row->height > 0)
      continue;
    for (const TWdGlyph* glyph : row->glyphs) {
      if (!glyph->IsVisible() || glyph->Alpha() <= 0)
        continue;
      if (glyph->Kind() == kKindImg) {
        if (!images)
          continue;
        const int a = glyph->Alpha();
        const int o = s.image_opacity;
        const int opacity = o == 255 ? a : o < 255 ? a * o / 256 : 256 + a * (o - 256) / 256;
        const TextRect r = GlyphScreenRect(page, *glyph);
        const auto* img = static_cast<const TWdImg*>(glyph);
        if (img->IsAnimated())
          images->PaintFrame(img->file_name, img->frame, r.left, r.top, opacity);
        else
          images->Paint(img->file_name, r.left, r.top, opacity);
        continue;
      }
      const auto& g = static_cast<const TWdChar&>(*glyph);
      if (g.drawn.Empty())
        continue;
      const TextRect screen = g.drawn.Offset(s.origin_x, py).Intersect(visible);
      if (screen.Empty())
        continue;
      const TextRect src = screen.Offset(-s.origin_x, -py);
      const TDecorate d = g.decorate ? *g.decorate : TDecorate{};
      const int border = d.border >= 0 ? d.border : s.default_border;
      const int shadow = d.shadow >= 0 ? d.shadow : s.default_shadow;
      if (border == 0 && shadow == 0) {
        target.DrawColorMask(screen.left, screen.top, work_coverage_, src,
                             static_cast<uint32_t>(CharColor(s, g)), g.Alpha());
      } else {
        target.DrawMask(screen.left, screen.top, work_color_, work_coverage_, src, g.Alpha());
      }
    }
  }
}

} // namespace nova
