// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "platform/window.h"

namespace nova {

// Where the wallpaper picture goes: "novawall.png" in the player's folder of the user's data
// ($XDG_DATA_HOME/novaplay, else ~/.local/share/novaplay).
std::string WallpaperPath();

// The desktop's wallpaper setting for `picture_path` in `style` (0 centred, 1 tiled, anything
// else stretched): the gsettings keys of GNOME-family desktops. False when the desktop has no
// such setting ($XDG_CURRENT_DESKTOP names none of them) or setting it failed.
bool SetDesktopWallpaper(const std::string& picture_path, int32_t style);

// Writes `picture` to WallpaperPath() and sets it; false when either step fails.
bool SetWallpaper(const TPicture& picture, int32_t style);

} // namespace nova
