// SPDX-License-Identifier: MIT
// The list box: items, hover and choice, pointer and keys, properties and persistent form.
#include <algorithm>
#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "graphics/dibx.h"
#include "scene/kinds/frame_run.h"
#include "scene/kinds/nova_menu.h"
#include "scene/nova_base.h"

namespace nova {
namespace {

constexpr int kUp = 38, kDown = 40, kPageUp = 33, kPageDown = 34;
// The bounds the text library keeps for sizes from title data.
constexpr int32_t kMaxFontHeight = 4096;
constexpr int32_t kMaxOutline = 64;

int32_t Spacing(int32_t v) {
  return std::clamp(v, -TNovaCustomListBox::kMaxSpacing, TNovaCustomListBox::kMaxSpacing);
}
int32_t FontHeight(int32_t v) { return std::clamp(v, 0, kMaxFontHeight); }
int32_t Outline(int32_t v) { return std::clamp(v, 0, kMaxOutline); }
uint8_t Style(int32_t v) { return static_cast<uint8_t>(v & 0x0F); }

// Leading and trailing control characters go; the rest splits at CR LF, CR or LF.
std::vector<std::string> SplitItems(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<uint8_t>(text[b]) < 32)
    ++b;
  while (e > b && static_cast<uint8_t>(text[e - 1]) < 32)
    --e;
  std::vector<std::string> lines;
  if (b == e)
    return lines;
  size_t start = b;
  for (size_t i = b; i <= e; ++i) {
    if (i == e || text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (i < e && text[i] == '\r' && i + 1 < e && text[i + 1] == '\n')
        ++i;
      start = i + 1;
    }
  }
  return lines;
}

} // namespace

bool TListPicture::Set(TWispCollection* cache, const void* user, const std::string& name) {
  if (name == file)
    return false;
  file = name;
  list.Clear();
  width = height = 0;
  if (!name.empty())
    list.Load(cache, user, name);
  if (TNovaImageData* f = list.Frame(0); f && f->Surface()) {
    width = f->Surface()->Width();
    height = f->Surface()->Height();
    SetFrameIndex(list, 0);
  }
  return true;
}

TNovaCustomListBox::TNovaCustomListBox(TNovaBaseList* owner) : TNovaControl(owner) { color_ = -1; }

const std::string& TNovaCustomListBox::ItemText(int i) const {
  static const std::string none;
  return i >= 0 && i < ItemCount() ? items_[static_cast<size_t>(i)] : none;
}

bool TNovaCustomListBox::GetItemChecked(int i) const {
  return i >= 0 && i < ItemCount() && checks_[static_cast<size_t>(i)] != 0;
}

void TNovaCustomListBox::SetItemChecked(int i, bool b) {
  if (i < 0 || i >= ItemCount() || (checks_[static_cast<size_t>(i)] != 0) == b)
    return;
  checks_[static_cast<size_t>(i)] = b ? 1 : 0;
  Invalidate();
}

void TNovaCustomListBox::Raise(uint8_t type, const std::string& handler,
                               std::vector<std::string> params, bool once) {
  if (handler.empty() || (once && EventQueued(type)))
    return;
  QueueEvent(type, handler, std::move(params));
}

void TNovaCustomListBox::MarkLayout() {
  Invalidate();
  layout_dirty_ = 1;
}

void TNovaCustomListBox::SetText(const std::string& text) {
  Invalidate();
  text_ = text;
  items_ = SplitItems(text);
  normal_.SetLines(items_);
  hover_labels_.SetLines(items_);
  checks_.assign(items_.size(), 0);
  top_index_ = 0;
  if (hover_ >= ItemCount())
    hover_ = -1;
  layout_dirty_ = 1;
}

void TNovaCustomListBox::SetHoverItem(int32_t i) {
  if (i == hover_)
    return;
  if (i < 0)
    Raise(PR_ONMAPOUT, on_map_out_, {ItemText(hover_), std::to_string(hover_)}, true);
  hover_ = i;
  index_ = -1;
  Invalidate();
  if (i >= 0)
    Raise(PR_ONMAPIN, on_map_in_, {ItemText(i), std::to_string(i)}, true);
}

void TNovaCustomListBox::SetTopIndex(int32_t i) {
  const int32_t count = ItemCount();
  i = std::max(i, 0);
  i = count <= rows_ ? 0 : std::min(i, count - rows_);
  if (i == top_index_)
    return;
  top_index_ = i;
  Invalidate();
}

