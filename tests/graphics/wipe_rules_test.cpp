// SPDX-License-Identifier: MIT
// Transitions whose rule is plain arithmetic, checked pixel for pixel against that rule at the
// start, the middle and just before the end; the creation and stepping protocol; the exact
// sector and circle fills.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "base/sjis.h"
#include "expr/random.h"
#include "graphics/private/wipe_sector_fill.h"
#include "graphics/wisp_permutation.h"
#include "wipe_test_fixture.h"

namespace nova {
namespace {

using test::kWipeH;
using test::kWipeW;
using test::TWipeRun;

constexpr int kDuration = 1000;
constexpr int kMoments[] = {0, kDuration / 2, kDuration - 1};

// Per-channel arithmetic on 32-bit pixels.
uint32_t PerChannel(uint32_t a, uint32_t b, const std::function<int(int, int)>& f) {
  uint32_t out = 0;
  for (int s = 0; s < 24; s += 8)
    out |= static_cast<uint32_t>(std::clamp(f((a >> s) & 0xFF, (b >> s) & 0xFF), 0, 255)) << s;
  return out;
}
uint32_t Blend(uint32_t d, uint32_t s, int a) {
  return PerChannel(d, s, [a](int x, int y) { return (x * (255 - a) + y * a) >> 8; });
}
// The mask rule: 0 old, 255 new, between a blend (equal pixels stay).
uint32_t Masked(uint32_t o, uint32_t n, int m) {
  return m == 0 ? o : m == 255 ? n : o == n ? o : Blend(o, n, m);
}
uint32_t AddGrey(uint32_t p, int v) {
  return PerChannel(p, 0, [v](int x, int) { return x + v; });
}
uint32_t SubGrey(uint32_t p, int v) {
  return PerChannel(p, 0, [v](int x, int) { return x - v; });
}
int Ramp(int64_t a, int64_t s, int width) {
  return a < s ? 0 : static_cast<int>(std::min<int64_t>(255, (a - s) * 255 / width));
}

// What one pixel must be: the moment, the pictures and the pixel.
struct TAt {
  int e, d, x, y;
  const TDIBX& o;
  const TDIBX& n;
  uint32_t Old(int px, int py) const { return o.GetPixel(px, py); }
  uint32_t New(int px, int py) const { return n.GetPixel(px, py); }
  uint32_t Old() const { return Old(x, y); }
  uint32_t New() const { return New(x, y); }
  int64_t P(int64_t scale) const { return int64_t{e} * scale / d; }
  uint32_t Mask(int m) const { return Masked(Old(), New(), m); }
};

using TRule = std::function<uint32_t(const TAt&)>;

struct TRuleCase {
  const char* name;
  int kind;
  bool reverse;
  int p0, p1; // INT32_MIN: the default
  TRule rule;
};

constexpr int kDefault = INT32_MIN;

uint32_t Blinds(const TAt& at, int line, int period, int ramp, bool reverse) {
  const int64_t a = at.P(ramp + 2 * period - 2);
  const int phase = line % period;
  return at.Mask(Ramp(a, 2 * (reverse ? period - 1 - phase : phase), ramp));
}

uint32_t Curtain(const TAt& at, int line, int lines, int group, bool reverse) {
  const int64_t a = at.P(((lines + group - 1) / group + group - 2) * 16 + 1);
  const int i = reverse ? lines - 1 - line : line;
  return at.Mask(Ramp(a, 16 * (i / group + i % group), 1));
}

// Cells of 12 pixels, ramp 10; `distance` and `span` in units of 4.
uint32_t Grid(const TAt& at, int cy_row, const std::function<int64_t(int, int)>& distance,
              int64_t span) {
  const int cell = 12, ramp = 10;
  const int64_t a = at.P(ramp + span - 4);
  const int cx = at.x / cell, cy = cy_row / cell;
  const int64_t dist = distance(cx, cy);
  if (a < dist)
    return at.Old();
  const int64_t side = std::min<int64_t>(cell, cell * (a - dist) / ramp);
  const int64_t lx = at.x - cx * cell - (cell - side) / 2,
                ly = cy_row - cy * cell - (cell - side) / 2;
  if (side <= 0 || lx < 0 || ly < 0 || lx >= side || ly >= side)
    return at.Old();
  return at.Mask(Ramp(a, dist, ramp));
}

// The spiral of 12-pixel blocks over the 4 x 3 blocks of the picture.
const int kCoil[12][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2},
                          {2, 2}, {1, 2}, {0, 2}, {0, 1}, {1, 1}, {2, 1}};

uint32_t Coil(const TAt& at, bool reverse) {
  int index = 0;
  while (kCoil[index][0] != at.x / 12 || kCoil[index][1] != at.y / 12)
    ++index;
  const int64_t n = reverse ? 11 * int64_t{at.d - at.e} / at.d : at.P(11);
  return at.Mask(reverse ? (index >= n ? 255 : 0) : (index <= n ? 255 : 0));
}

uint32_t Spot(const TAt& at, bool reverse) {
  const int cx = kWipeW / 2, cy = kWipeH / 2;
  const int64_t reach = std::llrint(std::hypot(cy, cx));
  int64_t dist = std::llrint(std::hypot(std::abs(at.y - cy), std::abs(at.x - cx)));
  if (reverse)
    dist = reach - dist;
  const int64_t k = at.P(reach + 512) - dist;
  if (k < 0)
    return at.Old();
  if (k < 256)
    return AddGrey(at.Old(), static_cast<int>(k));
  if (k < 512)
    return AddGrey(at.New(), static_cast<int>(511 - k));
  return at.New();
}

uint32_t MaskGrey(const TAt& at, bool add, bool reverse) {
  int g = test::GreyMaskLevel(at.x, at.y);
  if (reverse)
    g = 255 - g;
  const int64_t index = at.P(768) + 255;
  const int64_t j = index + g - 255;
  const int v = j < 256 ? 0 : j <= 767 ? static_cast<int>(j - 256) : 511;
  const auto grey = add ? AddGrey : SubGrey;
  return v <= 255 ? grey(at.Old(), v) : grey(at.New(), 511 - v);
}

uint32_t Dither(const TAt& at) {
  static const std::vector<int> rank = [] {
    const std::vector<uint32_t> order = PermutationOrder(12341, 4096);
    std::vector<int> r(4096);
    for (int i = 0; i < 4096; ++i)
      r[order[static_cast<size_t>(i)]] = i;
    return r;
  }();
  const int cell = at.x % 64 + 64 * (at.y % 64);
  return at.Mask(rank[static_cast<size_t>(cell)] < at.P(4096) ? 255 : 0);
}

uint32_t Fade(const TAt& at, int ox, int oy) {
  const double c = static_cast<double>(at.d - at.e - 1) / at.d;
  const int dx = static_cast<int>(std::nearbyint(ox * c)),
            dy = static_cast<int>(std::nearbyint(oy * c));
  const int sx = at.x - dx, sy = at.y - dy;
  const int w = static_cast<int>(at.P(256));
  if (w == 0 || sx < 0 || sy < 0 || sx >= kWipeW || sy >= kWipeH)
    return at.Old();
  const uint32_t o = at.Old(), n = at.New(sx, sy);
  return o == n ? o : Blend(o, n, w);
}

uint32_t Scroll(const TAt& at, bool horizontal, bool reverse) {
  const int size = horizontal ? kWipeW : kWipeH, pos = horizontal ? at.x : at.y;
  const int a = static_cast<int>(at.P(size));
  // Old moves out by a and new follows it in from the other side.
  const bool old_side = reverse ? pos >= a : pos < size - a;
  const int from =
      old_side ? (reverse ? pos - a : pos + a) : (reverse ? pos - a + size : pos - size + a);
  const int x = horizontal ? from : at.x, y = horizontal ? at.y : from;
  return old_side ? at.Old(x, y) : at.New(x, y);
}

uint32_t Sudare(const TAt& at, bool horizontal, bool reverse) {
  const int size = horizontal ? kWipeW : kWipeH, pos = horizontal ? at.x : at.y;
  int a = static_cast<int>(at.P(2 * size - 1));
  const bool second = a >= size;
  if (second)
    a = 2 * size - a - 1;
  int from = pos;
  if (!reverse && pos <= a)
    from = a;
  if (reverse && pos >= size - a - 1)
    from = size - a - 1;
  const int x = horizontal ? from : at.x, y = horizontal ? at.y : from;
  return second ? at.New(x, y) : at.Old(x, y);
}

uint32_t Circle(const TAt& at, bool reverse) {
  const double t = static_cast<double>(at.e) / at.d;
  const int64_t r = std::llrint(std::hypot(kWipeW / 2, kWipeH / 2) * (reverse ? 1 - t : t));
  const int64_t dx = 2 * at.x + 1 - kWipeW, dy = 2 * at.y + 1 - kWipeH;
  const bool inside = dx * dx + dy * dy <= 4 * r * r;
  return at.Mask(inside != reverse ? 255 : 0);
}

const TRuleCase kRuleCases[] = {
    {"fade", WP_FADE, false, kDefault, kDefault, [](const TAt& a) { return Fade(a, 0, 0); }},
    {"fade sliding", WP_FADE, false, -30, 17, [](const TAt& a) { return Fade(a, -30, 17); }},
    {"blind h", WP_BLINDH, false, kDefault, kDefault,
     [](const TAt& a) { return Blinds(a, a.x, 20, 1, false); }},
    {"blind h ramp reversed", WP_BLINDH, true, 7, 9,
     [](const TAt& a) { return Blinds(a, a.x, 7, 9, true); }},
    {"blind v ramp", WP_BLINDV, false, 6, 40,
     [](const TAt& a) { return Blinds(a, a.y, 6, 40, false); }},
    {"curtain h", WP_CURTAINH, false, 5, kDefault,
     [](const TAt& a) { return Curtain(a, a.x, kWipeW, 5, false); }},
    {"curtain v reversed", WP_CURTAINV, true, 4, kDefault,
     [](const TAt& a) { return Curtain(a, a.y, kWipeH, 4, true); }},
    {"grid", WP_GRID, false, 12, 10,
     [](const TAt& a) {
       return Grid(
           a, a.y, [](int cx, int cy) { return 4 * std::llrint(std::hypot(cy, cx)); },
           4 * std::llrint(std::hypot(2, 3)));
     }},
    {"grid reversed", WP_GRID, true, 12, 10,
     [](const TAt& a) {
       return Grid(
           a, a.y, [](int cx, int cy) { return 4 * std::llrint(std::hypot(2 - cy, 3 - cx)); },
           4 * std::llrint(std::hypot(2, 3)));
     }},
    {"grid h", WP_GRIDH, false, 12, 10,
     [](const TAt& a) {
       return Grid(
           a, a.y % 12, [](int cx, int) { return 4 * cx; }, 16);
     }},
    {"grid v reversed", WP_GRIDV, true, 12, 10,
     [](const TAt& a) {
       return Grid(
           a, a.y, [](int, int cy) { return 4 * (2 - cy); }, 12);
     }},
    {"dither", WP_DITHER, false, kDefault, kDefault, Dither},
    {"mask fade", WP_MASKFADE, false, kDefault, kDefault,
     [](const TAt& a) {
       return a.Mask(std::clamp<int>(
           static_cast<int>(a.P(512) + 255 + test::GreyMaskLevel(a.x, a.y) - 511), 0, 255));
     }},
    {"mask fade reversed", WP_MASKFADE, true, kDefault, kDefault,
     [](const TAt& a) {
       return a.Mask(std::clamp<int>(
           static_cast<int>(a.P(512) + 255 + 255 - test::GreyMaskLevel(a.x, a.y) - 511), 0, 255));
     }},
    {"block coil", WP_BLOCKCOIL, false, 12, kDefault, [](const TAt& a) { return Coil(a, false); }},
    {"block coil reversed", WP_BLOCKCOIL, true, 12, kDefault,
     [](const TAt& a) { return Coil(a, true); }},
    {"circle", WP_CIRCLE, false, kDefault, kDefault, [](const TAt& a) { return Circle(a, false); }},
    {"circle reversed", WP_CIRCLE, true, kDefault, kDefault,
     [](const TAt& a) { return Circle(a, true); }},
    {"scroll h", WP_SCROLLH, false, kDefault, kDefault,
     [](const TAt& a) { return Scroll(a, true, false); }},
    {"scroll v reversed", WP_SCROLLV, true, kDefault, kDefault,
     [](const TAt& a) { return Scroll(a, false, true); }},
    {"white", WP_WHITE, false, kDefault, kDefault,
     [](const TAt& a) {
       const int q = static_cast<int>(a.P(511));
       return q < 256 ? AddGrey(a.Old(), q) : AddGrey(a.New(), 511 - q);
     }},
    {"black", WP_BLACK, false, kDefault, kDefault,
     [](const TAt& a) {
       const int q = static_cast<int>(a.P(511));
       return q < 256 ? SubGrey(a.Old(), q) : SubGrey(a.New(), 511 - q);
     }},
    {"flash", WP_FLASH, false, kDefault, kDefault,
     [](const TAt& a) { return AddGrey(a.New(), 255 - static_cast<int>(a.P(255))); }},
    {"sudare h", WP_SUDAREH, false, kDefault, kDefault,
     [](const TAt& a) { return Sudare(a, true, false); }},
    {"sudare v reversed", WP_SUDAREV, true, kDefault, kDefault,
     [](const TAt& a) { return Sudare(a, false, true); }},
    {"spot", WP_SPOT, false, kDefault, kDefault, [](const TAt& a) { return Spot(a, false); }},
    {"spot reversed", WP_SPOT, true, kDefault, kDefault,
     [](const TAt& a) { return Spot(a, true); }},
    {"mask white", WP_MASKWHITE, false, kDefault, kDefault,
     [](const TAt& a) { return MaskGrey(a, true, false); }},
    {"mask black reversed", WP_MASKBLACK, true, kDefault, kDefault,
     [](const TAt& a) { return MaskGrey(a, false, true); }},
};

TEST(WipeRules, EveryPixelFollowsTheKindsRuleAtThreeMoments) {
  for (const TRuleCase& c : kRuleCases) {
    for (const int e : kMoments) {
      SCOPED_TRACE(testing::Message() << c.name << " at " << e);
      TWipeRun run(c.kind, kDuration, c.reverse, c.p0, c.p1);
      ASSERT_TRUE(run.wipe);
      ASSERT_FALSE(run.StepTo(e));
      int wrong = 0;
      for (int y = 0; y < kWipeH; ++y)
        for (int x = 0; x < kWipeW; ++x) {
          const TAt at{e, kDuration, x, y, run.old_picture, run.new_picture};
          const uint32_t want = c.rule(at), got = run.screen.GetPixel(x, y);
          if (want != got && ++wrong <= 3)
            ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got << " not "
                          << want;
        }
      EXPECT_EQ(wrong, 0);
    }
  }
}

// The table of kinds: caption and the parameters every new wipe starts with.
struct TKindDefaults {
  int kind;
  const char* caption;
  int p0, p1;
};

const TKindDefaults kDefaults[] = {
    {WP_FADE, "フェード", 0, 0},
    {WP_BLINDH, "ブラインド横", 20, 1},
    {WP_BLINDV, "ブラインド縦", 20, 1},
    {WP_CURTAINH, "カーテン横", 30, 1},
    {WP_CURTAINV, "カーテン縦", 30, 1},
    {WP_SCROLLH, "スクロール横", 0, 0},
    {WP_SCROLLV, "スクロール縦", 0, 0},
    {WP_GRID, "格子", 80, 30},
    {WP_GRIDH, "格子(横)", 80, 30},
    {WP_GRIDV, "格子(縦)", 80, 30},
    {WP_DITHER, "ディザ", 2, 1},
    {WP_WHITE, "ホワイト", 0, 0},
    {WP_BLACK, "ブラック", 0, 0},
    {WP_FLASH, "フラッシュ", 0, 0},
    {WP_MOSAIC, "モザイク", 0, 0},
    {WP_SUDAREH, "すだれ横", 0, 0},
    {WP_SUDAREV, "すだれ縦", 0, 0},
    {WP_SPOT, "スポットライト", 0, 0},
    {WP_MASKFADE, "マスクフェード", 2, 1},
    {WP_MASKWHITE, "マスクホワイト", 0, 0},
    {WP_MASKBLACK, "マスクブラック", 0, 0},
    {WP_SMALL, "表画面縮小", 0, 0},
    {WP_BIG, "裏画面拡大", 0, 0},
    {WP_RIPPLE, "波紋", 5, 0},
    {WP_BLURWHITE, "白ぼかし", 0, 0},
    {WP_BLURBLACK, "黒ぼかし", 0, 0},
    {WP_TWISTH, "ひねり横", 0, 0},
    {WP_TWISTV, "ひねり縦", 0, 0},
    {WP_CRACK, "チップ落下", 64, 3},
    {WP_ZOOMIN, "ズームイン", 0, 0},
    {WP_CLOCKHAND, "時計の針", 0, 0},
    {WP_RUBBERH, "ゴム(横)", 0, 0},
    {WP_RUBBERV, "ゴム(縦)", 0, 0},
    {WP_FAN, "扇", 0, 0},
    {WP_WFAN, "扇(両側)", 0, 0},
    {WP_CIRCLE, "円", 2, 1},
    {WP_BLOCKCOIL, "ブロック(とぐろ)", 60, 0},
    {WP_BLOCKRANDOM, "ブロック(ランダム)", 60, 0},
};

TEST(WipeKinds, CreationGivesCaptionAndDefaultsForEveryKind) {
  ASSERT_EQ(std::size(kDefaults), 38u);
  TDIBX s(8, 8, 32), o(8, 8, 32), n(8, 8, 32);
  for (const TKindDefaults& k : kDefaults) {
    SCOPED_TRACE(k.caption);
    const auto wipe = CreateWipe(k.kind, s, o, n);
    ASSERT_TRUE(wipe);
    EXPECT_EQ(WipeCaption(k.kind), Utf8ToSjis(k.caption));
    EXPECT_EQ(wipe->Param(0), k.p0);
    EXPECT_EQ(wipe->Param(1), k.p1);
  }
  for (const int kind : {int{WP_NONE}, 39, 255, -1})
    EXPECT_FALSE(CreateWipe(kind, s, o, n)) << kind;
}

TEST(WipeKinds, SetParamKeepsEachKindsLowerBounds) {
  struct TBound {
    int kind, p0, p1; // the least values kept; INT32_MIN: any
  };
  const TBound bounds[] = {
      {WP_BLINDH, 2, 1},
      {WP_CURTAINH, 1, 1},
      {WP_CURTAINV, 1, 1},
      {WP_GRIDV, 2, 1},
      {WP_DITHER, 2, 1},
      {WP_MASKFADE, 2, 1},
      {WP_CIRCLE, 2, 1},
      {WP_CRACK, 16, 0},
      {WP_FADE, INT32_MIN, INT32_MIN},
      {WP_FAN, INT32_MIN, INT32_MIN},
      {WP_BLOCKCOIL, INT32_MIN, INT32_MIN},
  };
  TDIBX s(8, 8, 32), o(8, 8, 32), n(8, 8, 32);
  for (const TBound& b : bounds) {
    SCOPED_TRACE(b.kind);
    const auto wipe = CreateWipe(b.kind, s, o, n);
    wipe->SetParam(0, -50);
    wipe->SetParam(1, -50);
    EXPECT_EQ(wipe->Param(0), b.p0 == INT32_MIN ? -50 : b.p0);
    EXPECT_EQ(wipe->Param(1), b.p1 == INT32_MIN ? -50 : b.p1);
    wipe->SetParam(0, 1000);
    EXPECT_EQ(wipe->Param(0), 1000);
  }
}

TEST(WipeKinds, EveryKindIsDoneWithoutDrawingOnceItsTimeIsUp) {
  for (const TKindDefaults& k : kDefaults) {
    for (const int duration : {kDuration, 0, -5}) {
      SCOPED_TRACE(testing::Message() << k.caption << " duration " << duration);
      TWipeRun run(k.kind, duration);
      run.screen.Clear(0x123456);
      EXPECT_TRUE(run.StepTo(std::max(duration, 0)));
      EXPECT_TRUE(run.StepTo(duration + 7));
      for (int y = 0; y < kWipeH; y += 5)
        for (int x = 0; x < kWipeW; x += 5)
          ASSERT_EQ(run.screen.GetPixel(x, y), 0x123456u);
    }
  }
}

// Every kind at 16 and 32 bits gives the same pixels through the vector row loops as through
// the per-pixel reference, and starts from the old picture.
TEST(WipeKinds, RowLoopsMatchTheReferenceAtBothDepths) {
  for (const int bits : {16, 32}) {
    for (const TKindDefaults& k : kDefaults) {
      for (const int e : kMoments) {
        SCOPED_TRACE(testing::Message() << k.caption << " " << bits << " bits at " << e);
        GlobalRandom().seed = 77;
        const TDibxKernels previous = SetDibxKernels(TDibxKernels::Reference);
        TWipeRun reference(k.kind, kDuration, false, INT32_MIN, INT32_MIN, 70, 50, bits);
        reference.StepTo(e);
        SetDibxKernels(BestDibxKernels());
        GlobalRandom().seed = 77;
        TWipeRun fast(k.kind, kDuration, false, INT32_MIN, INT32_MIN, 70, 50, bits);
        fast.StepTo(e);
        SetDibxKernels(previous);
        int differing = 0;
        for (int y = 0; y < 50; ++y)
          for (int x = 0; x < 70; ++x)
            differing += reference.screen.GetPixel(x, y) != fast.screen.GetPixel(x, y);
        EXPECT_EQ(differing, 0);
      }
    }
  }
}

// Parameters come from scripts: the extremes of the integer range must neither overflow nor
// allocate what they claim.
TEST(WipeKinds, ExtremeParametersAreDrawnSafely) {
  const int extremes[][2] = {
      {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}, {INT32_MAX, 0}, {0, INT32_MAX}};
  for (const TKindDefaults& k : kDefaults)
    for (const auto& p : extremes)
      for (const bool reverse : {false, true}) {
        SCOPED_TRACE(testing::Message() << k.caption << " " << p[0] << ", " << p[1]);
        TWipeRun run(k.kind, kDuration, reverse, p[0], p[1]);
        for (const int e : {0, 1, 611, kDuration - 1})
          EXPECT_FALSE(run.StepTo(e));
      }
}

TEST(WipeKinds, MaskKindsDrawNothingWhileTheirMaskStaysTheSame) {
  TWipeRun run(WP_BLINDH, kDuration);
  run.StepTo(400);
  run.screen.FillRect({0, 0, 5, 5}, 0xABCDEF);
  run.StepTo(400); // the same progress: nothing to draw
  EXPECT_EQ(run.screen.GetPixel(2, 2), 0xABCDEFu);
  run.StepTo(500);
  EXPECT_NE(run.screen.GetPixel(2, 2), 0xABCDEFu);
}

TEST(WipeKinds, BinaryBlindsSwitchWholeColumns) {
  TWipeRun run(WP_BLINDH, kDuration);
  run.StepTo(300);
  auto* mask = dynamic_cast<TWipeMask*>(run.wipe.get());
  ASSERT_TRUE(mask);
  EXPECT_TRUE(mask->Binary());
  for (int x = 0; x < kWipeW; ++x) {
    const bool is_new = run.screen.GetPixel(x, 0) == run.new_picture.GetPixel(x, 0);
    for (int y = 0; y < kWipeH; ++y)
      ASSERT_EQ(run.screen.GetPixel(x, y),
                is_new ? run.new_picture.GetPixel(x, y) : run.old_picture.GetPixel(x, y));
  }
}

TEST(WipeKinds, DitherHalfwayShowsHalfOfEveryBlockInTheSameCells) {
  TWipeRun run(WP_DITHER, kDuration, false, INT32_MIN, INT32_MIN, 192, 128);
  run.StepTo(kDuration / 2);
  for (int by = 0; by < 2; ++by)
    for (int bx = 0; bx < 3; ++bx) {
      int fresh = 0;
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
          const int px = bx * 64 + x, py = by * 64 + y;
          const bool is_new = run.screen.GetPixel(px, py) == run.new_picture.GetPixel(px, py);
          fresh += is_new;
          ASSERT_EQ(is_new, run.screen.GetPixel(x, y) == run.new_picture.GetPixel(x, y));
        }
      EXPECT_EQ(fresh, 2048);
    }
}

