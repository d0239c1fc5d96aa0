// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/run_state.h"
#include "platform/clock.h"
#include "platform/virtual_keys.h"
#include "shell/fast_forward.h"
#include "shell/frame_loop.h"
#include "shell/loop_timing.h"
#include "shell/window_loop.h"

namespace nova {
namespace {

// Feeds wake-up times to the timing rules as a clock would, accepting frames into `state`.
struct TTimingRun {
  TLoopTiming timing;
  TRunState state;
  int frames = 0;
  std::vector<int> waits;
  explicit TTimingRun(uint32_t start) { timing.Start(start); }
  void At(uint32_t now) {
    if (auto interval = timing.Tick(now)) {
      AcceptFrame(state, *interval);
      ++frames;
    }
    waits.push_back(timing.WaitMs());
  }
};

TEST(LoopTiming, StallIsDroppedAndTheClockSumsAcceptedIntervals) {
  TTimingRun run(1000);
  run.At(1016); // 16
  run.At(1031); // 15
  run.At(6031); // a 5-second stall (a modal box): no frame, no clock advance
  run.At(6047); // 16
  run.At(6059); // 12
  EXPECT_EQ(run.frames, 4);
  EXPECT_EQ(run.state.GameClock, 16 + 15 + 16 + 12);
  EXPECT_EQ(run.state.FrameDelta, 12);
  EXPECT_EQ(run.waits, (std::vector<int>{1, 1, 1, 1, 3}));
}

TEST(LoopTiming, BoundaryAndWaitRules) {
  struct Case {
    uint32_t elapsed;
    bool frame;
    int wait;
  };
  const Case cases[] = {
      {0, true, 15},  {1, true, 14},   {14, true, 1},
      {15, true, 1},  {100, true, 1}, // 15 - 100 is negative: the wait never drops below 1 ms
      {299, true, 1}, {300, false, 1}, {5000, false, 1},
  };
  for (const Case& c : cases) {
    TTimingRun run(0xFFFFFF00u); // across the wrap of the millisecond clock
    run.At(0xFFFFFF00u + c.elapsed);
    EXPECT_EQ(run.frames, c.frame ? 1 : 0) << c.elapsed;
    EXPECT_EQ(run.state.GameClock, c.frame ? c.elapsed : 0) << c.elapsed;
    EXPECT_EQ(run.waits.back(), c.wait) << c.elapsed;
  }
}

TEST(LoopTiming, ResetTimeBaseKeepsAPauseOutOfTheNextFrame) {
  TTimingRun run(0);
  run.At(16);
  run.timing.ResetTimeBase(10000);
  run.At(10016);
  EXPECT_EQ(run.frames, 2);
  EXPECT_EQ(run.state.GameClock, 32);
}

TEST(HeadlessLoop, RunsFixedFramesAndNoneWhileSuspended) {
  THeadlessLoop loop(16);
  EXPECT_FALSE(loop.Step()); // not started
  loop.Start();
  EXPECT_EQ(loop.Step(), 16);
  loop.Suspend();
  EXPECT_FALSE(loop.Step());
  EXPECT_FALSE(loop.Step());
  loop.Resume();
  EXPECT_EQ(loop.Step(), 16); // the pause does not count
  THeadlessLoop slow(400);
  slow.Start();
  EXPECT_FALSE(slow.Step()); // every interval is a stall
}

// Holding Tab moves the game clock four times as fast, for as long as it is held; the stall
// rule and the wait still go by real time.
TEST(FastForward, GameClockRunsFourTimesAsFastOnlyWhileTabIsHeld) {
  using K = TWindowEventKind;
  const struct {
    K kind;
    int key;
    bool taken;
    int interval; // of the next headless frame of 16 ms
  } steps[] = {
      {K::Wake, 0, false, 16},          {K::KeyDown, vk::kTab, true, 64},
      {K::KeyDown, vk::kA, false, 64},  // other keys pass
      {K::KeyDown, vk::kTab, true, 64}, // a repeat
      {K::KeyUp, vk::kTab, true, 16},   {K::KeyDown, vk::kTab, true, 64},
      {K::Deactivate, 0, false, 16}, // the release would go to another window
  };
  TFastForward fast(true);
  THeadlessLoop loop(16);
  loop.Start();
  TRunState state;
  int expected_clock = 0;
  for (const auto& s : steps) {
    EXPECT_EQ(fast.Take({.kind = s.kind, .key = s.key}), s.taken);
    loop.SetSpeed(fast.Speed());
    const std::optional<int32_t> interval = loop.Step();
    ASSERT_TRUE(interval);
    EXPECT_EQ(*interval, s.interval);
    AcceptFrame(state, *interval);
    expected_clock += s.interval;
  }
  EXPECT_EQ(state.GameClock, expected_clock);
  // Disabled (headless without --turbo), Tab is the title's.
  TFastForward off(false);
  EXPECT_FALSE(off.Take({.kind = K::KeyDown, .key = vk::kTab}));
  EXPECT_EQ(off.Speed(), 1);
  // A stall stays a stall at any speed.
  TTimingRun run(0);
  run.timing.SetSpeed(TLoopTiming::kFastForwardSpeed);
  run.At(10);
  run.At(400);
  EXPECT_EQ(run.state.GameClock, 40);
  EXPECT_EQ(run.waits, (std::vector<int>{5, 1}));
}

// The main thread's frames on a clock that moves only when told: the loop says how long the
// main thread may sleep, runs nothing before that, and keeps the cadence of the timing rules.
TEST(WindowLoop, SleepsUntilTheFrameIsDueAndKeepsTheCadence) {
  ResetRunState();
  TVirtualClock clock(0xFFFFFFF0u); // across the wrap of the millisecond clock
  int frames = 0;
  uint32_t frame_cost_ms = 0;
  TWindowLoop loop(clock, [&] {
    ++frames;
    clock.Advance(frame_cost_ms);
  });
  EXPECT_EQ(loop.MsUntilDue(), TWindowLoop::kIdleWaitMs) << "not started";
  loop.Start();
  EXPECT_EQ(loop.MsUntilDue(), 1);
  EXPECT_FALSE(loop.RunDueFrame()) << "nothing before it is due";
  clock.Advance(1);
  EXPECT_TRUE(loop.RunDueFrame());
  EXPECT_EQ(loop.MsUntilDue(), 14);
  clock.Advance(9); // an event woke the main thread early: the frame is not due yet
  EXPECT_FALSE(loop.RunDueFrame());
  EXPECT_EQ(loop.MsUntilDue(), 5);
  clock.Advance(5);
  frame_cost_ms = 20; // a slow frame: the next wait starts when it has run
  EXPECT_TRUE(loop.RunDueFrame());
  EXPECT_EQ(loop.MsUntilDue(), 1);
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(RunState().GameClock, 1 + 14);
  frame_cost_ms = 0;
  clock.Advance(1);
  EXPECT_TRUE(loop.RunDueFrame());
  EXPECT_EQ(RunState().FrameDelta, 21) << "the slow frame's time belongs to the next interval";
  clock.Advance(5000); // a stall: no frame, no clock advance, and the next one comes soon
  EXPECT_FALSE(loop.RunDueFrame());
  EXPECT_EQ(RunState().GameClock, 1 + 14 + 21);
  EXPECT_EQ(loop.MsUntilDue(), 1);
  EXPECT_EQ(frames, 3);
  ResetRunState();
}

TEST(WindowLoop, NoFramesWhileSuspendedOrSwitchingTheScreen) {
  ResetRunState();
  TVirtualClock clock;
  int frames = 0;
  TWindowLoop loop(clock, [&] { ++frames; });
  loop.Start();
  loop.Suspend();
  clock.Advance(1000);
  EXPECT_EQ(loop.MsUntilDue(), TWindowLoop::kIdleWaitMs);
  EXPECT_FALSE(loop.RunDueFrame());
  loop.Resume();
  loop.ResetTimeBase(); // as activation does: the pause is not one long frame
  EXPECT_EQ(loop.MsUntilDue(), 1) << "the wait starts again at the resume";
  clock.Advance(1);
  EXPECT_TRUE(loop.RunDueFrame());
  EXPECT_EQ(RunState().GameClock, 1);
  // While the screen mode changes the frame is accepted but its step does not run.
  RunState().SwitchingScreen = true;
  clock.Advance(14);
  EXPECT_TRUE(loop.RunDueFrame());
  EXPECT_EQ(frames, 1);
  RunState().SwitchingScreen = false;
  loop.Stop();
  clock.Advance(100);
  EXPECT_FALSE(loop.RunDueFrame());
  EXPECT_EQ(frames, 1);
  ResetRunState();
}

} // namespace
} // namespace nova
