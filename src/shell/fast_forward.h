// SPDX-License-Identifier: MIT
// Holding Tab runs the game clock fast, as emulators do; letting go returns to normal speed.
// While it is enabled the player keeps Tab to itself: the title never sees it.
#pragma once
#include "platform/window_event.h"

namespace nova {

class TFastForward {
public:
  explicit TFastForward(bool enabled) : enabled_(enabled) {}
  // True when the player takes `e` (Tab going down or up). Losing the focus lets go of Tab,
  // whose release the window will not see.
  bool Take(const TWindowEvent& e);
  // The speed of the game clock now: TLoopTiming::kFastForwardSpeed while Tab is held, else 1.
  int Speed() const;

private:
  bool enabled_;
  bool held_ = false;
};

} // namespace nova
