// SPDX-License-Identifier: MIT
#include "shell/loop_timing.h"

namespace nova {

void TLoopTiming::Start(uint32_t now_ms) {
  last_ms_ = now_ms;
  wait_ms_ = 1;
}

std::optional<int32_t> TLoopTiming::Tick(uint32_t now_ms) {
  // Unsigned subtraction: the millisecond clock may wrap between two readings.
  const uint32_t elapsed = now_ms - last_ms_;
  last_ms_ = now_ms;
  if (elapsed >= kStallMs) {
    wait_ms_ = 1;
    return std::nullopt;
  }
  wait_ms_ = kCadenceMs - static_cast<int>(elapsed);
  return static_cast<int32_t>(elapsed) * speed_;
}

} // namespace nova
