// SPDX-License-Identifier: MIT
#include "scene/films/film_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nova {
namespace {

int32_t Clamp32(long double v) {
  return static_cast<int32_t>(std::clamp<long double>(v, INT32_MIN, INT32_MAX));
}

} // namespace

int32_t FilmInterpolate(int32_t s, int32_t e, int64_t p, int64_t n, uint8_t curve) {
  if (p <= 0)
    return s;
  if (p >= n - 1)
    return e;
  const int64_t d = int64_t{e} - s;
  const double quarter = std::numbers::pi / 2;
  switch (curve) {
  case 0:
    // |d| < 2^32 and p < 2^31 here, so the product fits; division truncates toward zero.
    return static_cast<int32_t>(s + d * p / (n - 1));
  case 1:
    return Clamp32(e - std::nearbyint(d * std::sin((n - p - 1) * quarter / n)));
  default:
    return Clamp32(s + std::nearbyint(d * std::sin(p * quarter / n)));
  }
}

double FilmInterpolate(double s, double e, int64_t p, int64_t n, uint8_t curve) {
  if (p <= 0)
    return s;
  if (p >= n - 1)
    return e;
  const double quarter = std::numbers::pi / 2;
  switch (curve) {
  case 0:
    return s + (e - s) * static_cast<double>(p) / static_cast<double>(n);
  case 1:
    return e - (e - s) * std::sin((n - p - 1) * quarter / n);
  default:
    return s + (e - s) * std::sin(p * quarter / n);
  }
}

int32_t FilmOpacity(int32_t s, int32_t e, int64_t p, int64_t n) {
  if (s == 0 && e == 0)
    return 255;
  const int32_t v = FilmInterpolate(s == 0 ? 255 : s, e == 0 ? 255 : e, p, n, 0);
  return v < 0 ? Clamp32(256.0L - v) : v;
}

int32_t FilmColor(int32_t s, int32_t e, int64_t p, int64_t n) {
  if (s == e)
    return s;
  int32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t c = FilmInterpolate((s >> shift) & 0xFF, (e >> shift) & 0xFF, p, n, 0);
    out |= (c & 0xFF) << shift;
  }
  return out;
}

TFilmClip FilmCrop(const TFilmCrop& c, int64_t p, int64_t n) {
  const int32_t w = FilmInterpolate(c.start_size.x, c.end_size.x, p, n, c.curve_x);
  const int32_t h = FilmInterpolate(c.start_size.y, c.end_size.y, p, n, c.curve_y);
  if (w < 1 || h < 1)
    return {};
  return {FilmInterpolate(c.start_origin.x, c.end_origin.x, p, n, c.curve_x),
          FilmInterpolate(c.start_origin.y, c.end_origin.y, p, n, c.curve_y), w, h};
}

} // namespace nova
