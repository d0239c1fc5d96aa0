// SPDX-License-Identifier: MIT
// Exact filling of sectors and circles centred on a mask, for the clock hand, fan and circle
// transitions. A pixel is judged by its centre (x + 0.5, y + 0.5) against the mask's centre
// (width / 2, height / 2): it is inside a sector when the direction to its centre lies at or
// after the start edge and strictly before the end edge, measured clockwise on screen; the
// pixel whose centre is the mask's centre counts as lying at angle 0. It is inside a circle of
// radius r when its centre is at a distance of at most r.
#pragma once
#include <cstdint>
#include <vector>

#include "graphics/dibx.h"

namespace nova::wipe {

class TSectorField {
public:
  // Computes the direction of every pixel centre once; the mask must be 8-bit of this size.
  void Build(int width, int height);
  // Sets `value` in the pixels of the sector from `start` clockwise over `sweep` (radians; 0 is
  // the positive x axis, angles grow clockwise on screen); others keep theirs. A sweep of a
  // full turn or more covers everything, one of 0 or less nothing.
  void Fill(TDIBX& mask, double start, double sweep, uint8_t value) const;

private:
  int width_ = 0, height_ = 0;
  // A monotonic stand-in for the angle of each pixel centre, in [0, 4).
  std::vector<float> pseudo_;
};

// Fills the mask with `outside` and the circle of radius r about its centre with `inside`,
// deciding every pixel in exact integer arithmetic.
void FillCircle(TDIBX& mask, int64_t radius, uint8_t inside, uint8_t outside);

} // namespace nova::wipe
