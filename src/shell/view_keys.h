// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <string>

#include "platform/window.h"

namespace nova {

// The player's own view keys, which the scene never sees: F10 switches to the next scaling
// mode, Shift+F10 between smooth and sharp filtering, F12 saves a screenshot of the scene into
// ScreenshotFolder(). Each says what it did in a window notice.
class TViewKeys {
public:
  // `title` gives the project title (Shift-JIS) for the screenshot's name.
  TViewKeys(IWindow& window, std::function<std::string()> title)
      : window_(window), title_(std::move(title)) {}

  // Key events as the window reports them; true when the key was one of these.
  bool KeyDown(const TWindowEvent& event);
  bool KeyUp(const TWindowEvent& event);

private:
  void CycleScaling();
  void ToggleFilter();
  void Screenshot();

  IWindow& window_;
  std::function<std::string()> title_;
  bool shift_down_ = false;
};

} // namespace nova
