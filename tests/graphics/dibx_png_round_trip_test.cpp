// SPDX-License-Identifier: MIT
// Pictures the player writes (screenshots, golden images) must load back into surfaces.
#include <gtest/gtest.h>

#include "graphics/dibx.h"
#include "graphics/png_writer.h"

using namespace nova;

TEST(DibxPngRoundTrip, EncodedSurfacesLoadBackPixelForPixel) {
  for (int bits : {32, 24, 16, 15, 8}) {
    TDIBX src(37, 23, bits);
    for (int y = 0; y < src.Height(); ++y)
      for (int x = 0; x < src.Width(); ++x)
        src.SetPixel(x, y, static_cast<TPixel>(src.ColorToPixel((x * 7) | (y * 11) << 8 | (x * y) << 16)));
    const std::vector<uint8_t> png = EncodePng(src);
    TDIBX back(1, 1, bits);
    back.LoadFromStream(png, "round-trip.png");
    ASSERT_EQ(back.Width(), src.Width()) << bits;
    ASSERT_EQ(back.Height(), src.Height()) << bits;
    for (int y = 0; y < src.Height(); ++y)
      for (int x = 0; x < src.Width(); ++x)
        ASSERT_EQ(back.GetPixel(x, y), src.GetPixel(x, y)) << bits << " bits at " << x << "," << y;
  }
}
