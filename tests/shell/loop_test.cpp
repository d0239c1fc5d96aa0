// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/run_state.h"
#include "platform/clock.h"
#include "platform/virtual_keys.h"
#include "shell/fast_forward.h"
#include "shell/frame_loop.h"
#include "shell/loop_thread.h"
#include "shell/loop_timing.h"

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

TEST(LoopThread, HandsEachFrameToTheMainThreadAndWaitsForIt) {
  ResetRunState();
  const std::thread::id main_id = std::this_thread::get_id();
  std::atomic<int> wakes{0};
  int frames = 0;
  bool off_main = false;
  {
    TLoopThread loop(
        PlatformClock(),
        [&] {
          ++frames;
          off_main |= std::this_thread::get_id() != main_id;
        },
        [&] { ++wakes; });
    loop.Start();
    // The main thread's message loop: run what was handed over until five frames ran.
    while (frames < 5) {
      loop.RunPendingFrame();
      std::this_thread::yield();
    }
    // The loop thread waits inside the hand-over: no second wake before this frame runs.
    const int before = wakes.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LE(wakes.load(), before + 1);
  } // stops while a frame may be pending
  EXPECT_FALSE(off_main);
  EXPECT_GE(RunState().GameClock, 1);
  ResetRunState();
}

TEST(LoopThread, SkipsTheFrameWhileTheScreenSwitches) {
  ResetRunState();
  int frames = 0;
  std::atomic<int> wakes{0};
  TLoopThread loop(
      PlatformClock(), [&] { ++frames; }, [&] { ++wakes; });
  RunState().SwitchingScreen = true;
  loop.Start();
  while (wakes.load() < 3)
    loop.RunPendingFrame();
  EXPECT_EQ(frames, 0);
  loop.Stop();
  ResetRunState();
}

} // namespace
} // namespace nova
