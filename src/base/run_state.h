// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <cstdint>

namespace nova {

// The process-wide run state of the frame loop. Every timed effect advances by FrameDelta
// once per frame. Only the main thread writes it, except Terminating, which any thread may set.
struct TRunState {
  std::atomic<bool> Terminating{false};
  int64_t GameClock = 0;     // ms, sum of accepted frame intervals
  int32_t FrameDelta = 0;    // ms, the last accepted interval
  int32_t FrameTick = 16;    // ms
  int32_t FpsDivisor = 1;
  uint32_t FrameCounter = 0;
  bool SwitchingScreen = false;
  int32_t SkipDrawCount = 0;
};

// The one run state of the process.
TRunState& RunState();
// Back to the start values (tests, and a player restarted in the same process).
void ResetRunState();

}  // namespace nova
