// SPDX-License-Identifier: MIT
// The list box's layout and picture: nine frame cells, scroll bar, check marks and items.
#include <algorithm>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "scene/kinds/custom_image.h"
#include "scene/kinds/frame_run.h"
#include "scene/kinds/nova_menu.h"
#include "scene/nova_base.h"
#include "scene/private/surface_rect.h"
#include "text/dibx_paint_target.h"

namespace nova {
namespace {

constexpr int kScrollCells = 7, kCheckCells = 2;

int32_t LabelHeight(const TZpLabelList& l) { return l.size + 2 * l.border + l.shadow; }

// Where the first whole tile of a repeat starts, relative to the cell's start.
int32_t TileStart(int32_t cell, int32_t picture, uint8_t align) {
  if (picture <= 0 || align == HA_LEFT)
    return 0;
  if (align == HA_CENTER)
    return picture < cell ? -((cell % picture) / 2) : (cell - picture) / 2;
  return picture < cell ? -(cell % picture) : cell - picture;
}

// The fill of a rectangle in a colour, blended, copied or added by the alpha.
void FillByAlpha(TCustomDIBX& target, const TRect& r, int32_t color, int32_t alpha) {
  const TPixel pixel = static_cast<TPixel>(target.ColorToPixel(color));
  if (alpha < 255)
    target.FillRectAlpha(r, pixel, alpha);
  else if (alpha == 255)
    target.FillRect(r, pixel);
  else
    target.FillRectAdd(r, pixel);
}

// One cell of a strip picture put down at (x, y) by the alpha rule, through its mask or key.
void PutCell(TCustomDIBX& target, int32_t x, int32_t y, const TRect& src, TNovaImageData& frame,
             int32_t alpha) {
  TCustomDIBX* pic = frame.Surface();
  if (!pic)
    return;
  TCustomDIBX* mask = frame.Mask();
  const TKeyMode key = frame.KeyColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  switch (DrawModeOf(alpha)) {
  case TImageDrawMode::None:
    return;
  case TImageDrawMode::Blend:
    if (mask)
      target.DrawMaskAlpha(x, y, alpha, *mask, FlipNone, src, *pic);
    else
      target.DrawAlpha(x, y, alpha, FlipNone, key, src, *pic);
    return;
  case TImageDrawMode::Copy:
    if (mask)
      target.DrawMask(x, y, *mask, FlipNone, src, *pic);
    else
      target.Draw(x, y, FlipNone, key, src, *pic);
    return;
  case TImageDrawMode::Add:
    if (mask)
      target.DrawMaskAdd(x, y, alpha - 256, *mask, FlipNone, src, *pic);
    else
      target.DrawAdd(x, y, alpha - 256, FlipNone, key, src, *pic);
    return;
  }
}

// A strip cell repeated down a rectangle, starting `phase` rows into the cell.
void TileCellDown(TCustomDIBX& target, const TRect& dst, int32_t phase, const TRect& src,
                  TNovaImageData& frame, int32_t alpha) {
  TCustomDIBX* pic = frame.Surface();
  if (!pic || dst.IsEmpty() || src.IsEmpty())
    return;
  TCustomDIBX* mask = frame.Mask();
  const TKeyMode key = frame.KeyColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  switch (DrawModeOf(alpha)) {
  case TImageDrawMode::None:
    return;
  case TImageDrawMode::Blend:
    if (mask)
      target.TileDrawMaskAlpha(dst, 0, phase, 0, alpha, *mask, FlipNone, src, *pic, 0);
    else
      target.TileDrawAlpha(dst, 0, phase, 0, alpha, FlipNone, key, src, *pic, 0);
    return;
  case TImageDrawMode::Copy:
    if (mask)
      target.TileDrawMask(dst, 0, phase, 0, *mask, FlipNone, src, *pic, 0);
    else
      target.TileDraw(dst, 0, phase, 0, FlipNone, key, src, *pic, 0);
    return;
  case TImageDrawMode::Add:
    if (mask)
      target.TileDrawMaskAdd(dst, 0, phase, 0, alpha - 256, *mask, FlipNone, src, *pic, 0);
    else
      target.TileDrawAdd(dst, 0, phase, 0, alpha - 256, FlipNone, key, src, *pic, 0);
    return;
  }
}

} // namespace

int32_t TNovaCustomListBox::CellWidth(const TListPicture& p, int parts) const {
  return p.list.Count() > 0 ? p.width / parts : 0;
}

bool TNovaCustomListBox::PlacedSanely() const {
  const TSceneRect b = ScreenBounds();
  return b.Left > -kMaxPlace && b.Top > -kMaxPlace && b.Right < kMaxPlace && b.Bottom < kMaxPlace;
}

bool TNovaCustomListBox::ScrollBarShown() const { return ItemCount() > rows_ && ScrollAllowed(); }

TNovaCustomListBox::TGeometry TNovaCustomListBox::Measure() const {
  TGeometry g;
  auto w = [&](int k) { return cells_[static_cast<size_t>(k)].width; };
  auto h = [&](int k) { return cells_[static_cast<size_t>(k)].height; };
  g.left_w = std::max({w(0), w(3), w(6)});
  g.right_w = std::max({w(2), w(5), w(8)});
  g.top_h = std::max({h(0), h(1), h(2)});
  g.bottom_h = std::max({h(6), h(7), h(8)});
  g.item_h = items_.empty() ? 0 : std::max(LabelHeight(normal_), LabelHeight(hover_labels_));
  g.check_w = CellWidth(check_, kCheckCells);
  g.check_h = check_.list.Count() > 0 ? check_.height : 0;
  g.scroll_w = CellWidth(scroll_, kScrollCells);
  g.scroll_h = scroll_.list.Count() > 0 ? scroll_.height : 0;
  g.scroll_shown = ScrollBarShown();
  g.inner = ScreenBounds().Inflate(-border_width_);
  return g;
}

void TNovaCustomListBox::Relayout() {
  normal_.Measure();
  hover_labels_.Measure();
  const TGeometry g = Measure();
  const int64_t width = int64_t{std::max(normal_.Width(), hover_labels_.Width())} +
                        2 * int64_t{border_width_} + g.left_w + g.right_w + 2 * int64_t{margin_x_} +
                        g.check_w + (g.scroll_shown ? g.scroll_w : 0);
  const int64_t rows = std::min<int64_t>(rows_, ItemCount());
  const int64_t row_h =
      std::max(2 * normal_.border + normal_.size + normal_.shadow,
               2 * hover_labels_.border + hover_labels_.size + hover_labels_.shadow);
  const int64_t height = rows * row_h + (rows - 1) * line_space_ + 2 * int64_t{border_width_} +
                         g.top_h + g.bottom_h + 2 * int64_t{margin_y_};
  auto fit = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, 0, INT32_MAX)); };
  layout_dirty_ = 0;
  SetWidth(fit(width));
  SetHeight(fit(height));
}

