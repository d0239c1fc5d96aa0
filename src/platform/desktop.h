// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <string>

namespace nova {

// What titles ask of the user's desktop: opening a web address or folder in the desktop's own
// program, and the text-input (input method) state of the window.
class IDesktop {
public:
  virtual ~IDesktop() = default;
  // Opens `utf8_url` (an address or a file:// URL) with the desktop's handler; false when
  // refused or when no handler took it.
  virtual bool OpenUrl(const std::string& utf8_url) = 0;
  virtual bool TextInputActive() = 0;
  virtual void SetTextInputActive(bool on) = 0;
};

// The desktop through SDL (the video subsystem must be up for the text-input state).
std::unique_ptr<IDesktop> CreateSdlDesktop();
// No desktop: every address is refused; the text-input state is only remembered.
std::unique_ptr<IDesktop> CreateHeadlessDesktop();

} // namespace nova