TEST(WipeKinds, WhiteSwitchesToTheNewPictureAtTheBrightestStep) {
  // q = elapsed * 511 / 1022: 255 at 510, 256 at 512.
  TWipeRun run(WP_WHITE, 1022);
  run.StepTo(510);
  EXPECT_EQ(run.screen.GetPixel(3, 4), AddGrey(run.old_picture.GetPixel(3, 4), 255));
  run.StepTo(512);
  EXPECT_EQ(run.screen.GetPixel(3, 4), AddGrey(run.new_picture.GetPixel(3, 4), 255));
}

TEST(WipeKinds, MaskKindsWithoutTheirPictureAreTimedFades) {
  TDIBX s(20, 10, 32), o = test::OldPicture(20, 10), n = test::NewPicture(20, 10);
  auto wipe = CreateWipe(WP_MASKFADE, s, o, n);
  wipe->duration = 512;
  wipe->SetMaskName("missing.png");
  wipe->SetPictureSource([](const std::string&) { return nullptr; });
  wipe->Prepare();
  wipe->elapsed = 100; // index 355: m = 99 everywhere
  wipe->Step();
  for (int x = 0; x < 20; ++x)
    EXPECT_EQ(s.GetPixel(x, 5), Masked(o.GetPixel(x, 5), n.GetPixel(x, 5), 99));
}

