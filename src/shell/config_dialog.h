// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>

#include "platform/dialog_host.h"

namespace nova {

// Where the dialog's controls lie in its 270 x 179 client area; tests click them headless.
struct TConfigDialogLayout {
  static constexpr int kCheckX = 16, kCheckY = 16;
  static constexpr int kLabelX = 16, kLabelY = 52;
  static constexpr int kTrackX = 16, kTrackY = 72, kTrackWidth = 238;
  static constexpr int kInfoY = 100;
  static constexpr int kButtonY = 140, kButtonWidth = 75, kButtonHeight = 25;
  static constexpr int kOkX = 96, kCancelX = 179;
};

// The "/config" dialog: runs on `host` until OK or Cancel (or the window is closed) and
// writes `ini_path` only on OK. Enter is OK and Escape is Cancel, as for a dialog's default and
// cancel buttons.
void RunConfigDialog(IDialogHost& host, const std::filesystem::path& ini_path);

} // namespace nova
