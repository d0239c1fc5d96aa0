// SPDX-License-Identifier: MIT
// Image, tile and label tracks: a picture or a caption moved, zoomed, turned, faded, cropped.
#include <cmath>
#include <numbers>

#include "graphics/image_cache.h"
#include "scene/films/film_track_component.h"
#include "scene/kinds/custom_images.h"
#include "scene/kinds/label_kinds.h"
#include "scene/kinds/prev_menu.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"

namespace nova {
namespace {

constexpr double kFrameMs = 1000.0 / 60;

int32_t RoundSize(double zoom, int32_t size) {
  return static_cast<int32_t>(std::clamp(std::nearbyint(zoom * size), -2e9, 2e9));
}

} // namespace

bool TCustomImageFrameList::SetTime(int64_t f) {
  if (!Active(f)) {
    if (!film_.DrivesComponent())
      HideComponent();
    return false;
  }
  const int64_t p = f - start_frame_;
  TImageValues v;
  TFilmPoint cell_offset;
  if (Kind() != fkLabel) {
    v.cell = CellAt(p);
    // A picture that did not load has no cells: nothing to show.
    if (v.cell < 0)
      return true;
    cell_offset = cells_[static_cast<size_t>(v.cell)].offset;
  }
  v.offset = {FilmClamp(int64_t{rec_.anchor.x} - cell_offset.x),
              FilmClamp(int64_t{rec_.anchor.y} - cell_offset.y)};
  const TFilmPoint s = StartPos(), e = EndPos();
  v.pos = {Int(s.x, e.x, rec_.curve_x, p), Int(s.y, e.y, rec_.curve_y, p)};
  v.zoom_x = Real(rec_.start_zoom_x, rec_.end_zoom_x, rec_.zoom_x_curve, p);
  v.zoom_y = Real(rec_.start_zoom_y, rec_.end_zoom_y, rec_.zoom_y_curve, p);
  v.crop = FilmCrop(rec_.crop, p, Span());
  if (rec_.start_rotation != 0 || rec_.end_rotation != 0)
    v.angle = Real(rec_.start_rotation, rec_.end_rotation, rec_.rotation_curve, p) / 360 * 2 *
              std::numbers::pi;
  v.opacity = FilmOpacity(rec_.start_opacity, rec_.end_opacity, p, Span());
  if (rec_.start_blur_span != 0 || rec_.end_blur_span != 0)
    v.blur_span = Int(rec_.start_blur_span, rec_.end_blur_span, 0, p);
  if (rec_.start_blur_delay != 0 || rec_.end_blur_delay != 0)
    v.blur_delay = Int(rec_.start_blur_delay, rec_.end_blur_delay, 0, p);
  Apply(v, p);
  return true;
}

// Image tracks.

TImageFrameList::~TImageFrameList() {
  // Whatever still shows a cell's picture lets go of it before the picture is released. A
  // driven control that is being destroyed is no longer registered and is left alone.
  TNovaBaseList* scene = film_.Scene();
  if (Target() && scene && scene->IsRegistered(Target()))
    DropPicture(*Target());
  HideComponent();
  if (cache_ && item_)
    cache_->Release(this, item_);
}

void TImageFrameList::HideComponent() {
  CheckAlive();
  if (component_ && component_->AsControl())
    DropPicture(*component_->AsControl());
  TCustomImageFrameList::HideComponent();
}

void TImageFrameList::DropPicture(TNovaControl& c) {
  auto* image = dynamic_cast<TNovaCustomImage*>(&c);
  if (!image)
    return;
  for (const TCustomFrame& cell : cells_)
    if (image->GetSurface() == &cell.picture->surface) {
      image->SetSubstituteSurface(nullptr);
      image->SetSubstituteMask(nullptr);
      return;
    }
}

void TImageFrameList::Prepare() {
  cells_.clear();
  cycle_ = 0;
  TWispCollection* cache = film_.Cache();
  // A missing picture leaves the track without cells: it shows nothing.
  if (!cache || rec_.source.empty() || !film_.FileExists(rec_.source))
    return;
  cache_ = cache;
  item_ = cache->Get(this, rec_.source);
  for (int i = 0; i < item_->Count(); ++i) {
    TWispItemFrame& frame = item_->Frame(i);
    TCustomFrame cell;
    cell.picture = &frame;
    cell.width = frame.surface.Width();
    cell.height = frame.surface.Height();
    cell.offset = {frame.offset.x, frame.offset.y};
    cell.duration =
        std::max(1, static_cast<int32_t>(std::nearbyint(frame.display_time / kFrameMs)));
    cycle_ += cell.duration;
    cells_.push_back(cell);
  }
}

void TImageFrameList::Apply(const TImageValues& v, int64_t) {
  TNovaControl* c = Target() ? Target() : Ensure<TNovaImage>();
  if (!c)
    return;
  const TCustomFrame& cell = cells_[static_cast<size_t>(v.cell)];
  auto* image = dynamic_cast<TNovaCustomImage*>(c);
  if (image) {
    image->SetSubstituteSurface(&cell.picture->surface);
    image->SetSubstituteMask(cell.picture->mask.get());
    image->SetKeyColor(cell.picture->key_color);
  }
  if (Target()) {
    SetInt(*c, PR_WIDTH, RoundSize(v.zoom_x, cell.width));
    SetInt(*c, PR_HEIGHT, RoundSize(v.zoom_y, cell.height));
    c->SetMotionX(v.pos.x);
    c->SetMotionY(v.pos.y);
    c->SetPriorityOffset(rec_.priority);
  } else {
    c->SetLeft(v.pos.x);
    c->SetTop(v.pos.y);
    if (c->GetPriority() != rec_.priority)
      c->SetPriority(rec_.priority);
  }
  c->SetAnchorX(v.offset.x);
  c->SetAnchorY(v.offset.y);
  SetReal(*c, PR_FLOATZOOMX, v.zoom_x);
  SetReal(*c, PR_FLOATZOOMY, v.zoom_y);
  SetReal(*c, PR_FLOATANGLE, v.angle);
  SetInt(*c, PR_ALPHA, v.opacity);
  SetClip(*c, v.crop);
  SetInt(*c, PR_BLURSPAN, v.blur_span);
  SetInt(*c, PR_BLURDELAY, v.blur_delay);
  if (TakeFresh()) {
    SetFlag(*c, PR_FLIPH, rec_.flip_h != 0);
    SetFlag(*c, PR_FLIPV, rec_.flip_v != 0);
    if (!dynamic_cast<TNovaPrevImages*>(c))
      SetFlag(*c, PR_CAPTUREMASK, true);
  }
  if (image && !Target())
    image->SizeFromZoom();
}

// Tile tracks: the picture repeats over bounds that move like a box's.

void TTileFrameList::Apply(const TImageValues& v, int64_t p) {
  TNovaControl* c = Target() ? Target() : Ensure<TNovaTile>();
  if (!c)
    return;
  const TCustomFrame& cell = cells_[static_cast<size_t>(v.cell)];
  if (auto* image = dynamic_cast<TNovaCustomImage*>(c)) {
    image->SetSubstituteSurface(&cell.picture->surface);
    image->SetSubstituteMask(cell.picture->mask.get());
    image->SetKeyColor(cell.picture->key_color);
  }
  const TFilmClip b = BoundsAt(p);
  if (Target()) {
    c->SetMotionX(b.left);
    c->SetMotionY(b.top);
    SetInt(*c, PR_WIDTH, b.width);
    SetInt(*c, PR_HEIGHT, b.height);
    c->SetPriorityOffset(rec_.priority);
  } else {
    c->SetBounds(b.left, b.top, b.width, b.height);
    if (c->GetPriority() != rec_.priority)
      c->SetPriority(rec_.priority);
  }
  c->SetAnchorX(v.offset.x);
  c->SetAnchorY(v.offset.y);
  SetReal(*c, PR_FLOATZOOMX, v.zoom_x);
  SetReal(*c, PR_FLOATZOOMY, v.zoom_y);
  SetInt(*c, PR_ALPHA, v.opacity);
  SetClip(*c, v.crop);
  SetInt(*c, PR_BLURSPAN, v.blur_span);
  SetInt(*c, PR_BLURDELAY, v.blur_delay);
  SetInt(*c, PR_SCROLLX, Int(rec_.start_scroll_x, rec_.end_scroll_x, rec_.scroll_x_curve, p));
  SetInt(*c, PR_SCROLLY, Int(rec_.start_scroll_y, rec_.end_scroll_y, rec_.scroll_y_curve, p));
  if (TakeFresh()) {
    SetFlag(*c, PR_FLIPH, rec_.flip_h != 0);
    SetFlag(*c, PR_FLIPV, rec_.flip_v != 0);
    SetInt(*c, PR_DISTANCEX, rec_.distance_x);
    SetInt(*c, PR_DISTANCEY, rec_.distance_y);
  }
}

// Label tracks: one cell, the caption component lays its text out itself.

void TLabelFrameList::Prepare() {
  cells_.assign(1, TCustomFrame{});
  cycle_ = 1;
}

void TLabelFrameList::Apply(const TImageValues& v, int64_t) {
  TNovaControl* c = Target() ? Target() : Ensure<TNovaLabel>();
  if (!c)
    return;
  if (TakeFresh()) {
    SetStr(*c, PR_FONTNAME, rec_.font_name);
    SetInt(*c, PR_FONTHEIGHT, rec_.font_height);
    SetInt(*c, PR_LINESPACE, rec_.line_space);
    SetInt(*c, PR_FONTCOLOR, rec_.font_color);
    SetInt(*c, PR_FONTSTYLE, rec_.font_style);
    SetFlag(*c, PR_ANTIALIAS, rec_.antialias != 0);
    SetInt(*c, PR_HALIGN, rec_.halign);
    SetFlag(*c, PR_FLIPH, rec_.flip_h != 0);
    SetFlag(*c, PR_FLIPV, rec_.flip_v != 0);
    SetStr(*c, PR_TEXT, rec_.text);
  }
  if (Target()) {
    c->SetPriorityOffset(rec_.priority);
    c->SetMotionX(v.pos.x);
    c->SetMotionY(v.pos.y);
  } else {
    if (c->GetPriority() != rec_.priority)
      c->SetPriority(rec_.priority);
    c->SetLeft(v.pos.x);
    c->SetTop(v.pos.y);
  }
  c->SetAnchorX(v.offset.x);
  c->SetAnchorY(v.offset.y);
  SetInt(*c, PR_ALPHA, v.opacity);
  SetInt(*c, PR_BLURDELAY, v.blur_delay);
  SetInt(*c, PR_BLURSPAN, v.blur_span);
  SetReal(*c, PR_FLOATANGLE, v.angle);
  SetReal(*c, PR_FLOATZOOMX, v.zoom_x);
  SetReal(*c, PR_FLOATZOOMY, v.zoom_y);
  SetClip(*c, v.crop);
}

} // namespace nova
