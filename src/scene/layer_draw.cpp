// SPDX-License-Identifier: MIT
// A layer's surface and the redraw of its changed rectangles.
#include "graphics/dibx.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/private/surface_rect.h"

namespace nova {

TNovaBase::TNovaBase(TNovaBaseList* owner, int index) : TNovaControl(owner), index_(index) {}

TNovaBase::~TNovaBase() = default;

TCustomDIBX* TNovaBase::GetTargetSurface() const {
  if (owner_ && owner_->Front() == this && !owner_->TransitionRunning())
    return owner_->ScreenSurface();
  return surface_.get();
}

void TNovaBase::ResizeSurface(int32_t width, int32_t height, int bit_count) {
  if (width <= 0 || height <= 0) {
    surface_.reset();
    return;
  }
  if (!surface_)
    surface_ = std::make_unique<TDIBX>();
  if (surface_->Width() != width || surface_->Height() != height ||
      surface_->BitCount() != bit_count)
    surface_->SetSize(width, height, bit_count);
}

void TNovaBase::ReleaseSurfaces() { surface_.reset(); }

void TNovaBase::Draw() {
  TCustomDIBX* surface = GetTargetSurface();
  if (!Visible() || !surface || surface->IsEmpty())
    return;
  // The children's areas do not change while the changed rectangles are redrawn.
  std::vector<TSceneRect> areas;
  areas.reserve(children_.size());
  for (const TNovaControl* c : children_)
    areas.push_back(ChildArea(*c));
  for (const TSceneRect& r : dirty_.Rects()) {
    surface->ResetClip();
    surface->AddClipRect(ToSurfaceRect(r));
    if (color_ >= 0) {
      TSceneRect fill = ScreenBounds();
      const TSceneRect clip = ScreenClip();
      if (!clip.Empty())
        fill = fill.Intersect(clip);
      surface->FillRect(ToSurfaceRect(fill), static_cast<TPixel>(surface->ColorToPixel(color_)));
    }
    DrawChildren(&areas);
  }
  surface->ResetClip();
}

} // namespace nova
