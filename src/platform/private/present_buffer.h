// SPDX-License-Identifier: MIT
#pragma once
#include <span>
#include <vector>

#include "platform/window.h"

namespace nova {

// The scene as presented, kept in memory as 0x00RRGGBB words: both windows copy changed
// rectangles into it, the SDL one uploads them from here, and screenshots read it.
class TPresentBuffer {
public:
  void Resize(int width, int height);
  // Converts the changed rectangles of `source` (clipped to source and buffer) into the buffer
  // and returns them clipped; rectangles that clip to nothing are left out.
  std::vector<TWindowRect> Copy(const TPresentSource& source, std::span<const TWindowRect> changed);
  const TPicture& Picture() const { return picture_; }

private:
  TPicture picture_;
};

} // namespace nova
