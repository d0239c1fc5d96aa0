// SPDX-License-Identifier: MIT
// Timers and property motions.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

// Advances the game clock to `now` and runs one update step.
void UpdateAt(TNovaBaseList& list, int64_t now) {
  RunState().FrameDelta = static_cast<int32_t>(now - RunState().GameClock);
  RunState().GameClock = now;
  list.UpdateStep();
}

TNovaTimer* NewTimer(TNovaBaseList& list, int32_t period) {
  auto* t = CreateComponent<TNovaTimer>(&list);
  t->SetName("t");
  t->SetProp(PR_ONNOTIFY, TPropValue::Str("tick"));
  t->SetProp(PR_DELAY, TPropValue::Int(period));
  return t;
}

TEST(Timer, FiresOnItsCadenceWhateverTheFrameTimes) {
  ResetRunState();
  TNovaBaseList list(10, 10);
  NewTimer(list, 1000);
  std::vector<int64_t> fired;
  for (int64_t now : {500, 1010, 1500, 2005, 2990, 3001, 3500}) {
    UpdateAt(list, now);
    if (!Drain(list).empty())
      fired.push_back(now);
  }
  EXPECT_EQ(fired, (std::vector<int64_t>{1010, 2005, 3001}));
}

TEST(Timer, PeriodZeroFiresOnceItsEventHasLeft) {
  ResetRunState();
  TNovaBaseList list(10, 10);
  NewTimer(list, 0);
  UpdateAt(list, 16);
  UpdateAt(list, 32);
  EXPECT_EQ(list.Events().Count(), 1) << "the once rule holds the second";
  Drain(list);
  UpdateAt(list, 48);
  EXPECT_EQ(list.Events().Count(), 1);
}

TEST(Timer, ChangingThePeriodOrPausingStartsAnew) {
  ResetRunState();
  TNovaBaseList list(10, 10);
  TNovaTimer* t = NewTimer(list, 1000);
  UpdateAt(list, 900);
  t->SetPaused(true);
  UpdateAt(list, 1500);
  EXPECT_TRUE(Drain(list).empty());
  t->SetPaused(false);
  UpdateAt(list, 2400);
  EXPECT_TRUE(Drain(list).empty()) << "unpausing starts a new period at 1500";
  UpdateAt(list, 2500);
  EXPECT_EQ(Drain(list).size(), 1u);
  UpdateAt(list, 2600);
  list.Events().Queue(t, "tick", {}, PR_ONNOTIFY);
  t->SetProp(PR_DELAY, TPropValue::Int(100));
  EXPECT_EQ(list.Events().Count(), 0) << "a restart drops the waiting notification";
}

TEST(Timer, AutoScrapEndsAfterTheFirstEventHasRun) {
  ResetRunState();
  TNovaBaseList list(10, 10);
  TNovaTimer* t = NewTimer(list, 100);
  t->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  UpdateAt(list, 100);
  list.Events().Start(0, 1); // the handler runs
  UpdateAt(list, 150);
  EXPECT_NE(list.FindByName("t"), nullptr);
  list.Events().RemoveLevel(1);
  UpdateAt(list, 160);
  EXPECT_EQ(list.FindByName("t"), nullptr);
}

struct CurveCase {
  int32_t curve;
  int32_t elapsed;
  double expected;
};

TEST(PropMotion, CurvesFromStartToEnd) {
  const CurveCase cases[] = {
      {MT_NORMAL, 500, 50.0},
      {MT_NORMAL, 0, 0.0},
      // Slow start: the far end of the sine.
      {MT_INC, 500, 100 - std::sin(499 * (std::numbers::pi / 2) / 1000) * 100},
      {MT_INC, 999, 100.0},
      // Slow end: the near end of the sine.
      {MT_DEC, 500, std::sin(500 * (std::numbers::pi / 2) / 1000) * 100},
      {MT_DEC, 100, std::sin(100 * (std::numbers::pi / 2) / 1000) * 100},
  };
  for (const CurveCase& c : cases)
    EXPECT_NEAR(static_cast<double>(TNovaPropMotion::ValueAt(c.curve, 0, 100, c.elapsed, 1000)),
                c.expected, 1e-9)
        << "curve " << c.curve << " at " << c.elapsed;
}

