// SPDX-License-Identifier: MIT
// The scene's surfaces, the draw step and the switch of the front layer with transitions.
#include "graphics/dibx.h"
#include "scene/nova_base_list.h"

namespace nova {

TNovaBaseList::TNovaBaseList(int32_t width, int32_t height, ISceneHost* host)
    : TNovaComponent(nullptr), width_(width), height_(height), host_(host) {
  CreateLayers();
  SetSceneSize(width, height);
  grey_tables_ = BuildGreyTables(ScreenBitCount());
}

TNovaBaseList::~TNovaBaseList() { DestroyAll(); }

void TNovaBaseList::SetDither(bool on) {
  dither_ = on;
  for (auto& layer : layers_)
    layer->InvalidateAll();
}

void TNovaBaseList::SetScreenSurface(TCustomDIBX* surface) {
  screen_surface_ = surface;
  grey_tables_ = BuildGreyTables(ScreenBitCount());
  for (auto& layer : layers_)
    layer->InvalidateAll();
}

TCustomDIBX* TNovaBaseList::ScreenSurface() const {
  return screen_surface_ ? screen_surface_ : own_surface_.get();
}

int TNovaBaseList::ScreenBitCount() const {
  return screen_surface_ ? screen_surface_->BitCount() : 32;
}

void TNovaBaseList::SetSceneSize(int32_t width, int32_t height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  // The layers take the new size.
  ForgetPlacements();
  const int bits = ScreenBitCount();
  if (width_ > 0 && height_ > 0) {
    if (!own_surface_)
      own_surface_ = std::make_unique<TDIBX>();
    if (own_surface_->Width() != width_ || own_surface_->Height() != height_ ||
        own_surface_->BitCount() != bits)
      own_surface_->SetSize(width_, height_, bits);
  } else {
    own_surface_.reset();
  }
  for (auto& layer : layers_) {
    layer->width_ = width_;
    layer->height_ = height_;
    layer->ResizeSurface(width_, height_, bits);
    layer->InvalidateAll();
  }
}

void TNovaBaseList::ReleaseSurfaces() {
  // The screen's back surface goes away with the display mode; the switch hands the new one in.
  screen_surface_ = nullptr;
  own_surface_.reset();
  // Pictures go with their surfaces, and children placed by a picture's scale move.
  ForgetPlacements();
  for (auto& layer : layers_)
    layer->ReleaseSurfaces();
  for (TNovaObject* o : objects_)
    o->ReleaseSurfaces();
  transition_.reset();
  transition_kind_ = 0;
}

void TNovaBaseList::RestoreSurfaces() {
  SetSceneSize(width_, height_);
  for (TNovaObject* o : objects_)
    o->RestoreSurfaces();
  ForgetPlacements();
  for (auto& layer : layers_)
    layer->InvalidateAll();
}

void TNovaBaseList::SetFront(int index, int transition_kind, const TTransitionOptions& options,
                             bool force, int32_t step, int32_t duration) {
  front_ = index & 1;
  if (force || (transition_kind != 0 && !transition_)) {
    transition_.reset();
    for (auto& layer : layers_)
      layer->InvalidateAll();
    if (transition_kind != 0 && transition_factory_ && ScreenSurface() && Front()->OwnSurface() &&
        Back()->OwnSurface()) {
      transition_ = transition_factory_(transition_kind, *ScreenSurface(), *Front()->OwnSurface(),
                                        *Back()->OwnSurface());
      if (transition_) {
        transition_->SetDuration(duration);
        transition_->Start(options);
      }
    }
  }
  if (!focus_ || focus_->GetBase() != Front()) {
    focus_ = nullptr;
    refocus_requested_ = true;
  }
  transition_kind_ = transition_ ? transition_kind : 0;
  if (transition_)
    transition_->SetStep(step);
}

int32_t TNovaBaseList::TransitionDuration() const {
  return transition_ ? transition_->Duration() : 0;
}

void TNovaBaseList::SetTransitionStep(int32_t t) {
  if (transition_)
    transition_->SetStep(t);
}

void TNovaBaseList::DrawStep() {
  // Drawing moves nothing: each control is placed once for the whole step.
  TPlacementWalk walk(*this);
  transition_rect_ = {};
  layers_[0]->Draw();
  layers_[1]->Draw();
  if (transition_)
    transition_rect_ = transition_->Draw();
}

void TNovaBaseList::ClearDirty() {
  for (auto& layer : layers_)
    layer->DirtyRects().Clear();
}

} // namespace nova
