// SPDX-License-Identifier: MIT
#pragma once

namespace nova {

struct TWindowRect {
  int left = 0;
  int top = 0;
  int right = 0;  // exclusive
  int bottom = 0; // exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const TWindowRect&) const = default;
};

} // namespace nova
