// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"

namespace nova {

// Running-state records: what a started, unfinished command keeps when a game is saved.
// Each begins with the tag "nova100"; readers accept "nova" + any three characters (their
// decimal value is the record version) and take version 0 for records without a tag. After
// the tag, each record's Sync describes its fields for both directions.
void WriteRunningStateTag(BinaryWriter& w);
// Reads the tag and returns the record version; without a tag rewinds and returns 0.
int32_t ReadRunningStateTag(BinaryReader& r);

template <class State> void WriteRunningState(BinaryWriter& w, const State& state) {
  WriteRunningStateTag(w);
  TSerializer s(w);
  // Saving only reads what the description names.
  const_cast<State&>(state).Sync(s);
}

template <class State> void ReadRunningState(BinaryReader& r, State& state) {
  TSerializer s(r, ReadRunningStateTag(r));
  state.Sync(s);
}

struct TWaitState {
  int32_t time_left_ms = 0;
  int32_t first_frames = 0; // the frame in which the wait starts does not count
  bool no_events = false;

  void Sync(TSerializer& s);
};

struct TMovieStopState {
  std::string target; // component waited for; empty = none
  bool waiting = false;
  bool no_events = false;

  void Sync(TSerializer& s);
};

struct TFlipState {
  bool no_events = false;
  bool delete_old = false;
  // Not saved: a flip restored from a save finishes (swaps the layers) at its first run, as
  // the scene comes back without its transition.
  static constexpr int32_t kFlipFinish = 3;
  int32_t phase = kFlipFinish;
  int64_t start_ms = 0;
  bool yields = false;

  void Sync(TSerializer& s);
};

struct TTextInsState {
  std::string box; // target message box; empty = none
  bool waiting = false;
  bool no_events = false;

  void Sync(TSerializer& s);
};

} // namespace nova
