// SPDX-License-Identifier: MIT
#include "text/private/glyph_outline.h"

namespace nova {

TGlyphOutline::TGlyphOutline(const TFontPixel& g, int border)
    : border_(border), width_(g.width + 2 * border), height_(g.height + 2 * border) {
  const size_t n = static_cast<size_t>(width_) * height_;
  // The order of compositing: source pixels row by row, then the offsets row by row; for one
  // pixel of the box that is its sources in row order.
  auto each_step = [&](auto&& step) {
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x) {
        const uint8_t q = g.bitmap[static_cast<size_t>(y) * g.width + x];
        if (q == 0)
          continue;
        for (int dy = -border; dy <= border; ++dy)
          for (int dx = -border; dx <= border; ++dx)
            if (dx != 0 || dy != 0)
              step(static_cast<size_t>(y + dy + border) * width_ + (x + dx + border), q);
      }
  };
  first_.assign(n + 1, 0);
  each_step([&](size_t i, uint8_t) { ++first_[i + 1]; });
  for (size_t i = 0; i < n; ++i)
    first_[i + 1] += first_[i];
  steps_.resize(first_[n]);
  std::vector<uint32_t> next(first_.begin(), first_.end() - 1);
  each_step([&](size_t i, uint8_t q) { steps_[next[i]++] = q; });
  from_.assign(first_.begin(), first_.end() - 1);
  fixed_.assign(n, 0);
  for (size_t i = 0; i < n; ++i) {
    if (first_[i] == first_[i + 1])
      fixed_[i] = 2;
    for (uint32_t s = first_[i]; s < first_[i + 1]; ++s)
      if (steps_[s] == 255) {
        from_[i] = s;
        fixed_[i] = 1;
      }
  }
}

TGlyphOutline::TColourResult& TGlyphOutline::ResultOf(uint32_t k) {
  for (TColourResult& c : colours_)
    if (!c.pixels.empty() && c.k == k)
      return c;
  TColourResult& c = colours_[next_colour_];
  next_colour_ = (next_colour_ + 1) % colours_.size();
  const size_t n = fixed_.size();
  c.k = k;
  c.pixels.assign(n, 0);
  c.coverage.assign(n, 0);
  c.fringe.clear();
  for (size_t i = 0; i < n; ++i)
    for (uint32_t s = from_[i]; s < first_[i + 1]; ++s)
      Over32(c.coverage[i], c.pixels[i], steps_[s], k);
  return c;
}

void TGlyphOutline::Draw(uint32_t* pixels, size_t pixel_stride, uint8_t* coverage,
                         size_t coverage_stride, uint32_t k) {
  TColourResult& c = ResultOf(k);
  // Locals, so that the stores through the byte pointers don't make every member load again.
  const int width = width_, height = height_;
  const uint8_t* const fixed = fixed_.data();
  const uint32_t* const kept_pixels = c.pixels.data();
  const uint8_t* const kept_coverage = c.coverage.data();
  for (int y = 0; y < height; ++y) {
    uint32_t* px = pixels + static_cast<size_t>(y) * pixel_stride;
    uint8_t* cov = coverage + static_cast<size_t>(y) * coverage_stride;
    const size_t row = static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      const size_t i = row + static_cast<size_t>(x);
      const uint8_t f = fixed[i];
      if (f == 2)
        continue;
      if (f == 1 || cov[x] == 0) {
        cov[x] = kept_coverage[i];
        px[x] = kept_pixels[i];
        continue;
      }
      if (c.fringe.empty())
        c.fringe.resize(fixed_.size());
      TFringeMemo& m = c.fringe[i];
      if (m.a_in == cov[x] && m.d_in == px[x]) {
        cov[x] = m.a_out;
        px[x] = m.d_out;
        continue;
      }
      m.a_in = cov[x];
      m.d_in = px[x];
      for (uint32_t s = first_[i]; s < first_[i + 1]; ++s)
        Over32(cov[x], px[x], steps_[s], k);
      m.a_out = cov[x];
      m.d_out = px[x];
    }
  }
}

} // namespace nova
