// SPDX-License-Identifier: MIT
#include "shell/fast_forward.h"

#include "platform/virtual_keys.h"
#include "shell/loop_timing.h"

namespace nova {

bool TFastForward::Take(const TWindowEvent& e) {
  if (!enabled_)
    return false;
  if (e.kind == TWindowEventKind::Deactivate) {
    held_ = false;
    return false;
  }
  if ((e.kind != TWindowEventKind::KeyDown && e.kind != TWindowEventKind::KeyUp) ||
      e.key != vk::kTab)
    return false;
  held_ = e.kind == TWindowEventKind::KeyDown;
  return true;
}

int TFastForward::Speed() const { return held_ ? TLoopTiming::kFastForwardSpeed : 1; }

} // namespace nova
