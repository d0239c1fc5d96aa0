// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <string>

#include "shell/ini_file.h"

namespace nova {

// The run settings dialog's state and behaviour, apart from how it is drawn.
class TFormConfig {
public:
  static constexpr int kTrackMin = 1;
  static constexpr int kTrackMax = 5;
  static constexpr int kClientWidth = 270;
  static constexpr int kClientHeight = 179;

  // Loads game.ini from `ini_path` (missing = all defaults) and sets the controls.
  explicit TFormConfig(std::filesystem::path ini_path);

  bool CheckSound() const { return check_sound_; }
  int TrackPosition() const { return track_position_; }
  // The delay controls are enabled exactly when DirectSound is not used.
  bool DelayControlsEnabled() const { return !check_sound_; }
  // "%dms" of the position times 100, Shift-JIS.
  std::string DelayInfo() const;
  bool Running() const { return running_; }

  void CheckSoundClick(bool checked) { check_sound_ = checked; }
  // Sets the track bar, which keeps its position within its range.
  void TrackBuffChange(int position);
  // Writes DirectSound and DelayTime into the whole file and closes; throws ENovaError when
  // the file cannot be written (the dialog stays open then).
  void OkClick();
  // Closes without writing anything.
  void CancelClick() { running_ = false; }

private:
  std::filesystem::path ini_path_;
  TIniFile ini_;
  bool check_sound_ = true;
  int track_position_ = kTrackMax;
  bool running_ = true;
};

} // namespace nova
