// SPDX-License-Identifier: MIT
#include "shell/loop_thread.h"

#include "base/run_state.h"

namespace nova {

TLoopThread::TLoopThread(IClock& clock, std::function<void()> frame,
                         std::function<void()> wake_main)
    : clock_(clock), frame_(std::move(frame)), wake_main_(std::move(wake_main)) {}

TLoopThread::~TLoopThread() { Stop(); }

void TLoopThread::Stop() {
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
    suspended_ = false;
  }
  changed_.notify_all();
  wake_up_.Set();
  if (thread_.joinable())
    thread_.join();
}

void TLoopThread::Start() {
  {
    std::lock_guard lock(mutex_);
    timing_.Start(clock_.NowMs());
  }
  thread_ = std::thread([this] { Execute(); });
}

void TLoopThread::Suspend() {
  std::lock_guard lock(mutex_);
  suspended_ = true;
}

void TLoopThread::Resume() {
  {
    std::lock_guard lock(mutex_);
    suspended_ = false;
  }
  changed_.notify_all();
}

void TLoopThread::ResetTimeBase() {
  std::lock_guard lock(mutex_);
  timing_.ResetTimeBase(clock_.NowMs());
}

void TLoopThread::SetSpeed(int speed) {
  std::lock_guard lock(mutex_);
  timing_.SetSpeed(speed);
}

void TLoopThread::RunPendingFrame() {
  int32_t interval_ms;
  {
    std::lock_guard lock(mutex_);
    if (!frame_pending_)
      return;
    interval_ms = pending_interval_ms_;
  }
  // The run state belongs to the main thread: the clocks advance here, during the hand-over.
  AcceptFrame(RunState(), interval_ms);
  // The frame step does nothing while the screen mode changes.
  if (!RunState().SwitchingScreen)
    frame_();
  {
    std::lock_guard lock(mutex_);
    frame_pending_ = false;
  }
  changed_.notify_all();
}

void TLoopThread::Execute() {
  for (;;) {
    int wait_ms;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return terminated_ || !suspended_; });
      if (terminated_)
        return;
      wait_ms = timing_.WaitMs();
    }
    // A signal instead of a time-out means: stop.
    if (wake_up_.Wait(wait_ms))
      return;
    std::unique_lock lock(mutex_);
    if (terminated_)
      return;
    if (suspended_)
      continue;
    const std::optional<int32_t> interval = timing_.Tick(clock_.NowMs());
    if (!interval)
      continue;
    pending_interval_ms_ = *interval;
    frame_pending_ = true;
    lock.unlock();
    wake_main_();
    lock.lock();
    changed_.wait(lock, [this] { return terminated_ || !frame_pending_; });
  }
}

} // namespace nova
