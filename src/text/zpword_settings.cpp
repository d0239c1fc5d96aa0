// SPDX-License-Identifier: MIT
// The settings stream of a glyph list.
#include "text/zpword.h"

namespace nova {

void TZpWord::SaveSettings(BinaryWriter& w) const {
  const ZpWordSettings& s = settings;
  w.I32(s.origin_x);
  w.I32(s.origin_y);
  w.I32(s.default_size);
  w.String(s.default_font);
  w.I32(s.default_color);
  w.I32(s.page_height);
  w.I32(s.wrap_width);
  w.I32(s.level);
  w.I32(s.line_spacing);
  w.Bool(s.paging);
  w.I32(s.link_color);
  w.I32(s.hover_color);
  w.I32(s.fade_time);
  w.I32(s.default_border_color);
  w.I32(s.image_opacity);
  w.Bool(s.paused);
  w.I32(s.caret_x);
  w.I32(s.caret_y);
  w.I32(s.speed);
  w.Bool(s.events_on);
  w.I32(s.default_shadow_color);
  w.I32(s.default_border);
  w.I32(s.default_shadow);
  w.Bool(s.fixed_cell);
}

void TZpWord::LoadSettings(BinaryReader& r, int v) {
  ZpWordSettings& s = settings;
  s.origin_x = r.I32();
  s.origin_y = r.I32();
  s.default_size = r.I32();
  s.default_font = r.String();
  s.default_color = r.I32();
  s.page_height = r.I32();
  s.wrap_width = r.I32();
  s.level = r.I32();
  s.line_spacing = r.I32();
  s.paging = r.Bool();
  s.link_color = r.I32();
  s.hover_color = r.I32();
  s.fade_time = r.I32();
  s.default_border_color = r.I32();
  s.image_opacity = r.I32();
  s.paused = r.Bool();
  s.caret_x = r.I32();
  s.caret_y = r.I32();
  s.speed = r.I32();
  s.events_on = r.Bool();
  if (v >= 110)
    s.default_shadow_color = r.I32();
  if (v > 110) {
    s.default_border = r.I32();
    s.default_shadow = r.I32();
  }
  if (v > 140)
    s.fixed_cell = r.Bool();
}

} // namespace nova
