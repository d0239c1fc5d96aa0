// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <string>

namespace nova {

// A process-wide named lock: at most one process holds a given name. The lock is released when
// the object goes away or the process ends, also by a crash.
class TInstanceLock {
public:
  // Takes the lock named `name` (any bytes); nullptr when another process holds it.
  // Throws ENovaError when the lock file cannot be made.
  static std::unique_ptr<TInstanceLock> TryAcquire(const std::string& name);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

private:
  explicit TInstanceLock(int fd) : fd_(fd) {}
  int fd_;
};

} // namespace nova
