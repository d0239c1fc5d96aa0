// SPDX-License-Identifier: MIT
#include "platform/auto_reset_event.h"

#include <chrono>

namespace nova {

void TAutoResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    set_ = true;
  }
  cv_.notify_one();
}

bool TAutoResetEvent::Wait(int timeout_ms) {
  std::unique_lock lock(mutex_);
  if (!cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return set_; }))
    return false;
  set_ = false;
  return true;
}

} // namespace nova
