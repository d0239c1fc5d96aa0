// SPDX-License-Identifier: MIT
#pragma once
#include <functional>

#include "script/script_host.h"

namespace nova {

// The process's message box (headless runs answer it from --answer) and the shell's way of
// closing the main window.
class TPlatformScriptDialogs final : public IScriptDialogs {
public:
  explicit TPlatformScriptDialogs(std::function<void()> close_window)
      : close_window_(std::move(close_window)) {}

  TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgButtons buttons,
                        TMsgIcon icon) override {
    return ShowMessageBox(text, caption, buttons, icon);
  }
  void CloseMainWindow() override {
    if (close_window_)
      close_window_();
  }

private:
  std::function<void()> close_window_;
};

} // namespace nova