TEST(PropMotion, MovesTheTargetAndEndsAtTheEndValue) {
  ResetRunState();
  TNovaBaseList list(200, 100);
  TNovaBox* box = NewBox(list, "b", 0, 0, 10, 10);
  auto* m = CreateComponent<TNovaPropMotion>(&list);
  m->SetName("m");
  m->SetTarget("b");
  m->SetPropId(PR_LEFT);
  m->SetEndValue(100);
  m->SetDuration(1000);
  std::vector<int32_t> lefts;
  for (int i = 0; i < 4; ++i) {
    RunState().FrameDelta = 500;
    list.UpdateStep();
    lefts.push_back(box->Left());
  }
  EXPECT_EQ(lefts, (std::vector<int32_t>{0, 50, 100, 100}));
  EXPECT_EQ(list.FindByName("m"), nullptr) << "finished after the end value";
}

TEST(PropMotion, EndsWhenItsTargetIsMissingOrGone) {
  ResetRunState();
  TNovaBaseList list(200, 100);
  TNovaBox* box = NewBox(list, "b", 0, 0, 10, 10);
  auto make = [&list](const std::string& name, const std::string& target, int prop) {
    auto* m = CreateComponent<TNovaPropMotion>(&list);
    m->SetName(name);
    m->SetTarget(target);
    m->SetPropId(prop);
    m->SetDuration(1000);
    return m;
  };
  make("missing", "nobody", PR_LEFT);
  make("bad id", "b", 255);
  make("refused", "b", PR_APPEARX);
  make("follows", "b", PR_TOP);
  RunState().FrameDelta = 16;
  list.UpdateStep();
  EXPECT_EQ(list.FindByName("missing"), nullptr);
  EXPECT_EQ(list.FindByName("bad id"), nullptr);
  EXPECT_EQ(list.FindByName("refused"), nullptr) << "a refused write ends the motion";
  ASSERT_NE(list.FindByName("follows"), nullptr);
  box->FreeLater();
  list.UpdateStep();
  list.UpdateStep();
  EXPECT_EQ(list.FindByName("follows"), nullptr);
}

TEST(PropMotion, SavedMotionFindsItsTargetAgainOrEnds) {
  ResetRunState();
  TNovaBaseList list(200, 100);
  TNovaBox* box = NewBox(list, "b", 0, 0, 10, 10);
  auto saved = [](TNovaPropMotion* m) {
    BinaryWriter w;
    m->Save(w);
    return w.Take();
  };
  auto load = [&list](const std::vector<uint8_t>& bytes, const std::string& name) {
    auto* copy = CreateComponent<TNovaPropMotion>(&list);
    BinaryReader r(bytes, "save.dat");
    copy->Load(r, 143);
    copy->SetNameRaw(name);
    return copy;
  };
  auto* waiting = CreateComponent<TNovaPropMotion>(&list);
  waiting->SetTarget("b");
  waiting->SetPropId(PR_LEFT);
  waiting->SetDuration(1000);
  // A motion that has not yet looked for its target still names it.
  const std::vector<uint8_t> waiting_bytes = saved(waiting);
  auto* orphan = CreateComponent<TNovaPropMotion>(&list);
  orphan->SetTarget("b");
  orphan->SetPropId(PR_LEFT);
  orphan->SetDuration(1000);
  RunState().FrameDelta = 16;
  orphan->Update();
  box->FreeLater();
  list.UpdateStep();
  // One whose target went away ends instead of animating whatever now carries the name.
  const std::vector<uint8_t> orphan_bytes = saved(orphan);
  NewBox(list, "b", 7, 0, 10, 10);
  load(waiting_bytes, "a");
  load(orphan_bytes, "o");
  list.UpdateStep();
  EXPECT_NE(list.FindByName("a"), nullptr);
  EXPECT_EQ(list.FindByName("o"), nullptr);
}

} // namespace
} // namespace nova::test
