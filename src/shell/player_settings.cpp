// SPDX-License-Identifier: MIT
#include "shell/player_settings.h"

#include "shell/ini_file.h"

namespace nova {

namespace {

constexpr const char* kGamepad = "Gamepad";

} // namespace

TPlayerSettings ReadPlayerSettings(const TIniFile& ini, const std::string& file_name,
                                   std::vector<std::string>& problems) {
  TPlayerSettings s;
  s.copy_text = ini.ReadBool("Player", "CopyText", false);
  s.speak = ini.ReadBool("Player", "Speak", false);
  TGamepadSettings& pad = s.gamepad;
  const auto bad = [&](const std::string& key, const std::string& value, const char* expected) {
    problems.push_back(file_name + ": [Gamepad] " + key + "=" + value + ": expected " + expected +
                       "; the default is used");
  };
  pad.enabled = ini.ReadBool(kGamepad, "Enabled", true);
  // The D-pad's buttons follow DPad= and are not set one by one.
  for (size_t i = 0; i < static_cast<size_t>(TPadButton::DPadUp); ++i) {
    const std::string key(PadButtonName(static_cast<TPadButton>(i)));
    const std::string value = ini.ReadString(kGamepad, key, "");
    if (value.empty())
      continue;
    if (std::optional<TPadActions> actions = ParsePadActions(value))
      pad.buttons[i] = std::move(*actions);
    else
      bad(key, value,
          "actions joined by '+': click, rightclick, middleclick, enter, escape, space, tab, "
          "wheelup, wheeldown, key:N (1-255), or none");
  }
  if (const std::string value = ini.ReadString(kGamepad, "DPad", ""); !value.empty()) {
    if (std::optional<TDPadMode> mode = ParseDPadMode(value))
      pad.dpad = *mode;
    else
      bad("DPad", value, "keys, pointer or keys|pointer");
  }
  const auto number = [&](const char* key, int lo, int hi, int& out) {
    const std::string value = ini.ReadString(kGamepad, key, "");
    if (value.empty())
      return;
    const int n = ini.ReadInteger(kGamepad, key, lo - 1);
    if (n < lo || n > hi)
      bad(key, value,
          ("a number from " + std::to_string(lo) + " to " + std::to_string(hi)).c_str());
    else
      out = n;
  };
  number("PointerSpeed", 1, 10000, pad.pointer_speed);
  number("DeadZone", 0, 90, pad.dead_zone);
  return s;
}

TPlayerSettings LoadPlayerSettings(const std::filesystem::path& path,
                                   std::vector<std::string>& problems) {
  TIniFile ini;
  ini.Load(path);
  return ReadPlayerSettings(ini, path.filename().string(), problems);
}

} // namespace nova
