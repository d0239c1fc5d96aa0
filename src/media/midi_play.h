// SPDX-License-Identifier: MIT
// `TMidiPlayV`: plays the events of a `TMidiV` to a MIDI output from a 10 ms timer, with
// seeking (chasing every message but the notes), repeat, all-notes-off on every jump, and a
// per-controller scale that the music volume rides on.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "media/midi_file.h"
#include "media/midi_timer.h"

namespace nova {

class IClock;
class IMidiOut;
class IMidiPorts;
class TMidiLog;

// How the sequencer's timer runs: on its own thread (a window) or pumped by the frame step with
// the virtual clock (headless, tests).
enum class TMidiTiming : uint8_t { Thread, Pumped };

class TMidiPlayV : public TMidiV {
public:
  static constexpr int kChannels = 16;
  static constexpr int kControllers = 128;

  // `ports` may be null (nothing can be opened; messages only reach the log).
  TMidiPlayV(IMidiPorts* ports, TMidiTiming timing, IClock& clock);
  ~TMidiPlayV() override;
  TMidiPlayV(const TMidiPlayV&) = delete;
  TMidiPlayV& operator=(const TMidiPlayV&) = delete;

  // Stops, reads the file and rewinds to its start; false when no events were loaded.
  bool Load(std::span<const uint8_t> data);
  // Opens output `device` (-1: the default); any open output is closed first.
  bool Open(int device);
  void Close();
  bool IsOpen() const { return out_ != nullptr; }
  // Sends the General MIDI System On message. The device forgets every program and
  // controller, so the next PlayAt chases from the start of the file.
  void Reset();
  void PlayAt(int32_t ms);
  void Stop();
  bool IsPlaying() const { return timer_->Enabled(); }
  bool IsAtEnd();
  int32_t Position();
  bool Repeat();
  void SetRepeat(bool on);
  // Scales `controller` on all channels by `percent`; sends the scaled values when playing.
  void SetControllerScale(int controller, int percent);
  // The tempo of the last set-tempo event sent, in beats per minute.
  int32_t TempoBpm();

  // Pumped timing: runs the timer ticks due by `now_ms`.
  void Pump(uint32_t now_ms) { timer_->Pump(now_ms); }
  // Every message sent from now on is also written to `log` (null: none). Not owned.
  void SetLog(TMidiLog* log);

private:
  void OnTimer(uint32_t now_ms);
  int32_t TargetIndex(int32_t ms) const;
  void Chase(int32_t target);
  void SendEvent(const TMidiMsgEvent& event);
  void SendController(int channel, int controller);
  void AllNotesOff();
  void SendShort(std::span<const uint8_t> bytes);
  void SendLong(std::span<const uint8_t> bytes);

  IMidiPorts* ports_;
  IClock& clock_;
  std::unique_ptr<IMidiTimer> timer_;
  std::unique_ptr<IMidiOut> out_;
  TMidiLog* log_ = nullptr;

  // Guards everything below and every message sent.
  std::mutex lock_;
  int32_t current_ = 0;
  int32_t position_ms_ = 0;
  uint32_t last_tick_ms_ = 0;
  bool repeat_ = false;
  int32_t tempo_bpm_ = 120;
  std::array<std::array<uint8_t, kControllers>, kChannels> values_{};
  std::array<std::array<int32_t, kControllers>, kChannels> scales_{};
};

} // namespace nova
