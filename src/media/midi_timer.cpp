// SPDX-License-Identifier: MIT
#include "media/midi_timer.h"

#include <chrono>

#include "platform/clock.h"

namespace nova {

TMMTimer::TMMTimer(IClock& clock, Callback callback)
    : clock_(clock), callback_(std::move(callback)), thread_([this] { Run(); }) {}

TMMTimer::~TMMTimer() {
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void TMMTimer::Enable(uint32_t) {
  {
    std::lock_guard lock(mutex_);
    if (enabled_)
      return;
    enabled_ = true;
  }
  // The thread sleeps without a time-out while nothing plays.
  wake_.notify_all();
}

void TMMTimer::Disable() {
  std::lock_guard lock(mutex_);
  enabled_ = false;
}

bool TMMTimer::Enabled() const {
  std::lock_guard lock(mutex_);
  return enabled_;
}

void TMMTimer::Hold() {
  std::unique_lock lock(mutex_);
  held_ = true;
  idle_.wait(lock, [this] { return !running_; });
}

void TMMTimer::Release() {
  std::lock_guard lock(mutex_);
  held_ = false;
}

void TMMTimer::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TMMTimer::Run() {
  std::unique_lock lock(mutex_);
  while (!terminated_) {
    // Nothing plays: no ticks to wait for until it is enabled again (or destroyed).
    if (!enabled_) {
      wake_.wait(lock, [this] { return enabled_ || terminated_; });
      continue;
    }
    // Only a time-out ticks; a notification means the timer was enabled or is being destroyed.
    if (wake_.wait_for(lock, std::chrono::milliseconds(kIntervalMs)) != std::cv_status::timeout)
      continue;
    if (!enabled_ || held_ || terminated_)
      continue;
    running_ = true;
    lock.unlock();
    callback_(clock_.NowMs());
    lock.lock();
    running_ = false;
    idle_.notify_all();
  }
}

void TPumpedMidiTimer::Enable(uint32_t now_ms) {
  enabled_ = true;
  next_due_ms_ = now_ms + kIntervalMs;
}

void TPumpedMidiTimer::Pump(uint32_t now_ms) {
  while (enabled_ && !held_ && static_cast<int32_t>(now_ms - next_due_ms_) >= 0) {
    callback_(next_due_ms_);
    next_due_ms_ += kIntervalMs;
  }
}

} // namespace nova
