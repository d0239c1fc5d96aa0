// SPDX-License-Identifier: MIT
// The bounding box of a rectangle turned about the origin, for hit and changed rectangles of
// rotated pictures.
#pragma once
#include <algorithm>

namespace nova {

struct TRotatedExtent {
  long double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
};

// The corners (x0|x1, y0|y1) turned by the angle whose cosine is `c` and sine `s`.
inline TRotatedExtent RotatedExtent(long double x0, long double x1, long double y0,
                                    long double y1, long double c, long double s) {
  TRotatedExtent e;
  bool first = true;
  for (long double x : {x0, x1})
    for (long double y : {y0, y1}) {
      const long double rx = x * c - y * s, ry = x * s + y * c;
      if (first) {
        e.min_x = e.max_x = rx;
        e.min_y = e.max_y = ry;
        first = false;
      }
      e.min_x = std::min(e.min_x, rx);
      e.max_x = std::max(e.max_x, rx);
      e.min_y = std::min(e.min_y, ry);
      e.max_y = std::max(e.max_y, ry);
    }
  return e;
}

} // namespace nova
