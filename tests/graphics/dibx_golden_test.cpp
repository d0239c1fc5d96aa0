// SPDX-License-Identifier: MIT
// Whole pictures drawn with the scaled, rotated, tiled and glyph operations, compared with
// reference PNGs in tests/golden (NOVA_UPDATE_GOLDEN=1 rewrites them; look before committing).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "golden_compare.h"

namespace nova {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A 64 x 48 picture: colour gradient, checker corner, a dark ring, and a keyed magenta band.
TDIBX Picture() {
  TDIBX p(64, 48, 32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      uint32_t c = (uint32_t(x * 4) << 16) | (uint32_t(y * 5) << 8) | uint32_t(255 - x * 2);
      if (x < 16 && y < 16 && ((x / 4 + y / 4) & 1))
        c = 0xFFFFFF;
      const double r = std::hypot(x - 40.0, y - 24.0);
      if (r > 12 && r < 16)
        c = 0x202020;
      if (y >= 40)
        c = 0xFF00FF;
      p.SetPixel(x, y, c);
    }
  p.SetTransparentColor(0xFF00FF);
  return p;
}

// Alpha falling off from the centre.
TDIBX RadialMask() {
  TDIBX m(64, 48, 8);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const double r = std::hypot(x - 32.0, y - 24.0) / 32.0;
      m.SetPixel(x, y, static_cast<TPixel>(std::clamp(255.0 * (1.2 - r), 0.0, 255.0)));
    }
  return m;
}

TDIBX Background() {
  TDIBX b(160, 120, 32);
  b.Clear(0x304050);
  for (int y = 0; y < 120; y += 8)
    b.FillRect(TRect{0, y, 160, y + 1}, 0x405060);
  return b;
}

using test::CompareWithGolden;

struct TGoldenCase {
  const char* name;
  std::function<void(TDIBX& dst, TDIBX& pic, TDIBX& mask)> draw;
};

const TGoldenCase kGolden[] = {
    {"dibx_rotated",
     [](TDIBX& d, TDIBX& p, TDIBX& m) {
       d.DrawRotate(45, 45, 255, TKeyMode::Use, FlipNone, 30 * kPi / 180, 24, 32, p.Bounds(), p,
                    1.0, 1.0);
       d.DrawRotate(115, 50, 180, TKeyMode::Use, FlipH, -60 * kPi / 180, 24, 32, p.Bounds(), p,
                    0.75, 1.25);
       d.DrawRotateMask(80, 95, 255, m, FlipV, 200 * kPi / 180, 24, 32, p.Bounds(), p, 0.6, 0.9);
     }},
    {"dibx_stretched",
     [](TDIBX& d, TDIBX& p, TDIBX& m) {
       d.StretchDrawAlpha(TRect{-10, 4, 150, 84}, p, 255, FlipNone, TKeyMode::Use, p.Bounds());
       d.StretchDrawAlpha(TRect{100, 70, 150, 115}, p, 140, FlipH, TKeyMode::Ignore,
                          TRect{8, 8, 40, 40});
       d.StretchDrawMaskAlpha(TRect{10, 80, 90, 118}, p, 200, m, FlipV, p.Bounds());
       d.StretchDrawAdd(TRect{60, 20, 110, 60}, p, 120, FlipNone, TKeyMode::Use, p.Bounds());
     }},
    {"dibx_tiled",
     [](TDIBX& d, TDIBX& p, TDIBX& m) {
       d.TileDraw(TRect{4, 4, 156, 60}, 3, -7, -11, FlipNone, TKeyMode::Use, TRect{0, 0, 24, 16}, p,
                  2);
       d.TileFillZoom(TRect{4, 64, 78, 116}, p, 255, FlipH, TKeyMode::Ignore, 5, -9, 0.5, 0.75);
       d.TileFillZoomMask(TRect{82, 64, 156, 116}, p, 160, FlipNone, m, 0, 13, 1.5, 1.25);
     }},
    {"dibx_glyphs",
     [](TDIBX& d, TDIBX&, TDIBX& m) {
       // A ring glyph at 4x oversampling: 1-bit (clear bits are ink) and 2-bit with three inks.
       TDIBX mono(96, 96, 1), layered(96, 96, 2);
       mono.Clear(1);
       for (int y = 0; y < 96; ++y)
         for (int x = 0; x < 96; ++x) {
           const double r = std::hypot(x - 47.5, y - 47.5);
           if (r > 28 && r < 44)
             mono.SetPixel(x, y, 0);
           layered.SetPixel(x, y, r < 20 ? 1 : r < 32 ? 2 : r < 44 ? 3 : 0);
         }
       const TPixel inks[3] = {0xFFFF00, 0x00FFFF, 0xFF3030};
       d.DrawGlyphMono(6, 6, 4, 255, FlipNone, 0xFFFFFF, TRect{0, 0, 24, 24}, mono);
       d.DrawGlyphMono(36, 6, 4, 128, FlipNone, 0xFFC040, TRect{0, 0, 24, 24}, mono);
       d.DrawGlyphLayered(66, 6, 4, 255, FlipNone, inks, TRect{0, 0, 24, 24}, layered);
       d.DrawGlyphLayered(96, 6, 4, 300, FlipH, inks, TRect{0, 0, 24, 24}, layered);
       d.DrawColorMask(20, 50, 255, 0xF0E0A0, FlipNone, m.Bounds(), m);
       d.DrawColorMask(90, 60, 120, 0x80FF80, FlipV, m.Bounds(), m);
     }},
};

TEST(DibxGolden, Pictures) {
  for (const TGoldenCase& c : kGolden) {
    SCOPED_TRACE(c.name);
    TDIBX dst = Background();
    TDIBX pic = Picture();
    TDIBX mask = RadialMask();
    c.draw(dst, pic, mask);
    CompareWithGolden(dst, c.name);
  }
}

} // namespace
} // namespace nova