TEST(WipeKinds, CrackWithoutDelayDropsEveryChipAtOnce) {
  GlobalRandom().seed = 5;
  TWipeRun run(WP_CRACK, kDuration, false, 16, 0);
  run.StepTo(kDuration / 3);
  // Every chip has left its place: its top-left corner no longer shows the old picture there.
  for (int y = 0; y < kWipeH; y += 16)
    for (int x = 0; x < kWipeW; x += 16)
      EXPECT_NE(run.screen.GetPixel(x, y), run.old_picture.GetPixel(x, y)) << x << "," << y;
}

// ---------------------------------------------------------------------------------------------

constexpr double kPi = std::numbers::pi;

// Which pixels of a small field a sector covers: the start edge belongs to it, the end edge
// does not. Fields of odd size put pixel centres exactly on the axes.
TEST(WipeSectorFill, StartEdgeIsInsideAndEndEdgeOutside) {
  struct TCase {
    int w, h;
    double start, sweep;
    const char* rows; // '#' inside
  };
  const TCase cases[] = {
      // 5 x 3: the centre row lies on angle 0 (right) and pi (left), the centre column on
      // pi / 2 (down) and 3 pi / 2 (up); the centre pixel counts as angle 0.
      {5, 3, 0, kPi / 2,
       "....."
       "..###"
       "...##"},
      {5, 3, -kPi / 2, kPi / 2,
       "..###"
       "....."
       "....."},
      {5, 3, kPi, kPi,
       "#####"
       "##..."
       "....."},
      {5, 3, 0, 2 * kPi,
       "#####"
       "#####"
       "#####"},
      {5, 3, 1.0, 0,
       "....."
       "....."
       "....."},
      // 3 x 3: the centre pixel counts as angle 0.
      {3, 3, 0, kPi / 4,
       "..."
       ".##"
       "..."},
      {3, 3, kPi / 2, kPi / 2,
       "..."
       "..."
       "##."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " from " << c.start);
    TDIBX mask(c.w, c.h, 8);
    mask.Clear(0);
    wipe::TSectorField field;
    field.Build(c.w, c.h);
    field.Fill(mask, c.start, c.sweep, 255);
    std::string got;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        got += mask.GetPixel(x, y) == 255 ? '#' : '.';
    EXPECT_EQ(got, c.rows);
  }
}

TEST(WipeSectorFill, CircleTakesPixelsWhoseCentreIsWithinTheRadius) {
  struct TCase {
    int w, h;
    int64_t r;
    const char* rows;
  };
  const TCase cases[] = {
      {4, 4, 0,
       "...."
       "...."
       "...."
       "...."},
      {4, 4, 1,
       "...."
       ".##."
       ".##."
       "...."},
      {3, 3, 0,
       "..."
       ".#."
       "..."},
      {3, 3, 1,
       ".#."
       "###"
       ".#."},
      {5, 5, 2,
       "..#.."
       ".###."
       "#####"
       ".###."
       "..#.."},
      {2, 2, -3, "...."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " r " << c.r);
    TDIBX mask(c.w, c.h, 8);
    wipe::FillCircle(mask, c.r, 255, 0);
    std::string got;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        got += mask.GetPixel(x, y) == 255 ? '#' : '.';
    EXPECT_EQ(got, c.rows);
  }
}

} // namespace
} // namespace nova
