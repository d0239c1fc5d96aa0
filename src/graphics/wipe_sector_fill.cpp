// SPDX-License-Identifier: MIT
#include "graphics/private/wipe_sector_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace nova::wipe {
namespace {

// The "diamond angle": grows with the true angle (clockwise with y pointing down) from 0 on
// the positive x axis to just below 4, without trigonometry, so that comparing two directions
// compares their angles.
float PseudoAngle(double x, double y) {
  if (x == 0 && y == 0)
    return 0.0f;
  double p;
  if (y >= 0)
    p = x >= 0 ? y / (x + y) : 1 - x / (-x + y);
  else
    p = x < 0 ? 2 - y / (-x - y) : 3 + x / (x - y);
  return static_cast<float>(p);
}

float PseudoOf(double radians) { return PseudoAngle(std::cos(radians), std::sin(radians)); }

int64_t FloorDiv2(int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

int64_t ISqrt(int64_t v) {
  int64_t r = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
  while (r > 0 && r * r > v)
    --r;
  while ((r + 1) * (r + 1) <= v)
    ++r;
  return r;
}

} // namespace

void TSectorField::Build(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pseudo_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  // Doubled coordinates keep the centres integral: 2(x + 0.5) - width.
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      pseudo_[static_cast<size_t>(y) * width_ + x] =
          PseudoAngle(2.0 * x + 1 - width_, 2.0 * y + 1 - height_);
}

void TSectorField::Fill(TDIBX& mask, double start, double sweep, uint8_t value) const {
  if (!(sweep > 0) || mask.Width() != width_ || mask.Height() < height_ || mask.BitCount() != 8)
    return;
  constexpr double kTurn = 2 * std::numbers::pi;
  const bool whole = sweep >= kTurn;
  const float from = PseudoOf(start);
  float span = PseudoOf(start + sweep) - from;
  if (span < 0)
    span += 4.0f;
  // A sweep just short of a turn can round onto its own start.
  if (whole || (span == 0.0f && sweep > std::numbers::pi))
    span = 4.0f;
  // Locals and restricted pointers let the compiler vectorise: mask bytes could otherwise alias
  // the directions and the sizes.
  const int width = width_;
  for (int y = 0; y < height_; ++y) {
    uint8_t* __restrict row = mask.PixelAddress(0, y);
    const float* __restrict p = pseudo_.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      float rel = p[x] - from;
      rel += rel < 0 ? 4.0f : 0.0f;
      row[x] = rel < span ? value : row[x];
    }
  }
  mask.ReleasePixels();
}

void FillCircle(TDIBX& mask, int64_t radius, uint8_t inside, uint8_t outside) {
  const int w = mask.Width(), h = mask.Height();
  if (mask.BitCount() != 8 || w <= 0 || h <= 0)
    return;
  // Beyond any surface's diagonal; keeps the squares within 64 bits.
  radius = std::min<int64_t>(radius, int64_t{1} << 30);
  const int64_t r2 = 4 * radius * radius;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = mask.PixelAddress(0, y);
    std::memset(row, outside, static_cast<size_t>(w));
    const int64_t dy = 2 * int64_t{y} + 1 - h;
    const int64_t rest = radius < 0 ? -1 : r2 - dy * dy;
    if (rest < 0)
      continue;
    // |2x + 1 - w| <= half, with half the largest value whose square fits.
    const int64_t half = ISqrt(rest);
    const int64_t left = std::max<int64_t>(0, -FloorDiv2(-(w - 1 - half)));
    const int64_t right = std::min<int64_t>(w - 1, FloorDiv2(w - 1 + half));
    if (left <= right)
      std::memset(row + left, inside, static_cast<size_t>(right - left + 1));
  }
  mask.ReleasePixels();
}

} // namespace nova::wipe
