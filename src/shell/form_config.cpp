// SPDX-License-Identifier: MIT
#include "shell/form_config.h"

#include <algorithm>
#include <cstdio>

#include "shell/texts.h"

namespace nova {

TFormConfig::TFormConfig(std::filesystem::path ini_path) : ini_path_(std::move(ini_path)) {
  ini_.Load(ini_path_);
  check_sound_ = ini_.ReadBool("Sound", "DirectSound", true);
  // The raw value, not the player's rounded one: the track bar clamps it itself.
  TrackBuffChange(ini_.ReadInteger("Sound", "DelayTime", 500) / 100);
}

void TFormConfig::TrackBuffChange(int position) {
  track_position_ = std::clamp(position, kTrackMin, kTrackMax);
}

std::string TFormConfig::DelayInfo() const {
  char text[32];
  std::snprintf(text, sizeof text, ShellTexts().config_delay_info.c_str(), track_position_ * 100);
  return text;
}

void TFormConfig::OkClick() {
  ini_.WriteBool("Sound", "DirectSound", check_sound_);
  ini_.WriteInteger("Sound", "DelayTime", track_position_ * 100);
  ini_.Save(ini_path_);
  running_ = false;
}

} // namespace nova
