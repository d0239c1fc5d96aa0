// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <cstdint>

namespace nova {

// A millisecond clock like the one every timer of the player reads. It wraps around like a
// 32-bit tick count; users subtract two readings and never compare them directly.
class IClock {
public:
  virtual ~IClock() = default;
  // Milliseconds since an arbitrary start.
  virtual uint32_t NowMs() = 0;
  // Blocks (or, for a virtual clock, advances) for `ms` milliseconds.
  virtual void SleepMs(uint32_t ms) = 0;
};

// The machine's monotonic clock.
class TSystemClock final : public IClock {
public:
  uint32_t NowMs() override;
  void SleepMs(uint32_t ms) override;
};

// A clock that moves only when told to: headless runs and tests. Sleeping advances it.
// Thread-safe, so a test may advance it while another thread reads it.
class TVirtualClock final : public IClock {
public:
  explicit TVirtualClock(uint32_t start_ms = 0);
  uint32_t NowMs() override;
  void SleepMs(uint32_t ms) override;
  void Advance(uint32_t ms);

private:
  std::atomic<uint64_t> now_ms_;
};

// The clock of the process: the system clock unless a headless run or a test installed another.
IClock& PlatformClock();
// Installs `clock` (not owned; must outlive its use) or, with nullptr, the system clock again.
void SetPlatformClock(IClock* clock);

} // namespace nova
