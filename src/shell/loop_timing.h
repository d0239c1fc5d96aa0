// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>

#include "base/run_state.h"

namespace nova {

// The frame loop's timing rules, apart from any thread or clock: each wake-up measures the
// interval since the last one; an interval below 300 ms is a frame (GameClock and FrameDelta
// advance by it and the next wait is 15 ms minus it), a longer one is a stall and is dropped
// whole. The wait never drops below 1 ms. Fast-forward multiplies an accepted interval by its
// speed; the stall rule and the wait still go by the time measured.
class TLoopTiming {
public:
  static constexpr uint32_t kStallMs = 300;
  static constexpr int kCadenceMs = 15;

  void Start(uint32_t now_ms);
  // How long to wait before the next wake-up.
  int WaitMs() const { return wait_ms_ < 1 ? 1 : wait_ms_; }
  // A wake-up at `now_ms`: the accepted interval when a frame is due, nothing for a stall.
  std::optional<int32_t> Tick(uint32_t now_ms);
  // Measures the next interval from `now_ms` (after a pause, so it is not counted as a frame).
  void ResetTimeBase(uint32_t now_ms) { last_ms_ = now_ms; }
  // 1 is normal speed; fast-forward sets kFastForwardSpeed while its key is held.
  void SetSpeed(int speed) { speed_ = speed < 1 ? 1 : speed; }
  static constexpr int kFastForwardSpeed = 4;

private:
  uint32_t last_ms_ = 0;
  int wait_ms_ = 1;
  int speed_ = 1;
};

// A frame of `interval_ms` is accepted: the run state's clocks advance by it.
inline void AcceptFrame(TRunState& state, int32_t interval_ms) {
  state.GameClock += interval_ms;
  state.FrameDelta = interval_ms;
}

} // namespace nova
