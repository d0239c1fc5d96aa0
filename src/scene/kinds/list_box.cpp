// SPDX-License-Identifier: MIT
// The list box: items, hover and choice, pointer and keys, properties and persistent form.
#include <algorithm>
#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
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

const TPropTable& TNovaCustomListBox::Props() {
  using T = TNovaCustomListBox;
  using namespace props;
  // Font and spacing changes lay the items out again at the next draw; colours and alignment
  // repaint.
  constexpr auto mark = [](T& o) { o.MarkLayout(); };
  constexpr auto paint = [](T& o) { o.Invalidate(); };
  static constexpr std::array kRows{
      Custom<T>(
          PR_BORDERSOURCETL, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[0].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[0].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCETC, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[1].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[1].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCETR, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[2].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[2].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCECL, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[3].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[3].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCECC, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[4].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[4].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCECR, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[5].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[5].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCEBL, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[6].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[6].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCEBC, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[7].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[7].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_BORDERSOURCEBR, peGeometry,
          [](const T& o) { return TPropValue::Str(o.cells_[8].file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.cells_[8].Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_TEXT, peGeometry, [](const T& o) { return TPropValue::Str(o.text_); },
          [](T& o, const TPropValue& v) { o.SetText(v.s); }),
      Access<&T::ItemCount, nullptr>(PR_COUNT, peNone),
      Field<&T::index_>(PR_INDEX),
      Custom<T>(
          PR_ALPHA, pePicture, [](const T& o) { return TPropValue::Int(o.alpha_); },
          [](T& o, const TPropValue& v) {
            o.normal_.alpha = o.hover_labels_.alpha = v.i;
            o.alpha_ = v.i;
            o.Invalidate();
          }),
      RefRow<T>(
          PR_LINESPACE, peGeometry, [](auto& o) -> auto& { return o.line_space_; },
          [](const TPropValue& v) { return Spacing(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_MARGINX, peGeometry, [](auto& o) -> auto& { return o.margin_x_; },
          [](const TPropValue& v) { return Spacing(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_MARGINY, peGeometry, [](auto& o) -> auto& { return o.margin_y_; },
          [](const TPropValue& v) { return Spacing(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_BORDERWIDTH, peGeometry, [](auto& o) -> auto& { return o.border_width_; },
          [](const TPropValue& v) { return Spacing(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_BORDERCOLOR, pePicture, [](auto& o) -> auto& { return o.border_color_; },
          [](const TPropValue& v) { return v.i; }, nullptr, paint),
      RefRow<T>(
          PR_ROWCOUNT, peGeometry, [](auto& o) -> auto& { return o.rows_; },
          [](const TPropValue& v) { return Spacing(v.i); }, mark, nullptr),
      Stored<&T::top_index_, &T::SetTopIndex>(PR_TOPINDEX, pePicture),
      RefRow<T>(
          PR_HALIGN, pePicture, [](auto& o) -> auto& { return o.text_align_; },
          [](const TPropValue& v) { return static_cast<uint8_t>(v.i); }, nullptr, paint),
      RefRow<T>(
          PR_BORDERHALIGNT, pePicture, [](auto& o) -> auto& { return o.halign_[1]; },
          [](const TPropValue& v) { return static_cast<uint8_t>(v.i); }, nullptr, paint),
      RefRow<T>(
          PR_BORDERHALIGNC, pePicture, [](auto& o) -> auto& { return o.halign_[4]; },
          [](const TPropValue& v) { return static_cast<uint8_t>(v.i); }, nullptr, paint),
      RefRow<T>(
          PR_BORDERHALIGNB, pePicture, [](auto& o) -> auto& { return o.halign_[7]; },
          [](const TPropValue& v) { return static_cast<uint8_t>(v.i); }, nullptr, paint),
      RefRow<T>(
          PR_BORDERVALIGNL, pePicture, [](auto& o) -> auto& { return o.valign_[3]; },
          [](const TPropValue& v) { return static_cast<uint8_t>(v.i); }, nullptr, paint),
      RefRow<T>(
          PR_BORDERVALIGNC, pePicture, [](auto& o) -> auto& { return o.valign_[4]; },
          [](const TPropValue& v) { return static_cast<uint8_t>(v.i); }, nullptr, paint),
      RefRow<T>(
          PR_BORDERVALIGNR, pePicture, [](auto& o) -> auto& { return o.valign_[5]; },
          [](const TPropValue& v) { return static_cast<uint8_t>(v.i); }, nullptr, paint),
      Custom<T>(
          PR_SCROLLSOURCE, peGeometry, [](const T& o) { return TPropValue::Str(o.scroll_.file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.scroll_.Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      Custom<T>(
          PR_CHECKSOURCE, peGeometry, [](const T& o) { return TPropValue::Str(o.check_.file); },
          [](T& o, const TPropValue& v) {
            o.MarkLayout();
            o.check_.Set(ServicesOf(o.owner_).images.cache, &o, v.s);
          }),
      // The hover labels take the face and size of the normal ones.
      Custom<T>(
          PR_FONTNAME, peGeometry, [](const T& o) { return TPropValue::Str(o.normal_.face); },
          [](T& o, const TPropValue& v) {
            o.hover_labels_.face = v.s;
            o.MarkLayout();
            o.normal_.face = v.s;
          }),
      Custom<T>(
          PR_FONTHEIGHT, peGeometry, [](const T& o) { return TPropValue::Int(o.normal_.size); },
          [](T& o, const TPropValue& v) {
            o.hover_labels_.size = FontHeight(v.i);
            o.MarkLayout();
            o.normal_.size = FontHeight(v.i);
          }),
      RefRow<T>(
          PR_FONTSTYLE, peGeometry, [](auto& o) -> auto& { return o.normal_.style; },
          [](const TPropValue& v) { return Style(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_FONTCOLOR, peGeometry, [](auto& o) -> auto& { return o.normal_.color; },
          [](const TPropValue& v) { return v.i; }, mark, nullptr),
      RefRow<T>(
          PR_FONTBORDERCOLOR, peGeometry, [](auto& o) -> auto& { return o.normal_.border_color; },
          [](const TPropValue& v) { return v.i; }, mark, nullptr),
      RefRow<T>(
          PR_FONTBORDER, peGeometry, [](auto& o) -> auto& { return o.normal_.border; },
          [](const TPropValue& v) { return Outline(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_FONTSHADOW, peGeometry, [](auto& o) -> auto& { return o.normal_.shadow; },
          [](const TPropValue& v) { return Outline(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_FONTSHADOWCOLOR, peGeometry, [](auto& o) -> auto& { return o.normal_.shadow_color; },
          [](const TPropValue& v) { return v.i; }, mark, nullptr),
      RefRow<T>(
          PR_FONTHOVERCOLOR, peGeometry, [](auto& o) -> auto& { return o.hover_labels_.color; },
          [](const TPropValue& v) { return v.i; }, mark, nullptr),
      RefRow<T>(
          PR_FONTHOVERSTYLE, peGeometry, [](auto& o) -> auto& { return o.hover_labels_.style; },
          [](const TPropValue& v) { return Style(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_FONTHOVERBORDER, peGeometry, [](auto& o) -> auto& { return o.hover_labels_.border; },
          [](const TPropValue& v) { return Outline(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_FONTHOVERBORDERCOLOR, peGeometry,
          [](auto& o) -> auto& { return o.hover_labels_.border_color; },
          [](const TPropValue& v) { return v.i; }, mark, nullptr),
      RefRow<T>(
          PR_FONTHOVERSHADOW, peGeometry, [](auto& o) -> auto& { return o.hover_labels_.shadow; },
          [](const TPropValue& v) { return Outline(v.i); }, mark, nullptr),
      RefRow<T>(
          PR_FONTHOVERSHADOWCOLOR, peGeometry,
          [](auto& o) -> auto& { return o.hover_labels_.shadow_color; },
          [](const TPropValue& v) { return v.i; }, mark, nullptr),
      Custom<T>(
          PR_ANTIALIAS, peGeometry,
          [](const T& o) { return TPropValue::Flag(o.normal_.level != 0); },
          [](T& o, const TPropValue& v) {
            o.hover_labels_.level = v.f ? 3 : 0;
            o.MarkLayout();
            o.normal_.level = v.f ? 3 : 0;
          }),
      Custom<T>(
          PR_PAUSED, pePicture, [](const T& o) { return TPropValue::Flag(o.paused_ != 0); },
          [](T& o, const TPropValue& v) { o.SetPaused(v.f); }),
      Field<&T::on_select_>(PR_ONSELECT),
      Field<&T::on_map_in_>(PR_ONMAPIN),
      Field<&T::on_map_out_>(PR_ONMAPOUT),
      Field<&T::on_idle_>(PR_ONIDLE),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

// Persistent form.

void TNovaCustomListBox::SyncKind(TSerializer& s) {
  if (s.Saving()) {
    normal_.Save(s.Writer());
    hover_labels_.Save(s.Writer());
  } else {
    normal_.Load(s.Reader(), s.Version());
    hover_labels_.Load(s.Reader(), s.Version());
    normal_.size = FontHeight(normal_.size);
    hover_labels_.size = FontHeight(hover_labels_.size);
  }
  std::string text = text_;
  s.String(text);
  if (s.Loading())
    SetText(text);
  for (int32_t* v :
       {&line_space_, &alpha_, &margin_x_, &margin_y_, &border_width_, &border_color_, &rows_})
    s.I32(*v);
  if (s.Loading()) {
    line_space_ = Spacing(line_space_);
    normal_.alpha = hover_labels_.alpha = alpha_;
    margin_x_ = Spacing(margin_x_);
    margin_y_ = Spacing(margin_y_);
    border_width_ = Spacing(border_width_);
    rows_ = Spacing(rows_);
  }
  TWispCollection* cache = s.Loading() ? ServicesOf(owner_).images.cache : nullptr;
  for (size_t k = 0; k < kCells; ++k) {
    std::string file = cells_[k].file;
    s.String(file);
    s.U8(halign_[k]);
    s.U8(valign_[k]);
    if (s.Loading())
      cells_[k].Set(cache, this, file);
  }
  for (TListPicture* picture : {&scroll_, &check_}) {
    std::string file = picture->file;
    s.String(file);
    if (s.Loading())
      picture->Set(cache, this, file);
  }
  int32_t top = top_index_;
  s.I32(top);
  if (s.Loading()) {
    top_index_ = std::clamp(top, 0, std::max(0, ItemCount() - rows_));
    // Older data has one more byte here.
    if (!s.Has(Since{104}))
      s.Reader().Skip(1);
  }
  s.U8(text_align_);
  for (uint8_t& c : checks_)
    s.U8(c);
  s.String(on_select_);
  s.U8(paused_);
  s.I32(index_);
  s.I32(phase_);
  s.String(on_idle_, Since{131});
  s.String(on_map_in_, Since{134});
  s.String(on_map_out_, Since{134});
  if (s.Loading())
    layout_dirty_ = 1;
}

} // namespace nova
