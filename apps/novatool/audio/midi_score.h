// SPDX-License-Identifier: MIT
// A piece of music written as text (docs/sound-tools.md): a tempo, then tracks of notes such as
// `C4 q  [C4 E4 G4] h  r e`. Parsing yields a score; WriteSmf turns it into a Standard MIDI
// File of type 1 (a conductor track, then one track per written track).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nova::tool {

struct TScoreNote {
  int32_t start = 0, end = 0; // ticks
  uint8_t key = 60, velocity = 80;
};

// A message other than a note, and where it goes among the messages of its tick: setup (0)
// first, then note-offs, then a pedal lifted (1), note-ons, then a pedal pressed (2).
struct TScoreMessage {
  int32_t tick = 0;
  uint8_t rank = 0;
  std::string bytes; // status and data, or FF type length data for a meta event
};

struct TScoreTrack {
  std::string name;
  uint8_t channel = 0; // 0-based
  std::vector<TScoreNote> notes;
  std::vector<TScoreMessage> messages;
};

struct TScore {
  int division = 480;    // ticks per quarter note
  int32_t length = 0;    // ticks; every track ends here, so a repeat keeps the beat
  TScoreTrack conductor; // tempo and time signature
  std::vector<TScoreTrack> tracks;
};

// Caps on what a text may ask for.
inline constexpr int kMaxScoreTracks = 64;
inline constexpr size_t kMaxScoreEvents = 200'000;
inline constexpr int32_t kMaxScoreTicks = 1 << 28;

// Reads a score; a fault throws ENovaError "NAME:LINE: what is wrong".
TScore ParseMidiScore(std::string_view text, const std::string& name);

// The bytes of a Standard MIDI File of type 1.
std::vector<uint8_t> WriteSmf(const TScore& score);

} // namespace nova::tool
