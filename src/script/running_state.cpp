// SPDX-License-Identifier: MIT
#include "script/running_state.h"

namespace nova {
namespace {

constexpr char kTag[] = "nova100";
constexpr size_t kTagBytes = 7;
// Records from version 100 on hold their flags.
constexpr Since kFlagsSaved{100};

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

void TWaitState::Sync(TSerializer& s) {
  s.I32(time_left_ms);
  s.I32(first_frames);
  s.Bool(no_events, kFlagsSaved);
}

void TMovieStopState::Sync(TSerializer& s) {
  s.String(target);
  s.Bool(waiting);
  s.Bool(no_events, kFlagsSaved);
}

void TFlipState::Sync(TSerializer& s) {
  if (s.Loading()) {
    phase = kFlipFinish;
    start_ms = 0;
    yields = false;
  }
  s.Bool(no_events, kFlagsSaved);
  s.Bool(delete_old, kFlagsSaved);
}

void TTextInsState::Sync(TSerializer& s) {
  s.String(box);
  s.Bool(waiting);
  s.Bool(no_events, kFlagsSaved);
}

} // namespace nova
