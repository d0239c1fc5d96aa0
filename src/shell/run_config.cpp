// SPDX-License-Identifier: MIT
#include "shell/run_config.h"

#include <algorithm>

#include "shell/ini_file.h"

namespace nova {

int EffectiveDelayTime(int delay_time_ms) {
  return std::clamp(delay_time_ms / 100 * 100, 100, 500);
}

TRunConfig LoadRunConfig(const std::filesystem::path& path) {
  TIniFile ini;
  ini.Load(path);
  TRunConfig config;
  config.direct_sound = ini.ReadBool("Sound", "DirectSound", true);
  config.delay_time_ms = EffectiveDelayTime(ini.ReadInteger("Sound", "DelayTime", 500));
  config.use_wmp = ini.ReadBool("Video", "UseWMP", false);
  config.default_fonts_only = ini.ReadBool("Font", "DefaultOnly", false);
  config.scaling.mode =
      ParseScalingMode(ini.ReadString("Player", "Scaling", "")).value_or(config.scaling.mode);
  config.scaling.filter =
      ParseViewFilter(ini.ReadString("Player", "Filter", "")).value_or(config.scaling.filter);
  return config;
}

} // namespace nova
