// SPDX-License-Identifier: MIT
#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/auto_reset_event.h"
#include "platform/clock.h"
#include "shell/frame_loop.h"
#include "shell/loop_timing.h"

namespace nova {

// The thread that only measures time: about every 15 ms it hands one frame to the main thread
// and waits until the main thread has run it, so nothing of the scene or the scripts is ever
// touched off the main thread.
class TLoopThread final : public IFrameLoop {
public:
  // `wake_main` is called on the loop thread to make the main thread call RunPendingFrame soon.
  TLoopThread(IClock& clock, std::function<void()> frame, std::function<void()> wake_main);
  // Stops the thread: terminate, resume, wake, join.
  ~TLoopThread() override;
  TLoopThread(const TLoopThread&) = delete;
  TLoopThread& operator=(const TLoopThread&) = delete;

  void Start() override;
  // Pause while the application is inactive.
  void Suspend() override;
  void Resume() override;
  // Measures the next interval from now.
  void ResetTimeBase() override;
  void Stop() override;
  // Game time per frame: 1 normal, more while fast-forwarding. Any thread.
  void SetSpeed(int speed);
  // Main thread: runs the frame handed over, if one waits, and releases the loop thread.
  void RunPendingFrame();

private:
  void Execute();

  IClock& clock_;
  std::function<void()> frame_;
  std::function<void()> wake_main_;
  TAutoResetEvent wake_up_;
  std::mutex mutex_;
  std::condition_variable changed_;
  TLoopTiming timing_;
  bool terminated_ = false;
  bool suspended_ = false;
  bool frame_pending_ = false;
  int32_t pending_interval_ms_ = 0;
  std::thread thread_;
};

} // namespace nova
