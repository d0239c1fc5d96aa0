// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/window_event.h"

namespace nova {

// Frame-stamped input, replayed by --input and written by --record. One event a line:
//   <frame> keydown <vk>            <frame> keyup <vk>
//   <frame> move <x> <y>            <frame> wheel up|down
//   <frame> mousedown left|right|middle <x> <y>     <frame> mouseup left|right|middle <x> <y>
//   <frame> dock quit|switch        <frame> close | activate | deactivate
//   <frame> text STRING             <frame> compose STRING
// STRING is UTF-8 up to the end of the line, or quoted ("...") with \" \\ and \n escapes;
// `text` is committed text, `compose` the composition an input method shows (empty ends it).
// Frames count from 0: an event stamped F is handled just before frame F runs. Positions are
// scene coordinates (client coordinates in the settings dialog). '#' starts a comment.
struct TStampedEvent {
  uint32_t frame = 0;
  TWindowEvent event;
};

// Parses a whole script; throws ENovaError naming `file_name` and the line on a bad line.
// The events come back sorted by frame (stable for events of one frame).
std::vector<TStampedEvent> ParseInputScript(const std::string& text, const std::string& file_name);
std::vector<TStampedEvent> LoadInputScript(const std::filesystem::path& path);
// One line of the format, without the line break; empty for events that are not recorded.
std::string FormatInputEvent(const TStampedEvent& stamped);

// Hands out the events of a parsed script frame by frame.
class TInputReplay {
public:
  explicit TInputReplay(std::vector<TStampedEvent> events) : events_(std::move(events)) {}
  // Next event stamped at or before `frame`; false when there is none left for it.
  bool Next(uint32_t frame, TWindowEvent& event);
  bool Finished() const { return next_ >= events_.size(); }

private:
  std::vector<TStampedEvent> events_;
  size_t next_ = 0;
};

// Writes what the user does as an input script, line by line as it happens.
class TInputRecorder {
public:
  // Throws ENovaError when the file cannot be created.
  explicit TInputRecorder(const std::filesystem::path& path);
  ~TInputRecorder();
  TInputRecorder(const TInputRecorder&) = delete;
  TInputRecorder& operator=(const TInputRecorder&) = delete;
  void Record(uint32_t frame, const TWindowEvent& event);

private:
  std::FILE* file_;
};

} // namespace nova