TSceneRect TNovaCustomListBox::CellRect(int k, const TGeometry& g) const {
  const TListPicture& cell = cells_[static_cast<size_t>(k)];
  const TSceneRect& in = g.inner;
  TSceneRect r;
  switch (k % 3) {
  case 0:
    r.Right = in.Left + g.left_w;
    r.Left = r.Right - cell.width;
    break;
  case 1:
    r.Left = in.Left + g.left_w;
    r.Right = in.Right - g.right_w;
    break;
  default:
    r.Left = in.Right - g.right_w;
    r.Right = r.Left + cell.width;
    break;
  }
  switch (k / 3) {
  case 0:
    r.Bottom = in.Top + g.top_h;
    r.Top = r.Bottom - cell.height;
    break;
  case 1:
    r.Top = in.Top + g.top_h;
    r.Bottom = in.Bottom - g.bottom_h;
    break;
  default:
    if (in.Height() < g.top_h)
      return {};
    r.Top = in.Bottom - g.bottom_h;
    r.Bottom = r.Top + cell.height;
    break;
  }
  r.Top = std::max(r.Top, in.Top);
  r.Bottom = std::min(r.Bottom, in.Bottom);
  if (k == 4 && g.scroll_shown)
    r.Right -= g.scroll_w;
  return r;
}

void TNovaCustomListBox::DrawCell(TCustomDIBX& target, int k, const TGeometry& g) {
  TListPicture& cell = cells_[static_cast<size_t>(k)];
  TNovaImageData* frame = cell.list.Frame(cell.list.current);
  const TSceneRect r = CellRect(k, g);
  if (!frame || !frame->Surface() || r.Empty() || cell.width <= 0 || cell.height <= 0)
    return;
  // The unclipped cell decides the phase; the clipped one is filled.
  const TSceneRect& in = g.inner;
  const int32_t full_top = k / 3 == 0 ? in.Top + g.top_h - cell.height : r.Top;
  const int32_t start_x =
      k % 3 == 1 ? TileStart(r.Width(), cell.width, halign_[static_cast<size_t>(k)]) : 0;
  const int32_t start_y =
      k / 3 == 1 ? TileStart(r.Height(), cell.height, valign_[static_cast<size_t>(k)]) : 0;
  const int32_t off_x = -start_x;
  const int32_t off_y = r.Top - full_top - start_y;
  TCustomDIBX& pic = *frame->Surface();
  const double one = 1.0;
  if (TCustomDIBX* mask = frame->Mask())
    target.TileFillZoomMask(ToSurfaceRect(r), pic, alpha_, FlipNone, *mask, off_y, off_x, one, one);
  else
    target.TileFillZoom(ToSurfaceRect(r), pic, alpha_, FlipNone,
                        frame->KeyColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore, off_y, off_x,
                        one, one);
}

