// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "graphics/wisp_frame.h"

using namespace nova;

namespace {

// A 6 × 4 24-bit frame of background 0x000001 with content at the given pixels.
TWispFrame Frame(std::initializer_list<std::pair<int, int>> content) {
  TWispFrame f;
  f.picture.color.SetSize(6, 4, 24);
  f.picture.color.Fill(1);
  for (auto [x, y] : content) f.picture.color.SetRaw(x, y, 0xABCDEF);
  return f;
}

}  // namespace

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
    if (c.by_alpha) EXPECT_EQ(f.picture.alpha.width(), c.width);
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
