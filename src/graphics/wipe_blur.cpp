// SPDX-License-Identifier: MIT
#include "graphics/private/wipe_blur.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "graphics/private/wipe_rows.h"

namespace nova::wipe {
namespace {

constexpr int kChannels = 3;

// The rounded mean of a window's sum, by a fixed-point reciprocal: a division per byte would
// dominate the blur.
struct TMean {
  explicit TMean(int window)
      : inverse(((uint64_t{1} << 32) + window - 1) / window), half(window / 2) {}
  uint8_t operator()(int sum) const {
    return static_cast<uint8_t>((static_cast<uint64_t>(sum + half) * inverse) >> 32);
  }
  uint64_t inverse;
  int half;
};

// One box pass along each row of `in` (w x h pixels of three bytes) into `out`, rounding the
// mean of 2r + 1 samples; the borders repeat.
void RowPass(const std::vector<uint8_t>& in, std::vector<uint8_t>& out, int w, int h, int r) {
  const TMean mean(2 * r + 1);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = in.data() + static_cast<size_t>(y) * w * kChannels;
    uint8_t* dst = out.data() + static_cast<size_t>(y) * w * kChannels;
    for (int c = 0; c < kChannels; ++c) {
      auto at = [&](int x) { return src[std::clamp(x, 0, w - 1) * kChannels + c]; };
      int sum = 0;
      for (int x = -r; x <= r; ++x)
        sum += at(x);
      for (int x = 0; x < w; ++x) {
        dst[x * kChannels + c] = mean(sum);
        sum += at(x + r + 1) - at(x - r);
      }
    }
  }
}

// The same down the columns, with one running sum per column and channel so that rows are read
// in order.
void ColumnPass(const std::vector<uint8_t>& in, std::vector<uint8_t>& out, int w, int h, int r) {
  const TMean mean(2 * r + 1);
  const size_t stride = static_cast<size_t>(w) * kChannels;
  auto row = [&](int y) {
    return in.data() + static_cast<size_t>(std::clamp(y, 0, h - 1)) * stride;
  };
  std::vector<int> sums(stride, 0);
  for (int y = -r; y <= r; ++y) {
    const uint8_t* src = row(y);
    for (size_t i = 0; i < stride; ++i)
      sums[i] += src[i];
  }
  for (int y = 0; y < h; ++y) {
    uint8_t* dst = out.data() + static_cast<size_t>(y) * stride;
    const uint8_t* enter = row(y + r + 1);
    const uint8_t* leave = row(y - r);
    for (size_t i = 0; i < stride; ++i) {
      dst[i] = mean(sums[i]);
      sums[i] += enter[i] - leave[i];
    }
  }
}

template <int kBytes> void ToPlanes(TCustomDIBX& source, std::vector<uint8_t>& planes) {
  TPixelView<kBytes> view(source);
  uint8_t* p = planes.data();
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x, p += kChannels) {
      // 32-bit pixels are the three channels already; the blur treats each alike.
      const uint32_t c = kBytes == 4 ? view.Get(x, y) : source.PixelToColor(view.Get(x, y));
      p[0] = c & 0xFF;
      p[1] = (c >> 8) & 0xFF;
      p[2] = (c >> 16) & 0xFF;
    }
}

template <int kBytes> void FromPlanes(const std::vector<uint8_t>& planes, TDIBX& out) {
  TPixelView<kBytes> view(out);
  const uint8_t* p = planes.data();
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x, p += kChannels)
      view.Set(x, y,
               kBytes == 4 ? static_cast<TPixel>(p[0] | p[1] << 8 | p[2] << 16)
                           : static_cast<TPixel>(out.ColorToPixel(p[0] | p[1] << 8 | p[2] << 16)));
}

} // namespace

void BoxBlur(TCustomDIBX& source, int radius, TDIBX& out) {
  const int w = source.Width(), h = source.Height();
  out.SetSize(w, h, source.BitCount());
  if (source.BitCount() <= 8) {
    std::array<TPaletteEntry, 256> palette;
    source.GetPalette(palette);
    out.SetPalette(palette);
  }
  if (w <= 0 || h <= 0)
    return;
  // Channels as bytes, blurred, then back to the surface's format.
  std::vector<uint8_t> planes(static_cast<size_t>(w) * h * kChannels), work(planes.size());
  WithViewBytes(source, [&]<int kBytes>() { ToPlanes<kBytes>(source, planes); });
  const int r = std::max(0, radius);
  if (r > 0) {
    for (int pass = 0; pass < 2; ++pass) {
      RowPass(planes, work, w, h, r);
      ColumnPass(work, planes, w, h, r);
    }
  }
  WithViewBytes(out, [&]<int kBytes>() { FromPlanes<kBytes>(planes, out); });
}

} // namespace nova::wipe