void TNovaCustomListBox::Select() {
  index_ = hover_;
  SetSelection(owner_, ItemText(index_), index_);
  Raise(PR_ONSELECT, on_select_, {ItemText(index_), std::to_string(index_)}, true);
}

void TNovaCustomListBox::SetPaused(bool p) {
  if ((paused_ != 0) == p)
    return;
  paused_ = p ? 1 : 0;
  if (!owner_)
    return;
  TNovaControl* focus = owner_->Focus();
  if ((p && focus && (focus == this || IsAncestorOf(focus))) || (!p && !focus)) {
    owner_->DropFocus();
    owner_->RequestRefocus();
  }
}

bool TNovaCustomListBox::Update() {
  const bool done = TNovaControl::Update();
  if (layout_dirty_)
    Relayout();
  AdvanceCells();
  return done;
}

// Pointer.

void TNovaCustomListBox::LButtonDown() {
  TNovaBase* layer = GetBase();
  if (paused_ || !layer) {
    TNovaControl::LButtonDown();
    return;
  }
  layer->left_click = false;
  layer->capture |= kCaptureLeft;
  const TGeometry g = Measure();
  const int32_t part =
      PlacedSanely() ? ScrollPartAt(layer->pointer_x, layer->pointer_y, g) : pmNone;
  press_mode_ = part == pmNone ? pmItems : part;
  if (press_mode_ == pmThumb) {
    drag_offset_ = layer->pointer_y - ThumbTop(g) - scroll_.height / 2;
  } else if (press_mode_ != pmItems) {
    repeat_clock_ = RunState().GameClock;
    repeat_remaining_ = 0;
    MouseTick();
    repeat_remaining_ = kKeyRepeatFirstMs;
  }
}

void TNovaCustomListBox::MouseMove() {
  TNovaBase* layer = GetBase();
  if (press_mode_ == pmThumb) {
    if (layer)
      DragTo(layer->pointer_y);
    return;
  }
  if (press_mode_ != pmItems && press_mode_ != pmNone)
    return;
  if (!paused_ && layer)
    SetHoverItem(ItemAt(layer->pointer_x, layer->pointer_y));
  TNovaControl::MouseMove();
}

void TNovaCustomListBox::DragTo(int32_t pointer_y) {
  const TGeometry g = Measure();
  const int32_t range = ScrollRange();
  const int64_t track = int64_t{height_} - 2 * int64_t{border_width_} - g.top_h - g.bottom_h -
                        3 * int64_t{scroll_.height};
  if (track <= 0 || range < 1)
    return;
  const int64_t y = int64_t{pointer_y} - drag_offset_ - ScreenTop() - border_width_ - g.top_h -
                    scroll_.height - scroll_.height / 2;
  const double pos = std::nearbyint(static_cast<double>(range) * static_cast<double>(y) /
                                    static_cast<double>(track));
  const int32_t top = static_cast<int32_t>(std::clamp(pos, 0.0, static_cast<double>(range)));
  if (top != top_index_) {
    top_index_ = top;
    Invalidate();
  }
}

void TNovaCustomListBox::MouseTick() {
  if (press_mode_ < pmUpArrow || press_mode_ > pmTrackBelow)
    return;
  TNovaBase* layer = GetBase();
  if (!layer)
    return;
  const TGeometry g = Measure();
  const bool lit = ScrollPartAt(layer->pointer_x, layer->pointer_y, g) == press_mode_;
  uint8_t& flag = press_mode_ <= pmDownArrow ? arrow_lit_ : track_lit_;
  if ((flag != 0) != lit) {
    flag = lit ? 1 : 0;
    Invalidate();
  }
  const int64_t now = RunState().GameClock;
  repeat_remaining_ -= static_cast<int32_t>(std::clamp<int64_t>(now - repeat_clock_, 0, INT32_MAX));
  repeat_clock_ = now;
  if (repeat_remaining_ > 0)
    return;
  repeat_remaining_ += kKeyRepeatNextMs;
  if (!lit)
    return;
  const int32_t count = ItemCount();
  switch (press_mode_) {
  case pmUpArrow:
    if (top_index_ > 0)
      SetTopIndex(top_index_ - 1);
    break;
  case pmDownArrow:
    if (top_index_ + rows_ < count)
      SetTopIndex(top_index_ + 1);
    break;
  case pmTrackAbove:
    SetTopIndex(std::max(0, top_index_ - rows_));
    break;
  default:
    SetTopIndex(std::min(count - rows_, top_index_ + rows_));
    break;
  }
}

