// SPDX-License-Identifier: MIT
// Per-format rules beyond the blend: colour conversion, unused bits, index maps, waves and
// arguments that must draw nothing.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "graphics/dibx.h"
#include "graphics/dibx_wave.h"

namespace nova {
namespace {

TEST(DibxRules, StorageIsBottomUpAndPacksHighBitsFirst) {
  struct {
    int bits;
    TPixel value;
    uint8_t firstByte;
  } const cases[] = {{1, 1, 0x80}, {2, 3, 0xC0}, {4, 0xA, 0xA0}, {8, 0x5A, 0x5A}};
  for (const auto& c : cases) {
    TDIBX s(9, 3, c.bits);
    s.SetPixel(0, 2, c.value);
    EXPECT_LT(s.Pitch(), 0);
    // Row 2 is the bottom row, stored first in memory.
    EXPECT_EQ(*s.PixelAddress(0, 2), c.firstByte) << c.bits;
    EXPECT_EQ(s.PixelAddress(0, 1), s.PixelAddress(0, 2) - s.Pitch());
    EXPECT_EQ(s.GetPixel(0, 2), c.value);
    EXPECT_EQ(s.GetPixel(1, 2), 0u);
  }
  TDIBX fresh;
  EXPECT_EQ(fresh.Width(), 1);
  EXPECT_EQ(fresh.BitCount(), 15);
  EXPECT_EQ(fresh.StorageBitCount(), 16);
  EXPECT_EQ(fresh.GreenMask(), 0x03E0u);
  fresh.Release();
  EXPECT_TRUE(fresh.IsEmpty());
  EXPECT_EQ(fresh.PixelAddress(0, 0), nullptr);
}

TEST(DibxRules, ColorToPixelDropsLowBits) {
  struct {
    int bits;
    int32_t color;
    int32_t pixel;
  } const cases[] = {
      {15, 0x0000FF, 0x7C00},
      {15, 0x08FF07, 0x03E1},
      {16, 0x00FC00, 0x07E0},
      {16, 0x0000F8, 0xF800},
      {24, 0x123456, 0x563412},
      {32, 0xFFFFFF, 0xFFFFFF},
      {16, -1, -1},
      {32, -5, -1},
  };
  for (const auto& c : cases) {
    TDIBX s(1, 1, c.bits);
    EXPECT_EQ(s.ColorToPixel(c.color), c.pixel) << c.bits << " " << c.color;
  }
}

TEST(DibxRules, BlendsClearTheUnusedBits) {
  TDIBX d15(1, 1, 15), s15(1, 1, 15), d32(1, 1, 32), s32(1, 1, 32);
  d15.Clear(0x8000);
  s15.Clear(0x7FFF);
  d15.DrawAlpha(0, 0, 128, FlipNone, TKeyMode::Ignore, s15.Bounds(), s15);
  EXPECT_EQ(d15.GetPixel(0, 0), 0x3DEFu);
  d32.Clear(0xFF000000);
  s32.Clear(0xFF102030);
  d32.DrawAdd(0, 0, 255, FlipNone, TKeyMode::Ignore, s32.Bounds(), s32);
  EXPECT_EQ(d32.GetPixel(0, 0), 0x0F1F2Fu);
}

// (alpha * m) >> 8 can truncate to 0 for a non-zero mask value: the blend still runs at weight 0
// and darkens each channel by one step, as titles were drawn (0x808080 becomes 0x7F7F7F). Only
// m = 0 skips; an add of strength 0 changes nothing anyway.
TEST(DibxRules, ZeroMaskWeightStillBlends) {
  const struct {
    const char* op;
    int mask;
    uint32_t color; // of 0x808080 afterwards, at 24 and 32 bits
  } cases[] = {
      {"mask alpha", 2, 0x7F7F7F}, {"color mask", 2, 0x7F7F7F}, {"mask add", 2, 0x808080},
      {"mask alpha", 0, 0x808080}, {"color mask", 0, 0x808080},
  };
  for (const auto& c : cases) {
    for (int bits : {16, 24, 32}) {
      SCOPED_TRACE(std::string(c.op) + " m=" + std::to_string(c.mask) + " at " +
                   std::to_string(bits));
      TDIBX d(20, 1, bits), s(20, 1, bits), m(20, 1, 8);
      const TPixel grey = static_cast<TPixel>(d.ColorToPixel(0x808080));
      d.Clear(grey);
      s.Clear(0);
      m.Clear(static_cast<TPixel>(c.mask));
      if (std::string(c.op) == "mask alpha")
        d.DrawMaskAlpha(0, 0, 100, m, FlipNone, s.Bounds(), s);
      else if (std::string(c.op) == "mask add")
        d.DrawMaskAdd(0, 0, 100, m, FlipNone, s.Bounds(), s);
      else
        d.DrawColorMask(0, 0, 100, 0, FlipNone, m.Bounds(), m);
      for (int x : {0, 19}) {
        if (bits == 16)
          EXPECT_EQ(d.GetPixel(x, 0) == grey, c.color == 0x808080);
        else
          EXPECT_EQ(d.PixelToColor(d.GetPixel(x, 0)), c.color);
      }
    }
  }
}

// The pivot counts from srcRect's top-left both for the box and for sampling.
TEST(DibxRules, RotationOfAnInnerRectangle) {
  TDIBX src(8, 6, 32), rotated(20, 20, 32), drawn(20, 20, 32);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      src.SetPixel(x, y, y * 8 + x + 1);
  const TRect inner{2, 1, 6, 4};
  for (TFlip flip : {FlipNone, FlipHV}) {
    rotated.Clear(0);
    drawn.Clear(0);
    rotated.DrawRotate(10, 10, 255, TKeyMode::Ignore, flip, 0.0, 1, 1, inner, src, 1.0, 1.0);
    drawn.Draw(9, 9, flip, TKeyMode::Ignore, inner, src);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(rotated.GetPixel(x, y), drawn.GetPixel(x, y)) << x << "," << y;
  }
}

TEST(DibxRules, NibbleAndPaletteMaps) {
  TDIBX nib(4, 1, 4), idx(3, 1, 8), d(4, 1, 16);
  for (int x = 0; x < 4; ++x)
    nib.SetPixel(x, 0, x);
  nib.SetTransparentColor(3);
  TPixel table[16] = {0, 0x0842, 0xF800, 0x1234};
  d.Clear(0xFFFF);
  d.SetPixel(1, 0, 0x0000);
  // Additive: entry 0 and destination white are skipped, the key too.
  d.DrawNibble(0, 0, table, 256 + 255, FlipNone, nib.Bounds(), nib);
  EXPECT_EQ(
      (std::vector<TPixel>{d.GetPixel(0, 0), d.GetPixel(1, 0), d.GetPixel(2, 0), d.GetPixel(3, 0)}),
      (std::vector<TPixel>{0xFFFF, 0x0021, 0xFFFF, 0xFFFF})); // (f * 255) >> 8 per field
  d.DrawNibble(0, 0, table, 255, FlipNone, nib.Bounds(), nib);
  EXPECT_EQ(d.GetPixel(2, 0), 0xF800u);
  EXPECT_EQ(d.GetPixel(3, 0), 0xFFFFu);

  TPixel palette[256] = {};
  palette[9] = 0x8410;
  palette[2] = 0x0821;
  idx.SetPixel(0, 0, 9);
  idx.SetPixel(1, 0, 2);
  d.Clear(0);
  d.DrawPaletteAdd(0, 0, palette, 255, FlipNone, 5, idx.Bounds(), idx);
  EXPECT_EQ(d.GetPixel(0, 0), 0x7BEFu); // fields 16, 32, 16 at strength 255
  EXPECT_EQ(d.GetPixel(1, 0), 0u);      // below the threshold
}

TEST(DibxRules, WaveShiftsRowsByTheirOffsets) {
  TDIBX inner(10, 4, 32), src(3, 4, 32);
  inner.Clear(0);
  src.Clear(7);
  TDIBXWave wave(inner);
  wave.Offsets() = {0, 2, 2, -1};
  wave.SetFirstRow(0);
  wave.Draw(1, 0, FlipNone, TKeyMode::Ignore, src.Bounds(), src);
  const int firstLit[4] = {1, 3, 3, 0};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(inner.GetPixel(x, y), (x >= firstLit[y] && x < firstLit[y] + 3) ? 7u : 0u)
          << x << "," << y;
  // Rows outside the offsets are skipped; fills shift their rectangle.
  inner.Clear(0);
  wave.SetFirstRow(2);
  wave.FillRect(TRect{0, 0, 2, 4}, 5);
  EXPECT_EQ(inner.GetPixel(0, 1), 0u);
  EXPECT_EQ(inner.GetPixel(0, 2), 5u);
  EXPECT_EQ(inner.GetPixel(2, 3), 5u);
  EXPECT_EQ(inner.ClipRect(), inner.Bounds());
}

TEST(DibxRules, UnsuitableArgumentsDrawNothing) {
  TDIBX src(8, 8, 32), src16(8, 8, 16), mask32(8, 8, 32), empty(0, 0, 32), mask(8, 8, 8);
  src.Clear(0x123456);
  const std::function<void(TDIBX&)> ops[] = {
      [&](TDIBX& d) { d.Draw(0, 0, FlipNone, TKeyMode::Ignore, src16.Bounds(), src16); },
      [&](TDIBX& d) { d.DrawMask(0, 0, mask32, FlipNone, src.Bounds(), src); },
      [&](TDIBX& d) { d.DrawAlpha(0, 0, 0, FlipNone, TKeyMode::Ignore, src.Bounds(), src); },
      [&](TDIBX& d) { d.Draw(0, 0, FlipNone, TKeyMode::Ignore, empty.Bounds(), empty); },
      [&](TDIBX& d) { d.Draw(INT_MAX, INT_MIN, FlipH, TKeyMode::Use, src.Bounds(), src); },
      [&](TDIBX& d) {
        d.Draw(0, 0, FlipHV, TKeyMode::Ignore, TRect{INT_MIN, INT_MIN, INT_MIN + 5, 0}, src);
      },
      [&](TDIBX& d) {
        d.FillRect(TRect{INT_MAX - 1, 0, INT_MIN, 5}, 1);
      },
      [&](TDIBX& d) {
        d.StretchDrawAlpha(TRect{0, 0, INT_MAX, 3}, src, 100, FlipNone, TKeyMode::Ignore,
                           TRect{20, 20, 30, 30});
      },
      [&](TDIBX& d) {
        d.DrawRotate(4, 4, 255, TKeyMode::Ignore, FlipNone, 1.0, 0, 0, src.Bounds(), src, 0.0, 1.0);
      },
      [&](TDIBX& d) {
        d.TileFillZoom(d.Bounds(), src, 255, FlipNone, TKeyMode::Ignore, 0, 0, -1, 1);
      },
      [&](TDIBX& d) { d.DrawColorMask(0, 0, 255, 1, FlipNone, mask.Bounds(), mask32); },
  };
  for (size_t i = 0; i < std::size(ops); ++i) {
    TDIBX d(8, 8, 32);
    d.Clear(0xABCDEF);
    ops[i](d);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        ASSERT_EQ(d.GetPixel(x, y), 0xABCDEFu) << "case " << i;
  }
  TDIBX zero(0, 0, 16);
  zero.Draw(0, 0, FlipNone, TKeyMode::Ignore, src16.Bounds(), src16);
  zero.Clear(1);
  EXPECT_TRUE(zero.IsEmpty());
}

} // namespace
} // namespace nova
