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
  TCustomDIBX* surface = GetTargetSurface();
  if (!surface) return;
  const TRect saved = surface->StoredClip();
  const TSceneRect c0 = FromSurfaceRect(surface->ClipRect());
  const TSceneRect a = GetHitRect().Intersect(c0);
  if (!a.Empty()) {
    for (TNovaControl* child : children_) {
      // Children without name are waiting for deletion.
      if (child->GetName().empty() || !child->Visible()) continue;
      TSceneRect r = a;
      const TSceneRect clip = child->ScreenClip();
      if (!clip.Empty()) {
        r = r.Intersect(clip);
        if (r.Empty()) continue;
      }
      surface->ResetClip();
      surface->AddClipRect(ToSurfaceRect(r));
      child->Draw();
      surface->ResetClip();
    }
  }
  surface->SetStoredClip(saved);
}

}  // namespace nova
