// SPDX-License-Identifier: MIT
// The drawing rules at their edges, on small surfaces, through the default (fastest) loops.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "graphics/png_writer.h"

namespace nova {
namespace {

struct TEdgeCase {
  const char* name;
  std::function<void()> check;
};

TDIBX Filled(int w, int h, int bits, TPixel p) {
  TDIBX s(w, h, bits);
  s.Clear(p);
  return s;
}

std::vector<TPixel> Row(TCustomDIBX& s, int y) {
  std::vector<TPixel> out;
  for (int x = 0; x < s.Width(); ++x)
    out.push_back(s.GetPixel(x, y));
  return out;
}

const TEdgeCase kCases[] = {
    {"blend 128 of white over black gives 127; 255 gives 254",
     [] {
       for (int bits : {32, 24}) {
         TDIBX src = Filled(1, 1, bits, 0xFFFFFF);
         TDIBX dst = Filled(1, 1, bits, 0);
         dst.DrawAlpha(0, 0, 128, FlipNone, TKeyMode::Ignore, src.Bounds(), src);
         EXPECT_EQ(dst.GetPixel(0, 0), 0x7F7F7Fu) << bits;
         dst.Clear(0);
         dst.DrawAlpha(0, 0, 255, FlipNone, TKeyMode::Ignore, src.Bounds(), src);
         EXPECT_EQ(dst.GetPixel(0, 0), 0xFEFEFEu) << bits;
       }
     }},
    {"5-6-5 add saturates red without carrying; sub clamps at 0",
     [] {
       TDIBX s = Filled(20, 1, 16, 0xF800);
       s.FillRectAdd(s.Bounds(), 0xF800);
       EXPECT_EQ(s.GetPixel(19, 0), 0xF800u);
       s.Clear(0x0010);
       s.FillRectSub(s.Bounds(), 0x001F);
       EXPECT_EQ(s.GetPixel(19, 0), 0u);
     }},
    {"keyed copy of all-key source leaves destination; key -1 copies every pixel",
     [] {
       TDIBX src = Filled(20, 2, 32, 0x123456);
       TDIBX dst = Filled(20, 2, 32, 0xABCDEF);
       src.SetTransparentColor(0x123456);
       dst.Draw(0, 0, FlipNone, TKeyMode::Use, src.Bounds(), src);
       EXPECT_EQ(dst.GetPixel(19, 1), 0xABCDEFu);
       src.SetTransparentColor(-1);
       dst.Draw(0, 0, FlipNone, TKeyMode::Use, src.Bounds(), src);
       EXPECT_EQ(dst.GetPixel(19, 1), 0x123456u);
     }},
    {"mask 255 copies, 0 leaves, 128 blends half",
     [] {
       for (int bits : {16, 32, 24}) {
         TDIBX src(3, 1, bits), dst(3, 1, bits), mask(3, 1, 8);
         const TPixel white = static_cast<TPixel>(src.ColorToPixel(0xFFFFFF));
         src.Clear(white);
         dst.Clear(0);
         mask.SetPixel(0, 0, 255);
         mask.SetPixel(1, 0, 0);
         mask.SetPixel(2, 0, 128);
         dst.DrawMask(0, 0, mask, FlipNone, src.Bounds(), src);
         EXPECT_EQ(dst.GetPixel(0, 0), white) << bits;
         EXPECT_EQ(dst.GetPixel(1, 0), 0u) << bits;
         EXPECT_EQ(dst.GetPixel(2, 0), static_cast<TPixel>(dst.ColorToPixel(0x7F7F7F))) << bits;
       }
     }},
    {"flipH at x=-5 shows source columns 14..0",
     [] {
       TDIBX src(20, 1, 32), dst = Filled(20, 1, 32, 0xFFFFFF);
       for (int x = 0; x < 20; ++x)
         src.SetPixel(x, 0, x);
       dst.Draw(-5, 0, FlipH, TKeyMode::Ignore, src.Bounds(), src);
       for (int x = 0; x < 15; ++x)
         EXPECT_EQ(dst.GetPixel(x, 0), TPixel(14 - x)) << x;
       EXPECT_EQ(dst.GetPixel(15, 0), 0xFFFFFFu);
     }},
    {"tiling with offsetX -1 and width 10 starts with column 9",
     [] {
       TDIBX src(10, 1, 32), dst(25, 1, 32);
       for (int x = 0; x < 10; ++x)
         src.SetPixel(x, 0, x);
       dst.TileDraw(dst.Bounds(), 0, 0, -1, FlipNone, TKeyMode::Ignore, src.Bounds(), src, 0);
       EXPECT_EQ(dst.GetPixel(0, 0), 9u);
       EXPECT_EQ(dst.GetPixel(1, 0), 0u);
       EXPECT_EQ(dst.GetPixel(11, 0), 0u);
       dst.Clear(77);
       dst.TileFill(dst.Bounds(), src, FlipNone, 0, -1);
       EXPECT_EQ(dst.GetPixel(0, 0), 9u);
       EXPECT_EQ(dst.GetPixel(24, 0), 3u);
     }},
    {"tiling with gaps takes the phase within the tile, then steps tile + gap",
     [] {
       TDIBX src(10, 1, 32), dst(40, 1, 32);
       for (int x = 0; x < 10; ++x)
         src.SetPixel(x, 0, x + 1);
       for (const auto [offset, first] : {std::pair{12, 3u}, std::pair{-3, 8u}}) {
         dst.Clear(0);
         dst.TileDraw(dst.Bounds(), 5, 0, offset, FlipNone, TKeyMode::Ignore, src.Bounds(), src, 0);
         const TPixel phase = first - 1;
         EXPECT_EQ(dst.GetPixel(0, 0), first) << offset;
         EXPECT_EQ(dst.GetPixel(9 - phase, 0), 10u) << offset; // the first tile ends
         EXPECT_EQ(dst.GetPixel(10 - phase, 0), 0u) << offset; // the gap
         EXPECT_EQ(dst.GetPixel(15 - phase, 0), 1u) << offset; // the next tile from its start
       }
     }},
    {"clip union grows; ResetClip returns to the whole surface",
     [] {
       TDIBX s(100, 100, 32);
       s.AddClipRect(TRect{10, 10, 20, 20});
       s.AddClipRect(TRect{50, 60, 70, 200});
       EXPECT_EQ(s.ClipRect(), (TRect{10, 10, 70, 100}));
       s.AddClipRect(TRect{-50, -50, -10, -10});
       EXPECT_EQ(s.ClipRect(), (TRect{10, 10, 70, 100}));
       s.ResetClip();
       EXPECT_EQ(s.ClipRect(), s.Bounds());
       s.AddClipRect(TRect{5, 5, 6, 6});
       s.Clear(0);
       s.FillRect(s.Bounds(), 9);
       EXPECT_EQ(s.GetPixel(5, 5), 9u);
       EXPECT_EQ(s.GetPixel(6, 5), 0u);
     }},
    {"stretching 2 pixels to 4 samples 0,0,1,1 (and 1,1,0,0 mirrored)",
     [] {
       TDIBX src(2, 1, 32), dst(4, 1, 32);
       src.SetPixel(0, 0, 100);
       src.SetPixel(1, 0, 200);
       dst.StretchDrawAlpha(dst.Bounds(), src, 255, FlipNone, TKeyMode::Ignore, src.Bounds());
       EXPECT_EQ(Row(dst, 0), (std::vector<TPixel>{100, 100, 200, 200}));
       dst.StretchDrawAlpha(dst.Bounds(), src, 255, FlipH, TKeyMode::Ignore, src.Bounds());
       EXPECT_EQ(Row(dst, 0), (std::vector<TPixel>{200, 200, 100, 100}));
     }},
    {"rotating by 0 at scale 1 reproduces the source where the pivot lands",
     [] {
       TDIBX src(7, 5, 32), dst(30, 30, 32), want(30, 30, 32);
       for (int y = 0; y < 5; ++y)
         for (int x = 0; x < 7; ++x)
           src.SetPixel(x, y, y * 16 + x + 1);
       dst.DrawRotate(12, 10, 255, TKeyMode::Ignore, FlipNone, 0.0, 2, 3, src.Bounds(), src, 1.0,
                      1.0);
       want.Draw(9, 8, FlipNone, TKeyMode::Ignore, src.Bounds(), src);
       for (int y = 0; y < 30; ++y)
         EXPECT_EQ(Row(dst, y), Row(want, y)) << y;
     }},
    {"a PNG whose first byte is not 0x89 is still recognised",
     [] {
       TDIBX red(1, 1, 32);
       red.SetPixel(0, 0, 0xFF0000);
       std::vector<uint8_t> png = EncodePng(red);
       png[0] = 0;
       TDIBX s(3, 3, 16);
       s.LoadFromStream(png, "red.png");
       ASSERT_EQ(s.Width(), 1);
       EXPECT_EQ(s.BitCount(), 16);
       EXPECT_EQ(s.GetPixel(0, 0), 0xF800u);
     }},
};

TEST(DibxEdgeCases, Table) {
  for (const TEdgeCase& c : kCases) {
    SCOPED_TRACE(c.name);
    c.check();
  }
}

} // namespace
} // namespace nova
