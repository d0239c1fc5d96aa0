// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace nova {

enum class TMouseButton : uint8_t { Left, Right, Middle };
enum class TDockButton : uint8_t { Quit, ScreenSwitch };

enum class TWindowEventKind : uint8_t {
  Close,      // the user asked to close the window
  Activate,   // the application became the active one
  Deactivate, // ... and stopped being it
  KeyDown,    // key = virtual-key code; repeat = the key was already down
  KeyUp,
  MouseDown, // button, x, y
  MouseUp,
  MouseMove,   // x, y
  Wheel,       // wheel_up = direction
  DockButton,  // dock = which tool bar button was clicked
  Wake,        // internal: no event (the default)
  TextInput,   // text = committed text (UTF-8), while a text field takes input
  Composition, // text = what the input method composes (UTF-8); empty when it ends
};

// One input or window event. Mouse positions are scene coordinates (through the letterbox and
// scaling); `in_scene` tells whether the pointer lies over the scene; `client_y` is the pointer's
// row in the window's client area (the tool bar shows at the top row in full screen).
struct TWindowEvent {
  TWindowEventKind kind = TWindowEventKind::Wake;
  int key = 0;
  bool repeat = false;
  TMouseButton button = TMouseButton::Left;
  int x = 0;
  int y = 0;
  bool in_scene = true;
  int client_y = 0;
  bool wheel_up = false;
  TDockButton dock = TDockButton::Quit;
  std::string text;
};

} // namespace nova
