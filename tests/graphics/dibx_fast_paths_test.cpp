// SPDX-License-Identifier: MIT
// The row loops against the per-pixel reference: random surfaces, weights, masks, keys, flips
// and clips on every format; both must leave exactly the same pixels.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "graphics/dibx.h"

namespace nova {
namespace {

class TKernelScope {
public:
  explicit TKernelScope(TDibxKernels level) : previous_(SetDibxKernels(level)) {}
  ~TKernelScope() { SetDibxKernels(previous_); }

private:
  TDibxKernels previous_;
};

struct TWorld {
  TDIBX dst, src, mask;
};

// Pixels from a few values half of the time, so that keys and equal pixels occur.
TPixel RandomPixel(std::mt19937& rng, int bits) {
  const uint32_t full = bits == 32   ? 0xFFFFFFFFu
                        : bits == 24 ? 0xFFFFFFu
                                     : (1u << std::min(bits, 16)) - 1;
  static const uint32_t kCommon[] = {0, 0xFFFFFFFF, 0x12345678, 0x00808080};
  return (rng() & 1 ? kCommon[rng() % 4] : rng()) & full;
}

void Randomize(TDIBX& s, std::mt19937& rng, int bits) {
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      s.SetPixel(x, y, RandomPixel(rng, bits));
}

void CopyInto(TDIBX& dst, TDIBX& src) {
  dst.SetSize(src.Width(), src.Height(), src.BitCount());
  for (int y = 0; y < src.Height(); ++y)
    for (int x = 0; x < src.Width(); ++x)
      dst.SetPixel(x, y, src.GetPixel(x, y));
  dst.SetStoredClip(src.StoredClip());
}

TRect RandomRect(std::mt19937& rng, int w, int h) {
  const int l = int(rng() % (w + 20)) - 10, t = int(rng() % (h + 20)) - 10;
  return TRect{l, t, l + int(rng() % (w + 10)), t + int(rng() % (h + 10))};
}

using TOperation = std::function<void(TWorld&)>;

// One random operation with random arguments, applied identically to any world.
TOperation RandomOperation(std::mt19937& rng, int bits, std::string& name) {
  const int x = int(rng() % 60) - 20, y = int(rng() % 40) - 15;
  const int alpha = int(rng() % 256);
  const TFlip flip = static_cast<TFlip>(rng() % 4);
  const TKeyMode key = rng() & 1 ? TKeyMode::Use : TKeyMode::Ignore;
  const TRect sr = RandomRect(rng, 40, 24);
  const TRect dr = RandomRect(rng, 48, 32);
  const TPixel color = RandomPixel(rng, bits);
  const int opacity = int(rng() % 520);
  const double angle = (int(rng() % 720) - 360) * 0.0174533;
  const double zx = 0.25 + (rng() % 300) / 100.0, zy = 0.25 + (rng() % 300) / 100.0;
  switch (rng() % 22) {
  case 0:
    name = "Draw";
    return [=](TWorld& w) { w.dst.Draw(x, y, flip, key, sr, w.src); };
  case 1:
    name = "DrawMask";
    return [=](TWorld& w) { w.dst.DrawMask(x, y, w.mask, flip, sr, w.src); };
  case 2:
    name = "DrawAlpha";
    return [=](TWorld& w) { w.dst.DrawAlpha(x, y, alpha, flip, key, sr, w.src); };
  case 3:
    name = "DrawMaskAlpha";
    return [=](TWorld& w) { w.dst.DrawMaskAlpha(x, y, alpha, w.mask, flip, sr, w.src); };
  case 4:
    name = "DrawAdd";
    return [=](TWorld& w) { w.dst.DrawAdd(x, y, alpha, flip, key, sr, w.src); };
  case 5:
    name = "DrawMaskAdd";
    return [=](TWorld& w) { w.dst.DrawMaskAdd(x, y, alpha, w.mask, flip, sr, w.src); };
  case 6:
    name = "DrawColorMask";
    return [=](TWorld& w) { w.dst.DrawColorMask(x, y, alpha, color, flip, sr, w.mask); };
  case 7:
    name = "FillRect";
    return [=](TWorld& w) { w.dst.FillRect(dr, color); };
  case 8:
    name = "FillRectAlpha";
    return [=](TWorld& w) { w.dst.FillRectAlpha(dr, color, alpha); };
  case 9:
    name = "FillRectAdd";
    return [=](TWorld& w) { w.dst.FillRectAdd(dr, color); };
  case 10:
    name = "FillRectSub";
    return [=](TWorld& w) { w.dst.FillRectSub(dr, color); };
  case 11:
    name = "StretchDrawAlpha";
    return [=](TWorld& w) { w.dst.StretchDrawAlpha(dr, w.src, alpha, flip, key, sr); };
  case 12:
    name = "StretchDrawMaskAlpha";
    return [=](TWorld& w) { w.dst.StretchDrawMaskAlpha(dr, w.src, alpha, w.mask, flip, sr); };
  case 13:
    name = "StretchDrawAdd";
    return [=](TWorld& w) { w.dst.StretchDrawAdd(dr, w.src, alpha, flip, key, sr); };
  case 14:
    name = "StretchDrawMaskAdd";
    return [=](TWorld& w) { w.dst.StretchDrawMaskAdd(dr, w.src, alpha, w.mask, flip, sr); };
  case 15:
    name = "DrawRotate";
    return [=](TWorld& w) {
      w.dst.DrawRotate(x, y, opacity, key, flip, angle, sr.Height() / 2, sr.Width() / 2, sr, w.src,
                       zy, zx);
    };
  case 16:
    name = "DrawRotateMask";
    return [=](TWorld& w) {
      w.dst.DrawRotateMask(x, y, opacity, w.mask, flip, angle, 3, 4, sr, w.src, zy, zx);
    };
  case 17:
    name = "TileFillZoom";
    return [=](TWorld& w) { w.dst.TileFillZoom(dr, w.src, opacity, flip, key, y, x, zy, zx); };
  case 18:
    name = "TileFillZoomMask";
    return
        [=](TWorld& w) { w.dst.TileFillZoomMask(dr, w.src, opacity, flip, w.mask, y, x, zy, zx); };
  case 19:
    name = "TileDrawMaskAlpha";
    return
        [=](TWorld& w) { w.dst.TileDrawMaskAlpha(dr, 2, y, x, alpha, w.mask, flip, sr, w.src, 1); };
  case 20:
    name = "TileStretchDraw";
    return [=](TWorld& w) {
      w.dst.TileStretchDraw(dr, 1, y, x, opacity, zy, zx, flip, key, sr, w.src, 3);
    };
  default:
    name = "Assign";
    return [=](TWorld& w) { w.dst.Assign(w.src); };
  }
}

class DibxFastPaths : public ::testing::TestWithParam<TDibxKernels> {};

TEST_P(DibxFastPaths, MatchReferenceOnEveryFormat) {
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    std::mt19937 rng(1234 + bits);
    for (int round = 0; round < 300; ++round) {
      TWorld base{TDIBX(48 + int(rng() % 9), 32 + int(rng() % 5), bits),
                  TDIBX(40 + int(rng() % 9), 24 + int(rng() % 5), bits),
                  TDIBX(40 + int(rng() % 9), 24 + int(rng() % 5), 8)};
      Randomize(base.dst, rng, bits);
      Randomize(base.src, rng, bits);
      Randomize(base.mask, rng, 8);
      if (rng() % 4)
        base.src.SetTransparentColor(static_cast<int32_t>(base.src.GetPixel(1, 1)));
      if (rng() % 3 == 0) {
        base.dst.AddClipRect(RandomRect(rng, 48, 32));
        base.dst.AddClipRect(RandomRect(rng, 48, 32));
      }
      std::string name;
      const TOperation op = RandomOperation(rng, bits, name);
      TWorld ref, fast;
      for (TWorld* w : {&ref, &fast}) {
        CopyInto(w->dst, base.dst);
        CopyInto(w->src, base.src);
        CopyInto(w->mask, base.mask);
        w->src.SetTransparentColor(base.src.TransparentColor());
      }
      {
        TKernelScope scope(TDibxKernels::Reference);
        op(ref);
      }
      {
        TKernelScope scope(GetParam());
        op(fast);
      }
      for (int yy = 0; yy < ref.dst.Height(); ++yy)
        for (int xx = 0; xx < ref.dst.Width(); ++xx)
          ASSERT_EQ(ref.dst.GetPixel(xx, yy), fast.dst.GetPixel(xx, yy))
              << name << " bits " << bits << " round " << round << " at " << xx << "," << yy;
    }
  }
}

// Masks of pictures are runs of clear and solid bytes with soft edges; the row loops treat whole
// clear or solid blocks apart, so the runs must cross block boundaries at every phase.
void RunMask(TDIBX& mask, std::mt19937& rng) {
  for (int y = 0; y < mask.Height(); ++y) {
    int x = 0;
    while (x < mask.Width()) {
      const int len = 1 + int(rng() % 40);
      const uint32_t kind = rng() % 3;
      for (int k = 0; k < len && x < mask.Width(); ++k, ++x)
        mask.SetPixel(x, y, kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256);
    }
  }
}

struct TMaskedCase {
  const char* name;
  std::function<void(TWorld&, int alpha)> draw;
};

TEST_P(DibxFastPaths, MaskedDrawsMatchReferenceOnLongRuns) {
  const TMaskedCase cases[] = {
      {"DrawMask",
       [](TWorld& w, int) { w.dst.DrawMask(-3, 2, w.mask, TFlip{}, w.src.Bounds(), w.src); }},
      {"DrawMaskAlpha",
       [](TWorld& w, int a) {
         w.dst.DrawMaskAlpha(5, -1, a, w.mask, TFlip{}, w.src.Bounds(), w.src);
       }},
      {"DrawMaskAddFlipped",
       [](TWorld& w, int a) {
         w.dst.DrawMaskAdd(1, 1, a, w.mask, MakeFlip(true, true), w.src.Bounds(), w.src);
       }},
      {"DrawColorMask",
       [](TWorld& w, int a) {
         w.dst.DrawColorMask(0, 0, a, static_cast<TPixel>(w.dst.ColorToPixel(0x345678)), TFlip{},
                             w.mask.Bounds(), w.mask);
       }},
      {"StretchDrawMaskAlpha",
       [](TWorld& w, int a) {
         const TRect d{-7, 3, w.dst.Width() + 5, w.dst.Height() - 2};
         w.dst.StretchDrawMaskAlpha(d, w.src, a == 0 ? 255 : a, w.mask, TFlip{}, w.src.Bounds());
       }},
      {"StretchDrawMaskAddFlipped",
       [](TWorld& w, int a) {
         const TRect d{2, -4, w.dst.Width() / 2 + 9, w.dst.Height() + 3};
         w.dst.StretchDrawMaskAdd(d, w.src, a, w.mask, MakeFlip(false, true), w.src.Bounds());
       }},
      {"DrawRotateMask",
       [](TWorld& w, int a) {
         w.dst.DrawRotateMask(w.dst.Width() / 2, w.dst.Height() / 2, a, w.mask, TFlip{}, 0.35,
                              w.src.Height() / 2, w.src.Width() / 2, w.src.Bounds(), w.src, 1.3,
                              0.9);
       }},
      {"DrawRotateMaskFlippedAdd",
       [](TWorld& w, int a) {
         w.dst.DrawRotateMask(w.dst.Width() / 3, w.dst.Height() / 2, 256 + a, w.mask,
                              MakeFlip(true, true), -2.2, 4, 7, w.src.Bounds(), w.src, 0.7, 1.6);
       }},
  };
  struct TSize {
    int w, h;
  };
  const TSize sizes[] = {{7, 5}, {67, 41}, {300, 3}, {9, 130}};
  for (int bits : {15, 16, 32}) {
    std::mt19937 rng(77 + bits);
    for (const TMaskedCase& c : cases)
      for (const TSize& size : sizes)
        for (int alpha : {0, 128, 255}) {
          TWorld base{TDIBX(size.w + 11, size.h + 6, bits), TDIBX(size.w, size.h, bits),
                      TDIBX(size.w, size.h, 8)};
          Randomize(base.dst, rng, bits);
          Randomize(base.src, rng, bits);
          RunMask(base.mask, rng);
          TWorld ref, fast;
          for (TWorld* w : {&ref, &fast}) {
            CopyInto(w->dst, base.dst);
            CopyInto(w->src, base.src);
            CopyInto(w->mask, base.mask);
          }
          {
            TKernelScope scope(TDibxKernels::Reference);
            c.draw(ref, alpha);
          }
          {
            TKernelScope scope(GetParam());
            c.draw(fast, alpha);
          }
          for (int yy = 0; yy < ref.dst.Height(); ++yy)
            for (int xx = 0; xx < ref.dst.Width(); ++xx)
              ASSERT_EQ(ref.dst.GetPixel(xx, yy), fast.dst.GetPixel(xx, yy))
                  << c.name << " " << size.w << "x" << size.h << " bits " << bits << " alpha "
                  << alpha << " at " << xx << "," << yy;
        }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, DibxFastPaths,
                         ::testing::Values(TDibxKernels::Sse2, TDibxKernels::Avx2),
                         [](const auto& info) {
                           return info.param == TDibxKernels::Sse2 ? std::string("Sse2")
                                                                   : std::string("Avx2");
                         });

} // namespace
} // namespace nova
