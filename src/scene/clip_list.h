// SPDX-License-Identifier: MIT
// The changed rectangles of a layer, merged when they lie close together.
#pragma once
#include <vector>

#include "scene/scene_types.h"

namespace nova {

// Rectangles closer than this many pixels are merged into their bounding rectangle.
constexpr int kDirtyMergeDistance = 20;

class TClipList {
public:
  // Adds r (already clamped by the caller) by the merge rule: the first rectangle near r
  // absorbs it, and the union is added again so merges can cascade.
  void Add(TSceneRect r);
  void Clear() { rects_.clear(); }
  bool Empty() const { return rects_.empty(); }
  const std::vector<TSceneRect>& Rects() const { return rects_; }

private:
  std::vector<TSceneRect> rects_;
};

} // namespace nova
