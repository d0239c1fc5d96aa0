// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>

#include "platform/view_scaling.h"

namespace nova {

// The machine's run settings from game.ini, as the player uses them.
struct TRunConfig {
  bool direct_sound = true;        // [Sound] DirectSound
  int delay_time_ms = 500;         // [Sound] DelayTime: a multiple of 100 in 100 ... 500
  bool use_wmp = false;            // [Video] UseWMP
  bool default_fonts_only = false; // [Font] DefaultOnly
  TViewScaling scaling;            // [Player] Scaling, [Player] Filter; unknown names: defaults
};

// The sound delay as the player uses it: rounded down to a multiple of 100, then clamped to
// 100 ... 500 ms.
int EffectiveDelayTime(int delay_time_ms);

// Reads `path` if it exists; a missing, unreadable or malformed file gives the defaults.
// The file is never created or written here.
TRunConfig LoadRunConfig(const std::filesystem::path& path);

// The name of the settings file in a title's folder.
inline constexpr const char* kRunConfigFileName = "game.ini";

} // namespace nova
