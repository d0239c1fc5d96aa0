// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>

#include "platform/clock.h"
#include "shell/frame_loop.h"
#include "shell/loop_timing.h"

namespace nova {

// The frames of a window, timed on the main thread itself: between two frames the main thread
// sleeps in the window's event wait for as long as MsUntilDue says (an event wakes it earlier),
// then runs the frame. Nothing of the scene or the scripts is touched off the main thread, and
// a still screen costs neither a thread hand-over nor a busy wait. Main thread only.
class TWindowLoop final : public IFrameLoop {
public:
  // How long to sleep while no frame can come (not started, suspended): long enough to cost
  // nothing, short enough to notice a stop signal soon.
  static constexpr int kIdleWaitMs = 100;

  TWindowLoop(IClock& clock, std::function<void()> frame);

  void Start() override;
  // Pause while the application is inactive.
  void Suspend() override;
  void Resume() override;
  // Measures the next interval from now.
  void ResetTimeBase() override;
  void Stop() override;
  // Game time per frame: 1 normal, more while fast-forwarding.
  void SetSpeed(int speed) { timing_.SetSpeed(speed); }

  // Milliseconds until the next frame is due: 0 when it is due now.
  int MsUntilDue() const;
  // When a frame is due: advances the run state's clocks and runs the frame step (not while
  // the screen mode changes), or drops a stall. True when a frame was accepted.
  bool RunDueFrame();

private:
  bool Running() const { return started_ && !suspended_; }

  IClock& clock_;
  std::function<void()> frame_;
  TLoopTiming timing_;
  // The wait for the next frame starts when the last one has run, as a timer thread's would.
  uint32_t wait_start_ms_ = 0;
  bool started_ = false;
  bool suspended_ = false;
};

} // namespace nova
