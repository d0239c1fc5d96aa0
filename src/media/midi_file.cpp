// SPDX-License-Identifier: MIT
#include "media/midi_file.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/binary_reader.h"
#include "base/nova_error.h"

namespace nova {

namespace {

constexpr int32_t kDefaultTempo = 500000; // microseconds per quarter note
constexpr uint8_t kGsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

uint32_t BigEndian(BinaryReader& in, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value = (value << 8) | in.U8();
  return value;
}

// A delta-time; the format allows four bytes, so a fifth means the track is damaged.
uint32_t VariableLength(BinaryReader& in) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const uint8_t byte = in.U8();
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0)
      return value;
  }
  in.Fail("a variable-length quantity longer than 4 bytes");
}

int32_t SaturatedInt32(int64_t value) {
  return static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

// Events come out of one track's bytes; the status survives from event to event.
class TrackReader {
public:
  TrackReader(BinaryReader& in, int32_t track, std::vector<TMidiMsgEvent>& events,
              std::vector<TMidiTimeSignature>& signatures, int32_t& sequence)
      : in_(in), track_(track), events_(events), signatures_(signatures), sequence_(sequence) {}

  // Reads up to and including the end-of-track event; throws ENovaError at damage.
  void Read() {
    for (;;) {
      if (events_.size() >= TMidiV::kMaxEvents)
        in_.Fail("more events than any MIDI file holds");
      if (ReadEvent())
        return;
    }
  }

private:
  // True after the end-of-track event.
  bool ReadEvent() {
    TMidiMsgEvent event;
    const uint32_t delta = VariableLength(in_);
    tick_ = std::min<int64_t>(tick_ + delta, std::numeric_limits<int32_t>::max());
    event.delta = static_cast<int32_t>(delta);
    event.tick = static_cast<int32_t>(tick_);
    uint8_t byte = in_.U8();
    if (byte & 0x80) {
      status_ = byte;
    } else {
      if (status_ == 0)
        in_.Fail("a data byte before any status byte");
      in_.Seek(in_.position() - 1);
    }
    std::string message(1, static_cast<char>(status_));
    event.carrier = mcChannel;
    switch (status_ >> 4) {
    case 0x8:
    case 0x9:
    case 0xA:
    case 0xB:
    case 0xE:
      Append(message, 2);
      break;
    case 0xC:
    case 0xD:
      Append(message, 1);
      break;
    case 0xF:
      if (status_ == 0xFF) {
        message.push_back(static_cast<char>(in_.U8()));
        Append(message, in_.U8());
        event.carrier = mcMeta;
      } else if (status_ == 0xF0 || status_ == 0xF7) {
        Append(message, in_.U8());
        event.carrier = mcSysEx;
      }
      break;
    default:
      break;
    }
    event.sequence = sequence_++;
    event.track = track_;
    event.SetMessage(std::move(message));
    if (event.kind == mkTimeSignature && event.message.size() >= 4) {
      // The denominator is a power of two; larger exponents than any real meter are capped.
      const int exponent = std::min<int>(event.Data(2), 30);
      signatures_.push_back({event.tick, event.Data(1), int32_t{1} << exponent});
    }
    const bool end = event.kind == mkEndOfTrack;
    events_.push_back(std::move(event));
    return end;
  }

  void Append(std::string& message, size_t count) {
    const auto bytes = in_.Bytes(count);
    message.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  BinaryReader& in_;
  int32_t track_;
  std::vector<TMidiMsgEvent>& events_;
  std::vector<TMidiTimeSignature>& signatures_;
  int32_t& sequence_;
  int64_t tick_ = 0;
  uint8_t status_ = 0;
};

} // namespace

uint8_t MidiKindOf(const std::string& message) {
  if (message.empty())
    return mkOther;
  const uint8_t status = static_cast<uint8_t>(message[0]);
  if (status < 0x80)
    return mkOther;
  switch (status >> 4) {
  case 0x8:
    return mkNoteOff;
  case 0x9:
    return message.size() >= 3 && message[2] != 0 ? mkNoteOn : mkNoteOff;
  case 0xA:
    return mkKeyPressure;
  case 0xB:
    return mkControl;
  case 0xC:
    return mkProgram;
  case 0xD:
    return mkChannelPressure;
  case 0xE:
    return mkPitchBend;
  default:
    break;
  }
  if (status == 0xF0 && message.size() == sizeof kGsReset &&
      std::equal(message.begin(), message.end(), std::begin(kGsReset),
                 [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }))
    return mkGsReset;
  if (status != 0xFF || message.size() < 2)
    return mkOther;
  const uint8_t type = static_cast<uint8_t>(message[1]);
  if (type <= 0x07)
    return static_cast<uint8_t>(mkSequenceNumber + type);
  switch (type) {
  case 0x2F:
    return mkEndOfTrack;
  case 0x51:
    return mkTempo;
  case 0x52:
    return mkMeta52;
  case 0x58:
    return mkTimeSignature;
  case 0x59:
    return mkKeySignature;
  default:
    return mkOther;
  }
}

void TMidiV::Clear() {
  events_.clear();
  time_signatures_.clear();
  division_ = 0;
  problem_.clear();
}

bool TMidiV::ReadFile(std::span<const uint8_t> data) {
  Clear();
  BinaryReader in(data, "MIDI file");
  try {
    if (in.FixedString(4) != "MThd") {
      problem_ = "no MThd header";
      return false;
    }
    in.Skip(4); // the header length is not used
    in.Skip(2); // nor is the format
  } catch (const ENovaError&) {
    problem_ = "no MThd header";
    return false;
  }
  ReadTracks(data);
  if (division_ == 0) {
    // Every time would be a division by zero: such a file plays nothing.
    events_.clear();
    if (problem_.empty())
      problem_ = "division 0";
    return false;
  }
  SortAndTime();
  return !events_.empty();
}

void TMidiV::ReadTracks(std::span<const uint8_t> data) {
  BinaryReader in(data, "MIDI file");
  in.Skip(10);
  int tracks = 0;
  try {
    tracks = static_cast<int>(BigEndian(in, 2));
    division_ = static_cast<int32_t>(BigEndian(in, 2));
  } catch (const ENovaError&) {
    problem_ = "the header ends early";
    return;
  }
  time_signatures_.push_back({0, 4, 4});
  int32_t sequence = 0;
  for (int track = 0; track < tracks; ++track) {
    if (in.remaining() < 8) {
      problem_ = "track " + std::to_string(track) + " is missing";
      return;
    }
    if (in.FixedString(4) != "MTrk")
      continue;
    const uint32_t length = BigEndian(in, 4);
    if (length == 0)
      continue;
    const size_t chunk_end = in.position() + length;
    try {
      TrackReader(in, track, events_, time_signatures_, sequence).Read();
    } catch (const ENovaError& error) {
      problem_ = "track " + std::to_string(track) + ": " + error.what();
      // Damage ends this track's events; the next track is looked for where its chunk says.
      if (chunk_end > in.size() || events_.size() >= kMaxEvents)
        return;
      in.Seek(chunk_end);
    }
  }
}

void TMidiV::SortAndTime() {
  std::sort(events_.begin(), events_.end(), [](const TMidiMsgEvent& a, const TMidiMsgEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.sequence < b.sequence;
  });
  int32_t tempo = kDefaultTempo;
  int64_t t = 0;
  int32_t previous_tick = 0;
  for (TMidiMsgEvent& event : events_) {
    // The interval ending at a tempo event still runs at the old tempo.
    const float factor = static_cast<float>((1.0L / division_) * tempo / 1000.0L);
    if (event.kind == mkTempo && event.message.size() >= 5)
      tempo = (event.Data(1) << 16) | (event.Data(2) << 8) | event.Data(3);
    const long double span = static_cast<long double>(factor) * (event.tick - previous_tick);
    t = std::min<int64_t>(t + std::llrint(span), std::numeric_limits<int32_t>::max());
    event.time = SaturatedInt32(t);
    previous_tick = event.tick;
  }
}

} // namespace nova
