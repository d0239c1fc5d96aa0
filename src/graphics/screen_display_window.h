// SPDX-License-Identifier: MIT
// The screen manager's display over the platform window: its mode list, full screen, and the
// presentation texture that takes the changed rectangles.
#pragma once
#include <memory>

#include "graphics/screen_manager.h"

namespace nova {

class IWindow;

// The window keeps a scene-sized texture and scales it itself (`--scale`, letterboxed full
// screen), so the blits' source rectangles are what it receives.
std::unique_ptr<IScreenDisplay> MakeWindowScreenDisplay(IWindow& window);

} // namespace nova
