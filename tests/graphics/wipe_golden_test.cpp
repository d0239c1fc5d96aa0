// SPDX-License-Identifier: MIT
// Transitions whose pictures come from scaled, rotated or scan-converted drawing or from the
// random generator, compared with reviewed references in tests/golden: each reference holds the
// start, the middle and the moment just before the end side by side.
#include <gtest/gtest.h>

#include "expr/random.h"
#include "golden_compare.h"
#include "wipe_test_fixture.h"

namespace nova {
namespace {

struct TGoldenWipe {
  const char* name;
  int kind;
  bool reverse;
  int p0, p1;
};

constexpr int kAny = INT32_MIN;

const TGoldenWipe kGoldenWipes[] = {
    {"wipe_mosaic", WP_MOSAIC, false, kAny, kAny},
    {"wipe_rubber_h", WP_RUBBERH, false, kAny, kAny},
    {"wipe_rubber_v_reversed", WP_RUBBERV, true, kAny, kAny},
    {"wipe_small", WP_SMALL, false, 90, kAny},
    {"wipe_big_reversed", WP_BIG, true, 45, kAny},
    {"wipe_ripple", WP_RIPPLE, false, 4, kAny},
    {"wipe_blur_white", WP_BLURWHITE, false, kAny, kAny},
    {"wipe_blur_black", WP_BLURBLACK, false, kAny, kAny},
    {"wipe_twist_h", WP_TWISTH, false, kAny, kAny},
    {"wipe_twist_v_reversed", WP_TWISTV, true, kAny, kAny},
    {"wipe_crack", WP_CRACK, false, 16, 2},
    {"wipe_zoomin", WP_ZOOMIN, false, 36, 9},
    {"wipe_clockhand", WP_CLOCKHAND, false, 30, kAny},
    {"wipe_clockhand_reversed", WP_CLOCKHAND, true, 0, kAny},
    {"wipe_fan", WP_FAN, false, 90, kAny},
    {"wipe_wfan", WP_WFAN, false, 0, kAny},
    {"wipe_block_random", WP_BLOCKRANDOM, false, 10, kAny},
};

TEST(WipeGolden, ThreeMomentsOfEachKind) {
  constexpr int kDuration = 900;
  const int moments[] = {0, kDuration / 2, kDuration - 1};
  for (const TGoldenWipe& g : kGoldenWipes) {
    SCOPED_TRACE(g.name);
    GlobalRandom().seed = 20261210;
    test::TWipeRun run(g.kind, kDuration, g.reverse, g.p0, g.p1);
    ASSERT_TRUE(run.wipe);
    TDIBX strip(3 * test::kWipeW, test::kWipeH, 32);
    for (int i = 0; i < 3; ++i) {
      run.StepTo(moments[i]);
      strip.Draw(i * test::kWipeW, 0, FlipNone, TKeyMode::Ignore, run.screen.Bounds(), run.screen);
    }
    test::CompareWithGolden(strip, g.name);
  }
}

} // namespace
} // namespace nova
