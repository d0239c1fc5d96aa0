// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "media/midi_timer.h"
#include "platform/clock.h"

namespace nova {
namespace {

using namespace std::chrono_literals;

// Waits up to two seconds for `ticks` to pass `count`.
bool TicksPass(const std::atomic<int>& ticks, int count) {
  for (int i = 0; i < 200 && ticks.load() <= count; ++i)
    std::this_thread::sleep_for(10ms);
  return ticks.load() > count;
}

// The timer's thread rests while nothing plays, and an enable wakes it from that rest.
TEST(MidiTimerThread, TicksOnlyWhileEnabledAndWakesWhenEnabledAgain) {
  std::atomic<int> ticks{0};
  TMMTimer timer(PlatformClock(), [&](uint32_t) { ++ticks; });
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(ticks.load(), 0);
  timer.Enable(PlatformClock().NowMs());
  EXPECT_TRUE(TicksPass(ticks, 2));
  timer.Hold();
  timer.Disable();
  timer.Release();
  const int stopped = ticks.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(ticks.load(), stopped);
  timer.Enable(PlatformClock().NowMs());
  EXPECT_TRUE(TicksPass(ticks, stopped + 1));
}

// A callback with nothing left to do lets the thread rest; a release or an enable wakes it.
TEST(MidiTimerThread, RestsUntilReleasedOrEnabled) {
  std::atomic<int> ticks{0};
  std::atomic<bool> rest{true};
  TMMTimer* self = nullptr;
  TMMTimer timer(PlatformClock(), [&](uint32_t) {
    ++ticks;
    if (rest)
      self->Rest();
  });
  self = &timer;
  timer.Enable(PlatformClock().NowMs());
  EXPECT_TRUE(TicksPass(ticks, 0));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(ticks.load(), 1) << "resting";
  EXPECT_TRUE(timer.Enabled());
  timer.Hold();
  timer.Release();
  EXPECT_TRUE(TicksPass(ticks, 1));
  rest = false;
  timer.Enable(PlatformClock().NowMs());
  EXPECT_TRUE(TicksPass(ticks, 4)) << "an enable wakes it too";
}

} // namespace
} // namespace nova