void TNovaCustomListBox::LButtonUp() {
  if (!EventsSuppressed() && press_mode_ == pmItems && hover_ >= 0)
    Select();
  press_mode_ = pmNone;
  arrow_lit_ = track_lit_ = 0;
  Invalidate();
}

void TNovaCustomListBox::MouseOut(TNovaControl* next) {
  if (!paused_ && ignore_mouse_ != IM_ALL)
    SetHoverItem(-1);
  TNovaControl::MouseOut(next);
}

// Keys.

void TNovaCustomListBox::ListKeys() {
  if (!owner_)
    return;
  const int32_t count = ItemCount();
  int32_t h = hover_;
  if (owner_->KeyRepeatBefore(kUp)) {
    h = h > 0 ? h - 1 : h < 0 ? count - 1 : h;
  } else if (owner_->KeyRepeatBefore(kDown)) {
    h = h < 0 ? 0 : h < count - 1 ? h + 1 : h;
  } else if (owner_->KeyRepeatBefore(kPageUp)) {
    h = h > 0 ? std::max(0, h - rows_) : h < 0 ? count - 1 : h;
  } else if (owner_->KeyRepeatBefore(kPageDown)) {
    h = h < 0 ? 0 : h < count - 1 ? std::min(count - 1, h + rows_) : h;
  }
  if (count == 0 || h == hover_)
    return;
  SetHoverItem(h);
  if (h < top_index_)
    SetTopIndex(h);
  else if (h >= top_index_ + rows_)
    SetTopIndex(h - rows_ + 1);
}

void TNovaCustomListBox::KeyRepeatEvent(const std::vector<std::string>& keys) {
  ListKeys();
  TNovaControl::KeyRepeatEvent(keys);
}

// Properties.

bool TNovaCustomListBox::ReadProp(int id, TPropValue& out) {
  if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR) {
    out = TPropValue::Str(cells_[static_cast<size_t>(id - PR_BORDERSOURCETL)].file);
    return true;
  }
  switch (id) {
  case PR_TEXT:
    out = TPropValue::Str(text_);
    return true;
  case PR_COUNT:
    out = TPropValue::Int(ItemCount());
    return true;
  case PR_INDEX:
    out = TPropValue::Int(index_);
    return true;
  case PR_ALPHA:
    out = TPropValue::Int(alpha_);
    return true;
  case PR_LINESPACE:
    out = TPropValue::Int(line_space_);
    return true;
  case PR_MARGINX:
    out = TPropValue::Int(margin_x_);
    return true;
  case PR_MARGINY:
    out = TPropValue::Int(margin_y_);
    return true;
  case PR_BORDERWIDTH:
    out = TPropValue::Int(border_width_);
    return true;
  case PR_BORDERCOLOR:
    out = TPropValue::Int(border_color_);
    return true;
  case PR_ROWCOUNT:
    out = TPropValue::Int(rows_);
    return true;
  case PR_TOPINDEX:
    out = TPropValue::Int(top_index_);
    return true;
  case PR_HALIGN:
    out = TPropValue::Int(text_align_);
    return true;
  case PR_BORDERHALIGNT:
  case PR_BORDERHALIGNC:
  case PR_BORDERHALIGNB:
    out = TPropValue::Int(halign_[static_cast<size_t>(1 + 3 * (id - PR_BORDERHALIGNT))]);
    return true;
  case PR_BORDERVALIGNL:
  case PR_BORDERVALIGNC:
  case PR_BORDERVALIGNR:
    out = TPropValue::Int(valign_[static_cast<size_t>(3 + (id - PR_BORDERVALIGNL))]);
    return true;
  case PR_SCROLLSOURCE:
    out = TPropValue::Str(scroll_.file);
    return true;
  case PR_CHECKSOURCE:
    out = TPropValue::Str(check_.file);
    return true;
  case PR_FONTNAME:
    out = TPropValue::Str(normal_.face);
    return true;
  case PR_FONTHEIGHT:
    out = TPropValue::Int(normal_.size);
    return true;
  case PR_FONTSTYLE:
    out = TPropValue::Int(normal_.style);
    return true;
  case PR_FONTCOLOR:
    out = TPropValue::Int(normal_.color);
    return true;
  case PR_FONTBORDERCOLOR:
    out = TPropValue::Int(normal_.border_color);
    return true;
  case PR_FONTBORDER:
    out = TPropValue::Int(normal_.border);
    return true;
  case PR_FONTSHADOW:
    out = TPropValue::Int(normal_.shadow);
    return true;
  case PR_FONTSHADOWCOLOR:
    out = TPropValue::Int(normal_.shadow_color);
    return true;
  case PR_FONTHOVERCOLOR:
    out = TPropValue::Int(hover_labels_.color);
    return true;
  case PR_FONTHOVERSTYLE:
    out = TPropValue::Int(hover_labels_.style);
    return true;
  case PR_FONTHOVERBORDER:
    out = TPropValue::Int(hover_labels_.border);
    return true;
  case PR_FONTHOVERBORDERCOLOR:
    out = TPropValue::Int(hover_labels_.border_color);
    return true;
  case PR_FONTHOVERSHADOW:
    out = TPropValue::Int(hover_labels_.shadow);
    return true;
  case PR_FONTHOVERSHADOWCOLOR:
    out = TPropValue::Int(hover_labels_.shadow_color);
    return true;
  case PR_ANTIALIAS:
    out = TPropValue::Flag(normal_.level != 0);
    return true;
  case PR_PAUSED:
    out = TPropValue::Flag(paused_ != 0);
    return true;
  case PR_ONSELECT:
    out = TPropValue::Str(on_select_);
    return true;
  case PR_ONMAPIN:
    out = TPropValue::Str(on_map_in_);
    return true;
  case PR_ONMAPOUT:
    out = TPropValue::Str(on_map_out_);
    return true;
  case PR_ONIDLE:
    out = TPropValue::Str(on_idle_);
    return true;
  default:
    return TNovaControl::ReadProp(id, out);
  }
}

