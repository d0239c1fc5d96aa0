// SPDX-License-Identifier: MIT
// Scene rectangles to and from surface rectangles.
#pragma once
#include "graphics/dibx_types.h"
#include "scene/scene_types.h"

namespace nova {

inline TRect ToSurfaceRect(const TSceneRect& r) { return TRect{r.Left, r.Top, r.Right, r.Bottom}; }
inline TSceneRect FromSurfaceRect(const TRect& r) {
  return TSceneRect{r.Left, r.Top, r.Right, r.Bottom};
}

} // namespace nova
