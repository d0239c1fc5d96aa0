// SPDX-License-Identifier: MIT
#pragma once
#include <condition_variable>
#include <mutex>

namespace nova {

// An event that releases one waiter per Set and then resets itself; initially not set.
class TAutoResetEvent {
public:
  void Set();
  // True when the event was set within `timeout_ms` (and is reset again), false on time-out.
  bool Wait(int timeout_ms);

private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool set_ = false;
};

} // namespace nova
