// SPDX-License-Identifier: MIT
// Box, particle and flame tracks: rectangles whose corners move.
#include "scene/films/film_track_component.h"
#include "scene/kinds/nova_box.h"
#include "scene/kinds/particle_kinds.h"
#include "scene/nova_control.h"

namespace nova {

void TRectFrameList::ApplyBounds(TNovaControl& c, int64_t p) {
  const TFilmClip b = BoundsAt(p);
  if (Target()) {
    c.SetMotionX(b.left);
    c.SetMotionY(b.top);
    SetInt(c, PR_WIDTH, b.width);
    SetInt(c, PR_HEIGHT, b.height);
  } else {
    c.SetBounds(b.left, b.top, b.width, b.height);
  }
}

// A driven component keeps its own priority; the track's is its offset.
void TRectFrameList::ApplyPriority(TNovaControl& c) {
  if (Target())
    c.SetPriorityOffset(rec_.priority);
  else if (c.GetPriority() != rec_.priority)
    c.SetPriority(rec_.priority);
}

bool TBoxFrameList::SetTime(int64_t f) {
  if (!Active(f)) {
    if (!film_.DrivesComponent())
      HideComponent();
    return false;
  }
  TNovaControl* c = Target() ? Target() : Ensure<TNovaBox>();
  if (!c)
    return true;
  const int64_t p = f - start_frame_;
  ApplyBounds(*c, p);
  ApplyPriority(*c);
  SetInt(*c, PR_ALPHA, FilmOpacity(rec_.start_opacity, rec_.end_opacity, p, Span()));
  SetInt(*c, PR_COLOR, FilmColor(rec_.start_color, rec_.end_color, p, Span()));
  SetInt(*c, PR_BORDERWIDTH, Int(rec_.start_border_width, rec_.end_border_width, 0, p));
  SetInt(*c, PR_BORDERCOLOR, FilmColor(rec_.start_border_color, rec_.end_border_color, p, Span()));
  SetInt(*c, PR_BLURSPAN, Int(rec_.start_blur_span, rec_.end_blur_span, 0, p));
  SetInt(*c, PR_BLURDELAY, Int(rec_.start_blur_delay, rec_.end_blur_delay, 0, p));
  SetClip(*c, FilmCrop(rec_.crop, p, Span()));
  return true;
}

// A chain of particle tracks shares its first track's emitter, which lives while the frame lies
// inside the chain.
bool TParticleFrameList::SetTime(int64_t f) {
  auto* head = static_cast<TParticleFrameList*>(ChainHead());
  if (f < head->StartFrame() || f >= ChainEnd()) {
    if (EndFrame() == ChainEnd() && !film_.DrivesComponent())
      head->HideComponent();
    return false;
  }
  if (!Active(f))
    return false;
  TNovaControl* c = Target();
  if (!c) {
    const bool fresh = !head->component_;
    c = head->Ensure<TNovaParticle>();
    if (!c)
      return true;
    if (fresh)
      SetStr(*c, PR_SOURCE, rec_.source);
  }
  const int64_t p = f - start_frame_;
  ApplyBounds(*c, p);
  ApplyPriority(*c);
  // Each track of a chain has its own; unchanged values are not set again.
  if (c->GetProp(PR_PARTMOTION).i != rec_.motion_type)
    SetInt(*c, PR_PARTMOTION, rec_.motion_type);
  if (c->GetProp(PR_INDEX).i != rec_.index)
    SetInt(*c, PR_INDEX, rec_.index);
  SetInt(*c, PR_ALPHA, FilmOpacity(rec_.start_opacity, rec_.end_opacity, p, Span()));
  const int ids[3] = {PR_PARAM1, PR_PARAM2, PR_PARAM3};
  for (size_t i = 0; i < 3; ++i)
    SetReal(*c, ids[i], Real(rec_.start_param[i], rec_.end_param[i], 0, p));
  SetClip(*c, FilmCrop(rec_.crop, p, Span()));
  if (auto* emitter = dynamic_cast<TNovaParticle*>(c)) {
    TParticleEmission e;
    e.x = Int(rec_.start_emission.x, rec_.end_emission.x, rec_.emission_curve_x, p);
    e.y = Int(rec_.start_emission.y, rec_.end_emission.y, rec_.emission_curve_y, p);
    e.spread_x = Int(rec_.start_spread.x, rec_.end_spread.x, 0, p);
    e.spread_y = Int(rec_.start_spread.y, rec_.end_spread.y, 0, p);
    const int32_t interval = Int(rec_.start_interval, rec_.end_interval, 0, p);
    e.interval_spread = Int(rec_.start_interval_spread, rec_.end_interval_spread, 0, p);
    e.interval_base = FilmClamp(int64_t{interval} - e.interval_spread / 2);
    emitter->SetEmission(e);
  }
  return true;
}

bool TFireFrameList::SetTime(int64_t f) {
  if (!Active(f)) {
    if (!film_.DrivesComponent())
      HideComponent();
    return false;
  }
  TNovaControl* c = Target() ? Target() : Ensure<TNovaFire>();
  if (!c)
    return true;
  const int64_t p = f - start_frame_;
  const TFilmPoint s = StartPos(), e = EndPos();
  const int32_t x = Int(s.x, e.x, rec_.curve_x, p), y = Int(s.y, e.y, rec_.curve_y, p);
  if (Target()) {
    c->SetMotionX(x);
    c->SetMotionY(y);
  } else {
    c->SetLeft(x);
    c->SetTop(y);
  }
  ApplyPriority(*c);
  SetInt(*c, PR_ORIGWIDTH, Int(rec_.start_width, rec_.end_width, rec_.curve_x, p));
  SetInt(*c, PR_ORIGHEIGHT, Int(rec_.start_height, rec_.end_height, rec_.curve_y, p));
  SetReal(*c, PR_FLOATZOOMX, Real(rec_.start_zoom_x, rec_.end_zoom_x, rec_.zoom_x_curve, p));
  SetReal(*c, PR_FLOATZOOMY, Real(rec_.start_zoom_y, rec_.end_zoom_y, rec_.zoom_y_curve, p));
  if (TakeFresh())
    SetInt(*c, PR_POWER, rec_.power);
  SetClip(*c, FilmCrop(rec_.crop, p, Span()));
  return true;
}

std::unique_ptr<TCustomFrameList> MakeFrameList(TFilmManager& film, const TFilmTrack& record) {
  switch (record.kind) {
  case fkImage:
    return std::make_unique<TImageFrameList>(film, record);
  case fkLabel:
    return std::make_unique<TLabelFrameList>(film, record);
  case fkBox:
    return std::make_unique<TBoxFrameList>(film, record);
  case fkWipe:
    return std::make_unique<TWipeFrameList>(film, record);
  case fkSound:
    return std::make_unique<TSoundFrameList>(film, record);
  case fkTile:
    return std::make_unique<TTileFrameList>(film, record);
  case fkParticle:
    return std::make_unique<TParticleFrameList>(film, record);
  case fkFire:
    return std::make_unique<TFireFrameList>(film, record);
  default:
    return nullptr;
  }
}

} // namespace nova
