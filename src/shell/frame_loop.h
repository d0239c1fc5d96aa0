// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>

#include "platform/clock.h"
#include "shell/loop_timing.h"

namespace nova {

// What the main window asks of whatever drives its frames: the main thread's timed waits in a
// window (TWindowLoop), the headless driver otherwise.
class IFrameLoop {
public:
  virtual ~IFrameLoop() = default;
  virtual void Start() = 0;
  virtual void Suspend() = 0;
  virtual void Resume() = 0;
  virtual void ResetTimeBase() = 0;
  // Ends the loop for good (the shutdown's "free the loop thread").
  virtual void Stop() = 0;
};

// Headless frames: each step advances the virtual time by a fixed amount and applies the same
// timing rules as a window's frames. No thread: the caller runs the frame itself.
class THeadlessLoop final : public IFrameLoop {
public:
  // `clock`, when given, is the process's virtual clock: it moves with the frames, so that
  // everything reading the platform clock sees the same time as the frame loop.
  explicit THeadlessLoop(uint32_t frame_ms, TVirtualClock* clock = nullptr)
      : frame_ms_(frame_ms), clock_(clock) {}
  void Start() override {
    running_ = true;
    timing_.Start(now_ms_);
  }
  void Suspend() override { suspended_ = true; }
  void Resume() override { suspended_ = false; }
  void ResetTimeBase() override { timing_.ResetTimeBase(now_ms_); }
  void Stop() override { running_ = false; }
  // Game time per frame: 1 normal, more while fast-forwarding.
  void SetSpeed(int speed) { timing_.SetSpeed(speed); }
  // One step of virtual time: the interval of the frame to run, or nothing (not started,
  // suspended, stopped, or a dropped stall).
  std::optional<int32_t> Step() {
    now_ms_ += frame_ms_;
    if (clock_)
      clock_->Advance(frame_ms_);
    if (!running_ || suspended_) {
      timing_.ResetTimeBase(now_ms_);
      return std::nullopt;
    }
    return timing_.Tick(now_ms_);
  }

private:
  uint32_t frame_ms_;
  TVirtualClock* clock_;
  uint32_t now_ms_ = 0;
  bool running_ = false;
  bool suspended_ = false;
  TLoopTiming timing_;
};

} // namespace nova
