// SPDX-License-Identifier: MIT
#include "scene/clip_list.h"

namespace nova {
namespace {

// Within kDirtyMergeDistance of e grown on every side; 64-bit sums compare as the saturated
// ones would, since r's edges are 32-bit.
bool Near(const TSceneRect& r, const TSceneRect& e) {
  constexpr int64_t d = kDirtyMergeDistance;
  return r.Left <= e.Right + d && r.Top <= e.Bottom + d && r.Right >= e.Left - d &&
         r.Bottom >= e.Top - d;
}

} // namespace

void TClipList::Add(TSceneRect r) {
  if (r.Empty())
    return;
  // Each merge removes one rectangle, so this ends after at most size() rounds.
  for (;;) {
    size_t i = 0;
    while (i < rects_.size() && !Near(r, rects_[i]))
      ++i;
    if (i == rects_.size()) {
      rects_.push_back(r);
      return;
    }
    if (r.Inside(rects_[i]))
      return;
    r = r.Union(rects_[i]);
    rects_.erase(rects_.begin() + static_cast<long>(i));
  }
}

} // namespace nova
