// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <string>

namespace nova {

// What titles ask of the user's desktop: opening a web address or folder in the desktop's own
// program. (The input method belongs to the text fields: IWindow::SetTextInput.)
class IDesktop {
public:
  virtual ~IDesktop() = default;
  // Opens `utf8_url` (an address or a file:// URL) with the desktop's handler; false when
  // refused or when no handler took it.
  virtual bool OpenUrl(const std::string& utf8_url) = 0;
};

// The desktop through SDL.
std::unique_ptr<IDesktop> CreateSdlDesktop();
// No desktop: every address is refused.
std::unique_ptr<IDesktop> CreateHeadlessDesktop();

} // namespace nova
