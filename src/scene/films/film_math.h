// SPDX-License-Identifier: MIT
// How a film track's values move between their start and end: the three curves, opacity,
// colours and crop. Frame counts are 64-bit so that any stored length is safe.
#pragma once
#include <cstdint>

#include "graphics/film_file.h"

namespace nova {

// Value at elapsed frame p of n (n already one larger when the track has a follower): p = 0
// gives s, p = n - 1 gives e; curve 0 linear, 1 slow start, anything else slow end.
int32_t FilmInterpolate(int32_t s, int32_t e, int64_t p, int64_t n, uint8_t curve);
// The same for floating values; the linear case divides by n, not n - 1.
double FilmInterpolate(double s, double e, int64_t p, int64_t n, uint8_t curve);
// Opacity: 0 at either end stands for 255 (both 0: 255), linear, and a negative result v
// becomes 256 - v (additive drawing of strength -v).
int32_t FilmOpacity(int32_t s, int32_t e, int64_t p, int64_t n);
// 0x00BBGGRR colours: each channel linear on its own, unless both ends are equal.
int32_t FilmColor(int32_t s, int32_t e, int64_t p, int64_t n);

// Sums of stored values may leave 32 bits; they are clamped back.
inline int32_t FilmClamp(int64_t v) {
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

struct TFilmClip {
  int32_t left = 0, top = 0, width = 0, height = 0;
};
// The crop at p of n: none (all 0) when either interpolated size is below 1.
TFilmClip FilmCrop(const TFilmCrop& crop, int64_t p, int64_t n);

} // namespace nova
