// SPDX-License-Identifier: MIT
// The sequencer's 10 ms timer. In a window it is a thread of its own; headless (and in tests)
// the frame step pumps it with the virtual clock, so every run sends the same messages at the
// same positions.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace nova {

class IClock;

class IMidiTimer {
public:
  // Called with the clock reading of the tick, on the timer's thread.
  using Callback = std::function<void(uint32_t now_ms)>;
  static constexpr uint32_t kIntervalMs = 10;

  virtual ~IMidiTimer() = default;
  // Ticks follow from the next interval after `now_ms` on.
  virtual void Enable(uint32_t now_ms) = 0;
  virtual void Disable() = 0;
  virtual bool Enabled() const = 0;
  // Returns once no callback runs, and keeps further ticks from calling it until Release.
  virtual void Hold() = 0;
  virtual void Release() = 0;
  // Runs the ticks that are due by `now_ms` (the pumped timer; the thread ignores it).
  virtual void Pump(uint32_t now_ms) = 0;
  // Waits `ms` as the timer's time goes (a real sleep for the thread, none when pumped).
  virtual void Sleep(uint32_t ms) = 0;
  // Called back with nothing left to do: no further ticks until the next Enable or Release.
  // Enabled stays as it is. The pumped timer, whose ticks cost nothing, ignores it.
  virtual void Rest() = 0;
};

// Ticks every 10 ms of the clock on a thread of its own, which sleeps untimed while disabled or
// resting.
class TMMTimer final : public IMidiTimer {
public:
  TMMTimer(IClock& clock, Callback callback);
  ~TMMTimer() override;
  void Enable(uint32_t now_ms) override;
  void Disable() override;
  bool Enabled() const override;
  void Hold() override;
  void Release() override;
  void Pump(uint32_t) override {}
  void Sleep(uint32_t ms) override;
  void Rest() override;

private:
  void Run();

  IClock& clock_;
  Callback callback_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  bool enabled_ = false;
  bool held_ = false;
  bool resting_ = false;
  bool running_ = false; // the idle signal, inverted
  bool terminated_ = false;
  std::thread thread_;
};

// Ticks only when pumped: one callback per 10 ms step of the given clock readings.
class TPumpedMidiTimer final : public IMidiTimer {
public:
  explicit TPumpedMidiTimer(Callback callback) : callback_(std::move(callback)) {}
  void Enable(uint32_t now_ms) override;
  void Disable() override { enabled_ = false; }
  bool Enabled() const override { return enabled_; }
  void Hold() override { held_ = true; }
  void Release() override { held_ = false; }
  void Pump(uint32_t now_ms) override;
  void Sleep(uint32_t) override {}
  void Rest() override {}

private:
  Callback callback_;
  bool enabled_ = false;
  bool held_ = false;
  uint32_t next_due_ms_ = 0;
};

} // namespace nova
