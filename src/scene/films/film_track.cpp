// SPDX-License-Identifier: MIT
// What every track shares: chaining, cells, its component's life and page.
#include "scene/films/film_manager.h"
#include "scene/films/film_tracks.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"

namespace nova {

TCustomFrameList::TCustomFrameList(TFilmManager& film, const TFilmTrack& record)
    : film_(film), rec_(record) {}

TCustomFrameList::~TCustomFrameList() { HideComponent(); }

void TCustomFrameList::Link(TCustomFrameList* predecessor, int64_t start_frame,
                            TCustomFrameList* head) {
  predecessor_ = predecessor;
  start_frame_ = start_frame;
  head_ = head;
}

void TCustomFrameList::TakeStartValues(const TFilmTrack& p) {
  rec_.start_pos = p.end_pos;
  rec_.start_rotation = p.end_rotation;
  rec_.start_zoom_x = p.end_zoom_x;
  rec_.start_zoom_y = p.end_zoom_y;
  rec_.start_opacity = p.end_opacity;
  rec_.crop.start_origin = p.crop.end_origin;
  rec_.crop.start_size = p.crop.end_size;
  rec_.start_blur_span = p.end_blur_span;
  rec_.start_blur_delay = p.end_blur_delay;
  rec_.start_width = p.end_width;
  rec_.start_height = p.end_height;
  rec_.start_scroll_x = p.end_scroll_x;
  rec_.start_scroll_y = p.end_scroll_y;
  rec_.start_color = p.end_color;
  rec_.start_border_width = p.end_border_width;
  rec_.start_border_color = p.end_border_color;
  rec_.start_volume = p.end_volume;
  rec_.start_pan = p.end_pan;
  rec_.start_interval = p.end_interval;
  rec_.start_interval_spread = p.end_interval_spread;
  rec_.start_emission = p.end_emission;
  rec_.start_spread = p.end_spread;
  rec_.start_param = p.end_param;
}

int TCustomFrameList::CellAt(int64_t elapsed) const {
  if (cells_.empty())
    return -1;
  const int64_t t = elapsed % std::max<int64_t>(1, cycle_);
  int64_t sum = 0;
  for (size_t i = 0; i < cells_.size(); ++i) {
    sum += cells_[i].duration;
    if (sum > t)
      return static_cast<int>(i);
  }
  return static_cast<int>(cells_.size()) - 1;
}

TFilmPoint TCustomFrameList::Shifted(TFilmPoint p) const {
  if (film_.DrivesComponent() && film_.Relative()) {
    p.x = FilmClamp(int64_t{p.x} + film_.MotionBase().x - film_.Origin().x);
    p.y = FilmClamp(int64_t{p.y} + film_.MotionBase().y - film_.Origin().y);
  }
  return p;
}

TFilmClip TCustomFrameList::BoundsAt(int64_t p) const {
  const TFilmPoint s = StartPos(), e = EndPos();
  auto last = [](int32_t from, int32_t size) { return FilmClamp(int64_t{from} + size - 1); };
  const int32_t x1 = Int(s.x, e.x, rec_.curve_x, p);
  const int32_t x2 = Int(last(s.x, rec_.start_width), last(e.x, rec_.end_width), rec_.curve_x, p);
  const int32_t y1 = Int(s.y, e.y, rec_.curve_y, p);
  const int32_t y2 = Int(last(s.y, rec_.start_height), last(e.y, rec_.end_height), rec_.curve_y, p);
  return {x1, y1, FilmClamp(int64_t{x2} - x1 + 1), FilmClamp(int64_t{y2} - y1 + 1)};
}

void TCustomFrameList::CheckAlive() {
  TNovaBaseList* scene = film_.Scene();
  if (component_ &&
      (!scene || !scene->IsRegistered(component_) || scene->IsPendingDelete(component_)))
    component_ = nullptr;
}

void TCustomFrameList::HideComponent() {
  CheckAlive();
  if (component_ && film_.Scene())
    film_.Scene()->FreeLater(component_);
  component_ = nullptr;
}

TNovaControl* TCustomFrameList::Target() const { return film_.Target(); }

void TCustomFrameList::PlaceInPage() {
  TNovaControl* c = component_ ? component_->AsControl() : nullptr;
  TNovaBaseList* scene = film_.Scene();
  if (!c || !scene)
    return;
  TNovaControl* parent = film_.Cinema();
  if (!parent)
    parent = scene->GetLayer(film_.PageOf(*this));
  if (c->Parent() != parent)
    c->SetParent(parent);
}

} // namespace nova
