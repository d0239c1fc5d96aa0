// SPDX-License-Identifier: MIT
#include "text/label_list.h"

#include <algorithm>
#include <unordered_map>

#include "base/sjis.h"
#include "text/font_pixel_manager.h"
#include "text/private/text_limits.h"
#include "text/text_messages.h"

namespace nova {

TZpLabelList::TZpLabelList() : face(TextTexts().ms_pgothic) {}

TFontPixelManager& TZpLabelList::Fonts() const { return font_pixels ? *font_pixels : FontPixels(); }

void TZpLabelList::SetLines(const std::vector<std::string>& lines) {
  labels_.clear();
  for (const std::string& l : lines) {
    labels_.push_back(std::make_unique<TZpLabelDIB>());
    labels_.back()->text = l;
  }
}

void TZpLabelList::Measure() {
  TFontPixelManager& fonts = Fonts();
  fonts.SetLevel(level);
  std::unordered_map<uint16_t, int> known; // advances of this pass by code
  width_ = 0;
  const int outline = 2 * OutlineWidth(size, border);
  for (auto& label : labels_) {
    label->advances.clear();
    label->width = 0;
    label->height = size + outline + shadow;
    const std::string& t = label->text;
    for (size_t i = 0; i < t.size(); i += CharBytes(t, i)) {
      const uint16_t code = CharCodeAt(t, i);
      const bool last = i + CharBytes(t, i) >= t.size();
      auto it = known.find(code);
      int advance;
      if (it != known.end() && !last) {
        advance = it->second;
      } else {
        advance = fonts.Metrics(code, face, style, size).Total() + outline + shadow;
        known[code] = advance;
      }
      label->advances.push_back(advance);
      label->width += advance;
    }
    width_ = std::max(width_, label->width);
    label->dirty = true;
  }
}

void TZpLabelList::Render(int screen_bpp) {
  TFontPixelManager& fonts = Fonts();
  for (auto& label : labels_) {
    if (!label->dirty && label->rendered_bpp == screen_bpp)
      continue;
    // Sizes come from title data: the surfaces stay within what a screen can show.
    constexpr int kMaxSide = 16384;
    label->color.Resize(std::min(label->width, kMaxSide), std::min(label->height, kMaxSide),
                        screen_bpp);
    label->coverage.Resize(std::min(label->width, kMaxSide), std::min(label->height, kMaxSide));
    fonts.SetLevel(level);
    ComposeArgs a;
    a.text_pixel = label->color.ColorToPixel(static_cast<uint32_t>(color));
    a.border_pixel = label->color.ColorToPixel(static_cast<uint32_t>(border_color));
    a.shadow_pixel = label->color.ColorToPixel(static_cast<uint32_t>(shadow_color));
    a.border = border;
    a.shadow = shadow;
    const std::string& t = label->text;
    int x = 0;
    size_t k = 0;
    for (size_t i = 0; i < t.size() && k < label->advances.size(); i += CharBytes(t, i), ++k) {
      a.run_start = i == 0;
      a.run_end = i + CharBytes(t, i) >= t.size();
      a.box = {x, 0, x + label->advances[k], size};
      fonts.Compose(fonts.GetGlyph(CharCodeAt(t, i), face, style, size), label->color,
                    label->coverage, a);
      x += label->advances[k];
    }
    label->dirty = false;
    label->rendered_bpp = screen_bpp;
  }
}

void TZpLabelList::Paint(size_t line, TextPaintTarget& target, int x, int y) {
  if (line >= labels_.size())
    return;
  TZpLabelDIB& l = *labels_[line];
  const TextRect all{0, 0, l.width, l.height};
  if (border == 0 && shadow == 0)
    target.DrawColorMask(x, y, l.coverage, all, static_cast<uint32_t>(color), alpha);
  else
    target.DrawMask(x, y, l.color, l.coverage, all, alpha);
}

void TZpLabelList::Save(BinaryWriter& w) const {
  w.I32(level);
  w.I32(border);
  w.I32(alpha);
  w.I32(size);
  w.String(face);
  w.I32(color);
  w.I32(border_color);
  w.U8(style);
  w.Bytes(std::vector<uint8_t>(212, 0));
  w.I32(shadow);
  w.I32(shadow_color);
}

void TZpLabelList::Load(BinaryReader& r, int v) {
  level = r.I32();
  if (v < 109)
    level = level > 1 ? 3 : 0;
  border = std::clamp(r.I32(), 0, kMaxOutline);
  alpha = r.I32();
  size = std::clamp(r.I32(), 0, kMaxCharSize);
  face = r.String();
  color = r.I32();
  border_color = r.I32();
  style = r.U8();
  r.Skip(212); // a block the player does not interpret
  if (v >= 122) {
    shadow = std::clamp(r.I32(), 0, kMaxOutline);
    shadow_color = r.I32();
  }
  for (auto& l : labels_)
    l->dirty = true;
}

} // namespace nova
