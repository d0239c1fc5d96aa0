// SPDX-License-Identifier: MIT
#include "scene/nova_base.h"

#include "scene/nova_base_list.h"

namespace nova {

bool TNovaBase::Honours(int id, bool write) const {
  // A layer keeps what every control keeps, as a cabinet does.
  return write ? KindWrites(LT_CABINET, id) : KindReads(LT_CABINET, id);
}

void TNovaBase::AddDirtyRect(const TSceneRect& r) {
  TSceneRect c = r.Intersect(TSceneRect::FromSize(0, 0, width_, height_));
  if (c.Empty())
    return;
  if (cinema_host_) {
    // A cinema shows its layer at its own place: limit to its area and clip.
    TSceneRect area =
        TSceneRect::FromSize(cinema_host_->Left(), cinema_host_->Top(), width_, height_);
    c = c.Intersect(TSceneRect::FromSize(0, 0, width_, height_));
    const TSceneRect clip = cinema_host_->ScreenClip();
    TSceneRect on_host =
        TSceneRect::FromSize(area.Left + c.Left, area.Top + c.Top, c.Width(), c.Height());
    if (!clip.Empty())
      on_host = on_host.Intersect(clip);
    dirty_.Add(c);
    if (!on_host.Empty())
      if (TNovaBase* host_layer = cinema_host_->GetBase())
        host_layer->AddDirtyRect(on_host);
    return;
  }
  dirty_.Add(c);
}

} // namespace nova
