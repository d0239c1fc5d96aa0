// SPDX-License-Identifier: MIT
#include "scene/clip_list.h"

namespace nova {
namespace {

bool Near(const TSceneRect& r, const TSceneRect& e) {
  const TSceneRect g = e.Inflate(kDirtyMergeDistance);
  return r.Left <= g.Right && r.Top <= g.Bottom && r.Right >= g.Left && r.Bottom >= g.Top;
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
