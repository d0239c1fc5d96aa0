// SPDX-License-Identifier: MIT
// Frame lists that run by themselves (frame cells, map pictures): they step on by the elapsed
// time and wrap, independent of any image component.
#pragma once
#include <algorithm>
#include <cstdint>

#include "scene/kinds/image_list.h"

namespace nova {

// Moves the list on by the elapsed time; true when the shown frame changed. A list of fewer
// than two frames never changes; a wrap to the first frame drops the overshoot.
inline bool AdvanceFrames(TNovaImageList& l, int32_t elapsed_ms) {
  if (l.Count() < 2)
    return false;
  l.countdown -= elapsed_ms;
  if (l.countdown >= 1)
    return false;
  do {
    l.current = (l.current + 1) % l.Count();
    const bool wrapped = l.current == 0;
    if (wrapped)
      l.countdown = 0;
    l.countdown += std::max(1, l.Frame(l.current)->DisplayTime());
    if (wrapped)
      break;
  } while (l.countdown < 1);
  return true;
}

// Shows frame i (at most the last) with that frame's full time.
inline void SetFrameIndex(TNovaImageList& l, int i) {
  if (l.Count() == 0)
    return;
  l.current = std::clamp(i, 0, l.Count() - 1);
  l.countdown = l.Frame(l.current)->DisplayTime() + 1;
}

} // namespace nova
