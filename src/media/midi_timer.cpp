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
    if (enabled_ && !resting_)
      return;
    enabled_ = true;
    resting_ = false;
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
  {
    std::lock_guard lock(mutex_);
    held_ = false;
    // What was changed under the hold may give the ticks something to do again.
    if (!resting_)
      return;
    resting_ = false;
  }
  wake_.notify_all();
}

void TMMTimer::Rest() {
  std::lock_guard lock(mutex_);
  resting_ = true;
}

void TMMTimer::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TMMTimer::Run() {
  std::unique_lock lock(mutex_);
  while (!terminated_) {
    // Nothing plays, or nothing is left to play: no ticks to wait for until it is enabled or
    // released again (or destroyed).
    if (!enabled_ || resting_) {
      wake_.wait(lock, [this] { return (enabled_ && !resting_) || terminated_; });
      continue;
    }
    // Only a time-out ticks; a notification means the timer was woken or is being destroyed.
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
