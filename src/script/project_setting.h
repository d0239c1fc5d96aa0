// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"

namespace nova {

inline constexpr int32_t kNewestProjectVersion = 116;
// The version from which each optional field of the project file is present.
inline constexpr int32_t kExitPageSince = 110;
inline constexpr int32_t kWriteSaveSince = 104;
inline constexpr int32_t kExtraFlagSince = 106;
inline constexpr int32_t kMediaSince = 109;
inline constexpr int32_t kPauseSince = 113;
inline constexpr int32_t kExtraFlag2Since = 114;
inline constexpr int32_t kToolBarSince = 116;

// A variable the project defines (usually a status variable such as a volume).
struct TParamData {
  uint8_t type = 1; // 1 integer, 2 real, 3 flag, 4 string; other codes carry no value
  std::string name;
  int32_t int_value = 0;
  std::array<uint8_t, 10> real_bytes{}; // 10-byte extended real as stored
  bool flag_value = false;
  std::string str_value;
};

// Which disk of a multi-disk title each folder lies on.
class TFolderDiskList {
public:
  struct Entry {
    std::string folder;
    int32_t disk = 0;
  };

  void Read(BinaryReader& r);
  void Write(BinaryWriter& w) const;

  // Disk of the folder of `file_name`: the folder path upper-cased with a trailing "\" is
  // looked up, then its parents up to the root; 0 when none is listed.
  int32_t DiskOfFile(const std::string& file_name) const;

  std::vector<Entry> entries;
};

// The project file "nova.npb". Fields appear from the version that introduced them;
// absent ones keep the defaults below.
struct TProjectSetting {
  int32_t version = kNewestProjectVersion;
  std::string title;
  // Largest scene or full-screen side a project may ask for.
  static constexpr int32_t kMaxScreenSide = 4096;
  int32_t scene_width = 640, scene_height = 480;
  int32_t full_width = 640, full_height = 480;
  std::string start_page;
  std::string exit_page; // version >= 110
  std::string cd_registry_key;
  int32_t image_code = 0;
  bool write_save_file = true;                       // version > 103
  bool extra_flag = true;                            // version >= 106
  std::string media_extensions = ".wav.wma.ogg.mid"; // version >= 109
  bool pause_when_inactive = false;                  // version > 112
  bool extra_flag2 = false;                          // version >= 114
  bool show_tool_bar = true;                         // version >= 116
  std::string disk_prompt;
  std::string quit_message;
  std::vector<TParamData> variables;
  TFolderDiskList folder_disks;

  // Raises "このバージョンには対応していません" above version 116, and a message naming
  // `file` and the field on damage or on a screen size beyond kMaxScreenSide.
  void Read(std::span<const uint8_t> bytes, const std::string& file);
  void Write(BinaryWriter& w) const;

private:
  void CheckScreenSizes(const std::string& file) const;
};

} // namespace nova
