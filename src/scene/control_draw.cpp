// SPDX-License-Identifier: MIT
// Drawing a control's children under the surface clip.
#include "graphics/dibx_custom.h"
#include "scene/nova_base.h"
#include "scene/nova_control.h"
#include "scene/private/surface_rect.h"

namespace nova {

TCustomDIBX* TNovaControl::GetTargetSurface() const {
  return parent_ ? parent_->GetTargetSurface() : nullptr;
}

void TNovaControl::Draw() { DrawChildren(); }

void TNovaControl::DrawChildren() {
  // Most controls have no children; the placement below is the costly part of a draw.
  if (children_.empty())
    return;
  TCustomDIBX* surface = GetTargetSurface();
  if (!surface)
    return;
  const TRect saved = surface->StoredClip();
  const TSceneRect a = GetHitRect().Intersect(FromSurfaceRect(surface->ClipRect()));
  if (!a.Empty()) {
    for (size_t i = 0; i < children_.size(); ++i) {
      TNovaControl* child = children_[i];
      const TSceneRect r = a.Intersect(ChildArea(*child));
      if (r.Empty())
        continue;
      surface->ResetClip();
      surface->AddClipRect(ToSurfaceRect(r));
      child->Draw();
      surface->ResetClip();
    }
  }
  surface->SetStoredClip(saved);
}

} // namespace nova
