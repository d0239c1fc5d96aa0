// SPDX-License-Identifier: MIT
// The two text files a user hands the player: game.ini and an --input script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/nova_error.h"
#include "platform/input_script.h"
#include "shell/ini_file.h"
#include "shell/player_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  nova::TIniFile ini;
  ini.Parse(text);
  ini.ReadBool("Sound", "DirectSound", true);
  ini.ReadInteger("Sound", "DelayTime", 500);
  std::vector<std::string> problems;
  nova::ReadPlayerSettings(ini, "fuzz", problems);
  ini.WriteInteger("Sound", "DelayTime", 100);
  nova::TIniFile again;
  again.Parse(ini.Text());
  try {
    for (const auto& e : nova::ParseInputScript(text, "fuzz"))
      nova::FormatInputEvent(e);
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
