// SPDX-License-Identifier: MIT
// SDL's game controllers, opened as they are plugged in, turned into window events by
// TGamepadMapper. The SDL window owns one and offers it every SDL event first.
#pragma once
#include <cstdint>
#include <deque>
#include <map>

#include "platform/gamepad_mapping.h"

union SDL_Event;
struct _SDL_GameController;

namespace nova {

class TSdlGamepads {
public:
  TSdlGamepads();
  ~TSdlGamepads();
  TSdlGamepads(const TSdlGamepads&) = delete;
  TSdlGamepads& operator=(const TSdlGamepads&) = delete;

  TGamepadMapper& Mapper() { return mapper_; }
  // True when `e` was a controller event (taken here; what it stands for waits in Next).
  bool Take(const SDL_Event& e);
  // Moves the pointer by the time passed since the last call (SDL's millisecond clock).
  void Tick(uint32_t now_ms);
  // Every held button goes up (the window lost the focus).
  void ReleaseAll();
  // The next event the pads made; false when none waits.
  bool Next(TWindowEvent& out);
  bool Moving() const { return mapper_.Moving(); }

private:
  void Queue(const std::vector<TWindowEvent>& events);

  bool started_ = false;
  std::map<int32_t, _SDL_GameController*> pads_; // by joystick instance id
  TGamepadMapper mapper_;
  std::deque<TWindowEvent> pending_;
  uint32_t last_tick_ms_ = 0;
  int stick_x_ = 0, stick_y_ = 0;
};

} // namespace nova
