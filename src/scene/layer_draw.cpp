// SPDX-License-Identifier: MIT
// A layer's surface and the redraw of its changed rectangles.
#include <algorithm>
#include <cstring>

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

void TNovaBase::TChildAreas::Resize(size_t count) {
  // Padding entries are empty rectangles, which touch nothing.
  for (auto* v : {&left, &top, &right, &bottom})
    v->assign(count, 0);
  touched.assign(count, 0);
}

void TNovaBase::TouchedBy(const TSceneRect& a, size_t count) {
  const int32_t* l = areas_.left.data();
  const int32_t* t = areas_.top.data();
  const int32_t* r = areas_.right.data();
  const int32_t* b = areas_.bottom.data();
  uint8_t* out = areas_.touched.data();
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<uint8_t>(int{std::max(a.Left, l[i]) < std::min(a.Right, r[i])} &
                                  int{std::max(a.Top, t[i]) < std::min(a.Bottom, b[i])});
}

void TNovaBase::Draw() {
  TCustomDIBX* surface = GetTargetSurface();
  if (!Visible() || !surface || surface->IsEmpty())
    return;
  // The children's areas do not change while the changed rectangles are redrawn: they are
  // placed once, column-wise, so that each rectangle finds the children it touches in one
  // pass the compiler can vectorise.
  const size_t n = children_.size();
  const size_t padded = (n + 7) / 8 * 8;
  areas_.Resize(padded);
  for (size_t i = 0; i < n; ++i) {
    const TSceneRect c = ChildArea(*children_[i]);
    areas_.left[i] = c.Left;
    areas_.top[i] = c.Top;
    areas_.right[i] = c.Right;
    areas_.bottom[i] = c.Bottom;
  }
  const TSceneRect hit = GetHitRect();
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
    const TSceneRect a = hit.Intersect(FromSurfaceRect(surface->ClipRect()));
    if (a.Empty())
      continue;
    TouchedBy(a, padded);
    // Most children lie elsewhere: eight flags are looked at at once.
    for (size_t base = 0; base < n; base += 8) {
      uint64_t word;
      std::memcpy(&word, &areas_.touched[base], 8);
      if (word == 0)
        continue;
      // A child's draw may remove children; the ones left over are not drawn.
      for (size_t i = base; i < base + 8 && i < children_.size(); ++i) {
        if (!areas_.touched[i])
          continue;
        const TSceneRect c{areas_.left[i], areas_.top[i], areas_.right[i], areas_.bottom[i]};
        surface->ResetClip();
        surface->AddClipRect(ToSurfaceRect(a.Intersect(c)));
        children_[i]->Draw();
      }
    }
  }
  surface->ResetClip();
}

} // namespace nova
