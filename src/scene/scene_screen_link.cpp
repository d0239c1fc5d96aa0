// SPDX-License-Identifier: MIT
#include "scene/scene_screen_link.h"

#include "scene/nova_base_list.h"

namespace nova {
namespace {

TScreenRect ToScreen(const TSceneRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

} // namespace

TScreenRect TSceneScreenLink::TransitionRect() { return ToScreen(scene_.TransitionRect()); }

std::vector<TScreenRect> TSceneScreenLink::ChangedRects() {
  std::vector<TScreenRect> out;
  for (const TSceneRect& r : scene_.Front()->DirtyRects().Rects())
    out.push_back(ToScreen(r));
  return out;
}

void TSceneScreenLink::ClearChanged() { scene_.ClearDirty(); }

} // namespace nova
