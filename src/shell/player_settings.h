// SPDX-License-Identifier: MIT
// What the user turns on in game.ini for the player itself, beyond anything a title sees:
// the game controllers and the reading aid.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gamepad_mapping.h"

namespace nova {

class TIniFile;

struct TPlayerSettings {
  TGamepadSettings gamepad; // [Gamepad]
  bool copy_text = false;   // [Player] CopyText: revealed text goes to the clipboard
  bool speak = false;       // [Player] Speak: revealed text is spoken
};

// The settings of `ini`; a value that cannot be used keeps its default and adds a line to
// `problems` naming `file_name`, the section, the key and the value.
TPlayerSettings ReadPlayerSettings(const TIniFile& ini, const std::string& file_name,
                                   std::vector<std::string>& problems);
// Reads `path` when it exists (a missing file gives the defaults).
TPlayerSettings LoadPlayerSettings(const std::filesystem::path& path,
                                   std::vector<std::string>& problems);

} // namespace nova
