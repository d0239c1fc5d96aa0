// SPDX-License-Identifier: MIT
#include "script/running_state.h"

namespace nova {
namespace {

constexpr char kTag[] = "nova100";
constexpr size_t kTagBytes = 7;

// Three characters as a decimal number (optional sign), 0 when they are not one.
int32_t DecimalOrZero(const std::string& s) {
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (i == s.size())
    return 0;
  int32_t v = 0;
  for (size_t k = i; k < s.size(); ++k) {
    if (s[k] < '0' || s[k] > '9')
      return 0;
    v = v * 10 + (s[k] - '0');
  }
  return s[0] == '-' ? -v : v;
}

} // namespace

void WriteRunningStateTag(BinaryWriter& w) { w.Bytes(std::string_view(kTag, kTagBytes)); }

int32_t ReadRunningStateTag(BinaryReader& r) {
  size_t start = r.position();
  if (r.remaining() < kTagBytes)
    return 0;
  std::string tag = r.FixedString(kTagBytes);
  if (tag.compare(0, 4, "nova") != 0) {
    r.Seek(start);
    return 0;
  }
  return DecimalOrZero(tag.substr(4));
}

void TWaitState::Write(BinaryWriter& w) const {
  WriteRunningStateTag(w);
  w.I32(time_left_ms);
  w.I32(first_frames);
  w.Bool(no_events);
}

void TWaitState::Read(BinaryReader& r) {
  int32_t version = ReadRunningStateTag(r);
  time_left_ms = r.I32();
  first_frames = r.I32();
  if (version >= 100)
    no_events = r.Bool();
}

void TMovieStopState::Write(BinaryWriter& w) const {
  WriteRunningStateTag(w);
  w.String(target);
  w.Bool(waiting);
  w.Bool(no_events);
}

void TMovieStopState::Read(BinaryReader& r) {
  int32_t version = ReadRunningStateTag(r);
  target = r.String();
  waiting = r.Bool();
  if (version > 99)
    no_events = r.Bool();
}

void TFlipState::Write(BinaryWriter& w) const {
  WriteRunningStateTag(w);
  w.Bool(no_events);
  w.Bool(delete_old);
}

void TFlipState::Read(BinaryReader& r) {
  phase = kFlipFinish;
  start_ms = 0;
  yields = false;
  int32_t version = ReadRunningStateTag(r);
  if (version >= 100) {
    no_events = r.Bool();
    delete_old = r.Bool();
  }
}

void TTextInsState::Write(BinaryWriter& w) const {
  WriteRunningStateTag(w);
  w.String(box);
  w.Bool(waiting);
  w.Bool(no_events);
}

void TTextInsState::Read(BinaryReader& r) {
  int32_t version = ReadRunningStateTag(r);
  box = r.String();
  waiting = r.Bool();
  if (version > 99)
    no_events = r.Bool();
}

} // namespace nova
