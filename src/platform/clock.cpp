// SPDX-License-Identifier: MIT
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace nova {

namespace {
TSystemClock g_system_clock;
std::atomic<IClock*> g_clock{nullptr};
} // namespace

uint32_t TSystemClock::NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TSystemClock::SleepMs(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TVirtualClock::TVirtualClock(uint32_t start_ms) : now_ms_(start_ms) {}

uint32_t TVirtualClock::NowMs() { return static_cast<uint32_t>(now_ms_.load()); }

void TVirtualClock::SleepMs(uint32_t ms) { Advance(ms); }

void TVirtualClock::Advance(uint32_t ms) { now_ms_.fetch_add(ms); }

IClock& PlatformClock() {
  IClock* clock = g_clock.load();
  return clock ? *clock : g_system_clock;
}

void SetPlatformClock(IClock* clock) { g_clock.store(clock); }

} // namespace nova
