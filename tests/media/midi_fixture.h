// SPDX-License-Identifier: MIT
// Standard MIDI Files built byte by byte, and a MIDI output that records what reaches it.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "media/midi_output.h"

namespace nova::test {

using Bytes = std::vector<uint8_t>;

inline void PutBig(Bytes& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A variable-length quantity, as delta-times are stored.
inline Bytes Vlq(uint32_t value) {
  Bytes out{static_cast<uint8_t>(value & 0x7F)};
  while (value >>= 7)
    out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
  return out;
}

// One track's event bytes; End() appends the end-of-track meta event.
struct Track {
  Bytes bytes;
  Track& Event(uint32_t delta, std::initializer_list<uint8_t> message) {
    const Bytes d = Vlq(delta);
    bytes.insert(bytes.end(), d.begin(), d.end());
    bytes.insert(bytes.end(), message);
    return *this;
  }
  Track& Raw(const Bytes& raw) {
    bytes.insert(bytes.end(), raw.begin(), raw.end());
    return *this;
  }
  Track& End(uint32_t delta = 0) { return Event(delta, {0xFF, 0x2F, 0x00}); }
};

// "MThd", length 6, format 1, the track count and the division.
inline Bytes Header(uint16_t tracks, uint16_t division) {
  Bytes out{'M', 'T', 'h', 'd'};
  PutBig(out, 6, 4);
  PutBig(out, 1, 2);
  PutBig(out, tracks, 2);
  PutBig(out, division, 2);
  return out;
}

// "MTrk", the length (the real one unless `claimed_length` is given), the bytes.
inline void AppendTrack(Bytes& file, const Track& track, int64_t claimed_length = -1) {
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  PutBig(file, static_cast<uint32_t>(claimed_length >= 0 ? claimed_length : track.bytes.size()), 4);
  file.insert(file.end(), track.bytes.begin(), track.bytes.end());
}

inline Bytes Smf(uint16_t division, std::initializer_list<Track> tracks) {
  Bytes file = Header(static_cast<uint16_t>(tracks.size()), division);
  for (const Track& track : tracks)
    AppendTrack(file, track);
  return file;
}

// Every message an output received, as the log would write it without the position.
struct SentMessages {
  std::vector<Bytes> messages;
  int resets = 0;
};

class RecordingOut final : public IMidiOut {
public:
  explicit RecordingOut(std::shared_ptr<SentMessages> sent) : sent_(std::move(sent)) {}
  void ShortMessage(std::span<const uint8_t> b) override {
    sent_->messages.emplace_back(b.begin(), b.end());
  }
  void LongMessage(std::span<const uint8_t> b) override {
    sent_->messages.emplace_back(b.begin(), b.end());
  }
  void Reset() override { ++sent_->resets; }

private:
  std::shared_ptr<SentMessages> sent_;
};

// Named ports whose outputs record; `opened` lists the indices Open was asked for.
class RecordingPorts final : public IMidiPorts {
public:
  explicit RecordingPorts(std::vector<std::string> names) : names_(std::move(names)) {}
  std::vector<std::string> Names() override { return names_; }
  std::unique_ptr<IMidiOut> Open(int index) override {
    opened.push_back(index);
    return std::make_unique<RecordingOut>(sent);
  }
  std::shared_ptr<SentMessages> sent = std::make_shared<SentMessages>();
  std::vector<int> opened;

private:
  std::vector<std::string> names_;
};

} // namespace nova::test
