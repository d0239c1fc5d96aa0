// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>

#include "graphics/dibx.h"
#include "graphics/wisp_frame.h"
#include "graphics/wisp_frame_list.h"
#include "graphics/wisp_surface_decoder.h"

using namespace nova;

namespace {

// A 6 × 4 24-bit frame of background 0x000001 with content at the given pixels.
TWispFrame Frame(std::initializer_list<std::pair<int, int>> content) {
  TWispFrame f;
  f.picture.color.SetSize(6, 4, 24);
  f.picture.color.Fill(1);
  for (auto [x, y] : content)
    f.picture.color.SetRaw(x, y, 0xABCDEF);
  return f;
}

} // namespace

TEST(WispFrame, MakeMaskClearsKeyedPixels) {
  TWispFrame keyed = Frame({{2, 1}});
  keyed.SetTransparent(1);
  keyed.MakeMask();
  ASSERT_TRUE(keyed.HasAlpha());
  EXPECT_EQ(keyed.picture.alpha.Row(1)[2], 255);
  EXPECT_EQ(keyed.picture.alpha.Row(1)[1], 0);

  TWispFrame plain = Frame({});
  plain.MakeMask();
  EXPECT_EQ(plain.picture.alpha.Row(3)[5], 255);

  // A frame that has alpha keeps it.
  keyed.picture.alpha.Row(0)[0] = 77;
  keyed.MakeMask();
  EXPECT_EQ(keyed.picture.alpha.Row(0)[0], 77);
}

TEST(WispFrame, TrimCropsToContentAndRegions) {
  struct Case {
    const char* what;
    bool by_alpha;
    std::initializer_list<std::pair<int, int>> content;
    WispPoint offset;
    int32_t width, height;
  };
  const Case cases[] = {
      {"key", false, {{1, 1}, {3, 2}}, {1, 1}, 3, 2},
      {"alpha", true, {{4, 3}}, {4, 3}, 1, 1},
      {"fully transparent: unchanged", false, {}, {0, 0}, 6, 4},
      {"content fills the frame: unchanged", false, {{0, 0}, {5, 3}}, {0, 0}, 6, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWispFrame f = Frame(c.content);
    f.SetTransparent(1);
    if (c.by_alpha) {
      f.MakeMask();
      f.SetTransparent(-1);
    }
    f.visible_regions = {{0, 0, 6, 4}, {0, 0, 1, 1}};
    f.opaque_regions = {{2, 1, 6, 3}};
    EXPECT_EQ(f.Trim(), c.offset);
    EXPECT_EQ(f.Width(), c.width);
    EXPECT_EQ(f.Height(), c.height);
    if (c.by_alpha)
      EXPECT_EQ(f.picture.alpha.width(), c.width);
    if (c.offset == WispPoint{1, 1}) {
      EXPECT_EQ(f.picture.color.GetRaw(0, 0), 0xABCDEFu);
      EXPECT_EQ(f.picture.color.GetRaw(2, 1), 0xABCDEFu);
      // Regions move with the crop; the one left empty goes.
      EXPECT_EQ(f.visible_regions, (std::vector<TRect>{{0, 0, 3, 2}}));
      EXPECT_EQ(f.opaque_regions, (std::vector<TRect>{{1, 0, 3, 2}}));
    }
  }
  // Neither key nor alpha: nothing to trim by.
  TWispFrame f = Frame({{1, 1}});
  EXPECT_EQ(f.Trim(), (WispPoint{0, 0}));
  EXPECT_EQ(f.Width(), 6);
}

TEST(WispFrame, CopyToSurfaces) {
  TWispFrame f;
  f.picture.color.SetSize(4, 4, 24);
  f.picture.color.Fill(0x0C0C0C); // between two 5-bit levels (8 and 16)
  TDIBX wide(1, 1, 32);
  f.CopyTo(wide);
  EXPECT_EQ(wide.GetPixel(3, 3), 0x0C0C0Cu);

  TDIBX plain(1, 1, 15), dithered(1, 1, 15);
  f.CopyTo(plain);
  f.CopyTo(dithered, WispDither::kOn);
  std::set<TPixel> plain_values, dithered_values;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      plain_values.insert(plain.GetPixel(x, y));
      dithered_values.insert(dithered.GetPixel(x, y));
    }
  }
  EXPECT_EQ(plain_values, (std::set<TPixel>{0x0421})); // 12 >> 3 = 1 in each channel
  EXPECT_EQ(dithered_values.size(), 2u);
  // A keyed frame without alpha is never dithered: its key must stay exact.
  f.SetTransparent(0x0C0C0C);
  f.CopyTo(dithered, WispDither::kOn);
  EXPECT_EQ(dithered.GetPixel(1, 0), 0x0421u);

  TDIBX mask;
  f.CopyAlphaTo(mask);
  EXPECT_EQ(mask.BitCount(), 8);
  EXPECT_EQ(mask.GetPixel(2, 2), 255u);
}

TEST(WispFrame, SurfacesLoadLayeredImages) {
  TWispFrameList list;
  TWispFrame f;
  f.picture.color.SetSize(3, 2, 24);
  f.picture.color.SetRaw(2, 1, 0xFF8000);
  list.AddFrame(std::move(f));
  const std::vector<uint8_t> bytes = list.SaveToBytes({0, 70, false});
  InstallWispSurfaceDecoder(0);
  TDIBX surface(1, 1, 16);
  surface.LoadFromStream(bytes, "pic.wsp");
  EXPECT_EQ(surface.Width(), 3);
  EXPECT_EQ(surface.BitCount(), 16);
  EXPECT_EQ(surface.GetPixel(2, 1), 0xFC00u); // red 0xFF, green 0x80 in 5-6-5
}