int32_t TNovaCustomListBox::ScrollRange() const { return ItemCount() - rows_; }

int32_t TNovaCustomListBox::ThumbTop(const TGeometry& g) const {
  const int64_t track = int64_t{height_} - 2 * int64_t{border_width_} - g.top_h - g.bottom_h -
                        3 * int64_t{g.scroll_h};
  const int32_t range = ScrollRange();
  const int64_t along = range < 1 ? 0 : track * top_index_ / range;
  return static_cast<int32_t>(std::clamp<int64_t>(
      int64_t{ScreenTop()} + border_width_ + g.top_h + g.scroll_h + along, INT32_MIN, INT32_MAX));
}

int32_t TNovaCustomListBox::ScrollPartAt(int32_t x, int32_t y, const TGeometry& g) const {
  if (!PlacedSanely() || !g.scroll_shown || g.scroll_w <= 0 || g.scroll_h <= 0)
    return pmNone;
  const TSceneRect& in = g.inner;
  const int32_t sx = in.Right - g.right_w - g.scroll_w;
  if (x < sx || x >= sx + g.scroll_w)
    return pmNone;
  const int32_t up = in.Top + g.top_h;
  const int32_t down = in.Bottom - g.bottom_h - g.scroll_h;
  const int32_t thumb = ThumbTop(g);
  if (y >= thumb && y < thumb + g.scroll_h)
    return pmThumb;
  if (y >= up && y < up + g.scroll_h)
    return pmUpArrow;
  if (y >= down && y < down + g.scroll_h)
    return pmDownArrow;
  if (y >= up + g.scroll_h && y < thumb)
    return pmTrackAbove;
  if (y >= thumb + g.scroll_h && y < down)
    return pmTrackBelow;
  return pmNone;
}

void TNovaCustomListBox::DrawScrollBar(TCustomDIBX& target, const TGeometry& g) {
  TNovaImageData* frame = scroll_.list.Frame(scroll_.list.current);
  if (!g.scroll_shown || !frame || g.scroll_w <= 0 || g.scroll_h <= 0)
    return;
  const TSceneRect& in = g.inner;
  const int32_t x = in.Right - g.right_w - g.scroll_w;
  const int32_t up = in.Top + g.top_h;
  const int32_t down = in.Bottom - g.bottom_h - g.scroll_h;
  const int32_t thumb = ThumbTop(g);
  auto cell = [&](int i) { return TRect{i * g.scroll_w, 0, (i + 1) * g.scroll_w, g.scroll_h}; };
  const bool up_lit = press_mode_ == pmUpArrow && arrow_lit_;
  const bool down_lit = press_mode_ == pmDownArrow && arrow_lit_;
  const bool above_lit = press_mode_ == pmTrackAbove && track_lit_;
  const bool below_lit = press_mode_ == pmTrackBelow && track_lit_;
  const int32_t track_top = up + g.scroll_h;
  TileCellDown(target, TRect{x, track_top, x + g.scroll_w, thumb}, 0, cell(above_lit ? 5 : 4),
               *frame, alpha_);
  // The lower track continues the upper one's pattern.
  const int32_t below_top = thumb + g.scroll_h;
  TileCellDown(target, TRect{x, below_top, x + g.scroll_w, down},
               (below_top - track_top) % g.scroll_h, cell(below_lit ? 5 : 4), *frame, alpha_);
  PutCell(target, x, up, cell(up_lit ? 1 : 0), *frame, alpha_);
  PutCell(target, x, down, cell(down_lit ? 3 : 2), *frame, alpha_);
  PutCell(target, x, thumb, cell(6), *frame, alpha_);
}

TSceneRect TNovaCustomListBox::ItemArea(const TGeometry& g) const {
  const int32_t half = std::min(line_space_ / 2, margin_y_);
  TSceneRect a = ScreenBounds();
  a.Left += border_width_ + g.left_w;
  a.Right -= border_width_ + g.right_w + (g.scroll_shown ? g.scroll_w : 0);
  a.Top += border_width_ + margin_y_ + g.top_h - half;
  a.Bottom -= border_width_ + margin_y_ + g.bottom_h - half;
  return a;
}