bool TNovaCustomListBox::WriteProp(int id, const TPropValue& v) {
  auto layout = [&](auto& field, auto value) {
    MarkLayout();
    field = value;
    return true;
  };
  auto repaint = [&](auto& field, auto value) {
    field = value;
    Invalidate();
    return true;
  };
  if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR) {
    MarkLayout();
    cells_[static_cast<size_t>(id - PR_BORDERSOURCETL)].Set(ServicesOf(owner_).images.cache, this,
                                                            v.s);
    return true;
  }
  switch (id) {
  case PR_TEXT:
    SetText(v.s);
    return true;
  case PR_INDEX:
    index_ = v.i;
    return true;
  case PR_ALPHA:
    normal_.alpha = hover_labels_.alpha = v.i;
    return repaint(alpha_, v.i);
  case PR_LINESPACE:
    return layout(line_space_, Spacing(v.i));
  case PR_MARGINX:
    return layout(margin_x_, Spacing(v.i));
  case PR_MARGINY:
    return layout(margin_y_, Spacing(v.i));
  case PR_BORDERWIDTH:
    return layout(border_width_, Spacing(v.i));
  case PR_BORDERCOLOR:
    return repaint(border_color_, v.i);
  case PR_ROWCOUNT:
    return layout(rows_, Spacing(v.i));
  case PR_TOPINDEX:
    SetTopIndex(v.i);
    return true;
  case PR_HALIGN:
    return repaint(text_align_, static_cast<uint8_t>(v.i));
  case PR_BORDERHALIGNT:
  case PR_BORDERHALIGNC:
  case PR_BORDERHALIGNB:
    return repaint(halign_[static_cast<size_t>(1 + 3 * (id - PR_BORDERHALIGNT))],
                   static_cast<uint8_t>(v.i));
  case PR_BORDERVALIGNL:
  case PR_BORDERVALIGNC:
  case PR_BORDERVALIGNR:
    return repaint(valign_[static_cast<size_t>(3 + (id - PR_BORDERVALIGNL))],
                   static_cast<uint8_t>(v.i));
  case PR_SCROLLSOURCE:
    MarkLayout();
    scroll_.Set(ServicesOf(owner_).images.cache, this, v.s);
    return true;
  case PR_CHECKSOURCE:
    MarkLayout();
    check_.Set(ServicesOf(owner_).images.cache, this, v.s);
    return true;
  case PR_FONTNAME:
    hover_labels_.face = v.s;
    return layout(normal_.face, v.s);
  case PR_FONTHEIGHT:
    hover_labels_.size = FontHeight(v.i);
    return layout(normal_.size, FontHeight(v.i));
  case PR_FONTSTYLE:
    return layout(normal_.style, Style(v.i));
  case PR_FONTCOLOR:
    return layout(normal_.color, v.i);
  case PR_FONTBORDERCOLOR:
    return layout(normal_.border_color, v.i);
  case PR_FONTBORDER:
    return layout(normal_.border, Outline(v.i));
  case PR_FONTSHADOW:
    return layout(normal_.shadow, Outline(v.i));
  case PR_FONTSHADOWCOLOR:
    return layout(normal_.shadow_color, v.i);
  case PR_FONTHOVERCOLOR:
    return layout(hover_labels_.color, v.i);
  case PR_FONTHOVERSTYLE:
    return layout(hover_labels_.style, Style(v.i));
  case PR_FONTHOVERBORDER:
    return layout(hover_labels_.border, Outline(v.i));
  case PR_FONTHOVERBORDERCOLOR:
    return layout(hover_labels_.border_color, v.i);
  case PR_FONTHOVERSHADOW:
    return layout(hover_labels_.shadow, Outline(v.i));
  case PR_FONTHOVERSHADOWCOLOR:
    return layout(hover_labels_.shadow_color, v.i);
  case PR_ANTIALIAS:
    hover_labels_.level = v.f ? 3 : 0;
    return layout(normal_.level, v.f ? 3 : 0);
  case PR_PAUSED:
    SetPaused(v.f);
    return true;
  case PR_ONSELECT:
    on_select_ = v.s;
    return true;
  case PR_ONMAPIN:
    on_map_in_ = v.s;
    return true;
  case PR_ONMAPOUT:
    on_map_out_ = v.s;
    return true;
  case PR_ONIDLE:
    on_idle_ = v.s;
    return true;
  default:
    return TNovaControl::WriteProp(id, v);
  }
}

