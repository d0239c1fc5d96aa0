// SPDX-License-Identifier: MIT
// `TMidiV`: a Standard MIDI File read into one list of events sorted by tick and timed in
// milliseconds. Damaged files load what can be read up to the damage; nothing a file claims is
// allocated before the bytes are there.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

enum TMidiCarrier : uint8_t { mcChannel = 0, mcSysEx = 1, mcMeta = 2 };

// What an event is, derived from its message bytes.
enum TMidiKind : uint8_t {
  mkOther = 0,
  mkNoteOn = 1,
  mkNoteOff = 2,
  mkKeyPressure = 3,
  mkControl = 4,
  mkProgram = 5,
  mkChannelPressure = 6,
  mkPitchBend = 7,
  mkGsReset = 8,
  mkTempo = 9,
  mkSequenceNumber = 10, // 10..17: meta 0x00..0x07
  mkCuePoint = 17,
  mkEndOfTrack = 18,
  mkMeta52 = 19,
  mkTimeSignature = 20,
  mkKeySignature = 21,
};

uint8_t MidiKindOf(const std::string& message);

struct TMidiMsgEvent {
  int32_t tick = 0;     // from the start of its track
  int32_t time = 0;     // milliseconds, set by the timing pass
  int32_t delta = 0;    // the delta-time read before the event
  int32_t sequence = 0; // reading order over the whole file
  std::string message;  // status and data bytes; sysex: status + data; meta: FF, type, data
  uint8_t carrier = mcChannel;
  uint8_t kind = mkOther;
  int32_t track = 0;

  void SetMessage(std::string bytes) {
    message = std::move(bytes);
    kind = MidiKindOf(message);
  }
  uint8_t Status() const { return message.empty() ? 0 : static_cast<uint8_t>(message[0]); }
  uint8_t Data(size_t i) const {
    return i + 1 < message.size() ? static_cast<uint8_t>(message[i + 1]) : 0;
  }
};

struct TMidiTimeSignature {
  int32_t tick = 0;
  int32_t numerator = 4;
  int32_t denominator = 4;
};

class TMidiV {
public:
  // No file holds more events than this; a file claiming more is damaged and loads no further.
  static constexpr size_t kMaxEvents = 1'000'000;

  virtual ~TMidiV() = default;

  // Replaces the events by those of the file; false when no event was loaded (no Standard MIDI
  // File, division 0, nothing readable). A damaged track keeps the events read before the
  // damage and `Problem()` says what was wrong.
  bool ReadFile(std::span<const uint8_t> data);

  const std::vector<TMidiMsgEvent>& Events() const { return events_; }
  const std::vector<TMidiTimeSignature>& TimeSignatures() const { return time_signatures_; }
  int32_t Division() const { return division_; }
  // The time of the last event in milliseconds (0 without events).
  int32_t LengthMs() const { return events_.empty() ? 0 : events_.back().time; }
  // The first damage found by the last ReadFile, in words; empty for a sound file.
  const std::string& Problem() const { return problem_; }

protected:
  std::vector<TMidiMsgEvent> events_;

private:
  void Clear();
  void ReadTracks(std::span<const uint8_t> data);
  void SortAndTime();

  std::vector<TMidiTimeSignature> time_signatures_;
  int32_t division_ = 0;
  std::string problem_;
};

} // namespace nova