int32_t TNovaCustomListBox::ItemAt(int32_t x, int32_t y) const {
  if (!PlacedSanely())
    return -1;
  const TGeometry g = Measure();
  const TSceneRect a = ItemArea(g);
  if (!a.Contains(x, y))
    return -1;
  const int32_t half = std::min(line_space_ / 2, margin_y_);
  const int64_t first = int64_t{a.Top} + half - line_space_ / 2;
  const int64_t step = int64_t{g.item_h} + line_space_;
  int32_t count = 0;
  for (int32_t r = 0; r < rows_ && first + r * step <= y; ++r)
    ++count;
  const int32_t item = top_index_ - 1 + count;
  return item < ItemCount() ? std::max(item, -1) : -1;
}

void TNovaCustomListBox::DrawItems(TCustomDIBX& target, const TGeometry& g) {
  const TSceneRect& in = g.inner;
  const int32_t x0 = in.Left + margin_x_ + g.left_w + g.check_w;
  int64_t y = int64_t{in.Top} + margin_y_ + g.top_h;
  const int32_t w = in.Right - g.right_w - margin_x_ - x0 - (g.scroll_shown ? g.scroll_w : 0);
  const int32_t half = std::min(line_space_ / 2, margin_y_);
  DibxPaintTarget paint(target);
  TNovaImageData* check = check_.list.Frame(check_.list.current);
  for (int32_t r = 0; r < rows_; ++r) {
    const int32_t a = top_index_ + r;
    // Rows below any screen are not drawn.
    if (a < 0 || a >= ItemCount() || y > kMaxPlace)
      break;
    const int32_t row_y = static_cast<int32_t>(y);
    const bool hovered = a == hover_;
    if (hovered && HoverFill() != -1)
      FillByAlpha(target,
                  ToSurfaceRect(TSceneRect::FromSize(in.Left + g.left_w + 1, row_y - half,
                                                     2 * margin_x_ + w + g.check_w - 2,
                                                     g.item_h + 2 * half)),
                  HoverFill(), alpha_);
    TZpLabelList& labels = hovered ? hover_labels_ : normal_;
    const int32_t lw = labels.At(static_cast<size_t>(a)).width;
    const int32_t lx = text_align_ == HA_CENTER  ? x0 + (w - lw) / 2
                       : text_align_ == HA_RIGHT ? x0 + w - lw
                                                 : x0;
    labels.Paint(static_cast<size_t>(a), paint, lx, row_y);
    if (checks_[static_cast<size_t>(a)] && check && g.check_w > 0)
      PutCell(target, x0 - g.check_w, row_y + (g.item_h - g.check_h) / 2,
              TRect{hovered ? g.check_w : 0, 0, hovered ? 2 * g.check_w : g.check_w, g.check_h},
              *check, alpha_);
    y += g.item_h + line_space_;
  }
}

void TNovaCustomListBox::Draw() {
  if (layout_dirty_)
    Relayout();
  TCustomDIBX* target = GetTargetSurface();
  const TSceneRect bounds = ScreenBounds();
  if (target && !target->IsEmpty() && alpha_ > 0 && width_ > 0 && height_ > 0 && PlacedSanely() &&
      !bounds.Intersect(FromSurfaceRect(target->ClipRect())).Empty()) {
    normal_.Render(target->BitCount());
    hover_labels_.Render(target->BitCount());
    // Items and cells stay inside the box while it grows open or shrinks closed.
    const TRect saved_clip = target->StoredClip();
    target->SetStoredClip(Intersect(target->ClipRect(), ToSurfaceRect(bounds)));
    const TGeometry g = Measure();
    if (border_width_ > 0 && border_color_ != -1 && bounds.Height() >= border_width_) {
      const TPixel pixel = static_cast<TPixel>(target->ColorToPixel(border_color_));
      if (alpha_ < 255)
        target->FrameRectAlpha(ToSurfaceRect(bounds), border_width_, alpha_, pixel);
      else if (alpha_ == 255)
        target->FrameRect(ToSurfaceRect(bounds), border_width_, pixel);
      else
        target->FrameRectAdd(ToSurfaceRect(bounds), border_width_, pixel);
    }
    if (color_ != -1)
      FillByAlpha(*target, ToSurfaceRect(g.inner), color_, alpha_);
    for (int k = 0; k < kCells; ++k)
      DrawCell(*target, k, g);
    DrawScrollBar(*target, g);
    DrawItems(*target, g);
    target->SetStoredClip(saved_clip);
  }
  DrawChildren();
}

void TNovaCustomListBox::AdvanceCells() {
  if (ani_paused_)
    return;
  const int32_t elapsed = RunState().FrameDelta;
  TNovaBase* layer = Visible() && PlacedSanely() ? GetBase() : nullptr;
  const TGeometry g = Measure();
  for (int k = 0; k < kCells; ++k)
    if (AdvanceFrames(cells_[static_cast<size_t>(k)].list, elapsed) && layer)
      layer->AddDirtyRect(CellRect(k, g));
}

} // namespace nova