// Persistent form.

void TNovaCustomListBox::SaveKind(BinaryWriter& w) const {
  normal_.Save(w);
  hover_labels_.Save(w);
  w.String(text_);
  for (int32_t v : {line_space_, alpha_, margin_x_, margin_y_, border_width_, border_color_, rows_})
    w.I32(v);
  for (int k = 0; k < kCells; ++k) {
    w.String(cells_[static_cast<size_t>(k)].file);
    w.U8(halign_[static_cast<size_t>(k)]);
    w.U8(valign_[static_cast<size_t>(k)]);
  }
  w.String(scroll_.file);
  w.String(check_.file);
  w.I32(top_index_);
  w.U8(text_align_);
  for (uint8_t c : checks_)
    w.U8(c);
  w.String(on_select_);
  w.U8(paused_);
  w.I32(index_);
  w.I32(phase_);
  w.String(on_idle_);
  w.String(on_map_in_);
  w.String(on_map_out_);
}

void TNovaCustomListBox::LoadKind(BinaryReader& r, int version) {
  normal_.Load(r, version);
  hover_labels_.Load(r, version);
  normal_.size = FontHeight(normal_.size);
  hover_labels_.size = FontHeight(hover_labels_.size);
  SetText(r.String());
  line_space_ = Spacing(r.I32());
  alpha_ = r.I32();
  normal_.alpha = hover_labels_.alpha = alpha_;
  margin_x_ = Spacing(r.I32());
  margin_y_ = Spacing(r.I32());
  border_width_ = Spacing(r.I32());
  border_color_ = r.I32();
  rows_ = Spacing(r.I32());
  for (int k = 0; k < kCells; ++k) {
    const std::string file = r.String();
    halign_[static_cast<size_t>(k)] = r.U8();
    valign_[static_cast<size_t>(k)] = r.U8();
    cells_[static_cast<size_t>(k)].Set(ServicesOf(owner_).images.cache, this, file);
  }
  scroll_.Set(ServicesOf(owner_).images.cache, this, r.String());
  check_.Set(ServicesOf(owner_).images.cache, this, r.String());
  const int32_t top = r.I32();
  top_index_ = std::clamp(top, 0, std::max(0, ItemCount() - rows_));
  if (version < 104)
    r.Skip(1);
  text_align_ = r.U8();
  for (uint8_t& c : checks_)
    c = r.U8();
  on_select_ = r.String();
  paused_ = r.U8();
  index_ = r.I32();
  phase_ = r.I32();
  if (version > 130)
    on_idle_ = r.String();
  if (version > 133) {
    on_map_in_ = r.String();
    on_map_out_ = r.String();
  }
  layout_dirty_ = 1;
}

} // namespace nova
