// SPDX-License-Identifier: MIT
#include "script/project_setting.h"

#include <algorithm>

#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "base/sjis.h"
#include "script/script_texts.h"

namespace nova {
namespace {

// Smallest records: type byte and name length; folder length and disk number.
constexpr size_t kMinVariableBytes = 1 + 4;
constexpr size_t kMinFolderBytes = 4 + 4;

std::string FolderKey(std::string folder) {
  folder = UpperCaseJ(folder);
  if (folder.empty() || folder.back() != '\\' || IsTrailByteAt(folder, folder.size() - 1)) {
    folder += '\\';
  }
  return folder;
}

// The folder part of a path, with its trailing "\" ("" for a bare name); a "\" that is the
// second byte of a double-byte character does not separate.
std::string FolderOf(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (path[i - 1] == '\\' && !IsTrailByteAt(path, i - 1))
      return path.substr(0, i);
  }
  return {};
}

void ReadVariable(BinaryReader& r, TParamData& v) {
  v.type = r.U8();
  v.name = r.String();
  switch (v.type) {
  case 1:
    v.int_value = r.I32();
    break;
  case 2: {
    auto b = r.Bytes(10);
    std::copy(b.begin(), b.end(), v.real_bytes.begin());
    break;
  }
  case 3:
    v.flag_value = r.Bool();
    break;
  case 4:
    v.str_value = r.String();
    break;
  default:
    break;
  }
}

void WriteVariable(BinaryWriter& w, const TParamData& v) {
  w.U8(v.type);
  w.String(v.name);
  switch (v.type) {
  case 1:
    w.I32(v.int_value);
    break;
  case 2:
    w.Bytes(std::span<const uint8_t>(v.real_bytes));
    break;
  case 3:
    w.Bool(v.flag_value);
    break;
  case 4:
    w.String(v.str_value);
    break;
  default:
    break;
  }
}

} // namespace

void TFolderDiskList::Read(BinaryReader& r) {
  int32_t count = r.I32();
  r.CheckCount(count, kMinFolderBytes, "folder disk table");
  entries.assign(static_cast<size_t>(count), {});
  for (Entry& e : entries) {
    e.folder = r.String();
    e.disk = r.I32();
  }
}

void TFolderDiskList::Write(BinaryWriter& w) const {
  w.I32(static_cast<int32_t>(entries.size()));
  for (const Entry& e : entries) {
    w.String(e.folder);
    w.I32(e.disk);
  }
}

int32_t TFolderDiskList::DiskOfFile(const std::string& file_name) const {
  std::string folder = FolderOf(file_name);
  while (true) {
    std::string key = FolderKey(folder);
    for (const Entry& e : entries) {
      if (FolderKey(e.folder) == key)
        return e.disk;
    }
    if (folder.empty())
      return 0;
    folder = FolderOf(folder.substr(0, folder.size() - 1));
  }
}

void TProjectSetting::CheckScreenSizes(const std::string& file) const {
  // The scene and back surfaces are allocated at these sizes; no display of the time was larger.
  const auto check = [&file](const char* what, int32_t w, int32_t h) {
    if (w < 0 || h < 0 || w > kMaxScreenSide || h > kMaxScreenSide)
      throw ENovaError(file + ": " + what + " size " + std::to_string(w) + "x" + std::to_string(h) +
                       " is outside 0.." + std::to_string(kMaxScreenSide));
  };
  check("scene", scene_width, scene_height);
  check("full-screen", full_width, full_height);
}

void TProjectSetting::Read(std::span<const uint8_t> bytes, const std::string& file) {
  *this = TProjectSetting{};
  BinaryReader r(bytes, file);
  version = r.I32();
  if (version > kNewestProjectVersion) {
    throw ENovaErrorWithEnglish(ScriptText(TScriptText::VersionUnsupported),
                                file + " has version " + std::to_string(version) +
                                    "; this player reads versions up to " +
                                    std::to_string(kNewestProjectVersion) + ".");
  }
  title = r.String();
  scene_width = r.I32();
  scene_height = r.I32();
  full_width = r.I32();
  full_height = r.I32();
  CheckScreenSizes(file);
  start_page = r.String();
  if (version >= kExitPageSince)
    exit_page = r.String();
  cd_registry_key = r.String();
  image_code = r.I32();
  if (version >= kWriteSaveSince)
    write_save_file = r.Bool();
  if (version >= kExtraFlagSince)
    extra_flag = r.Bool();
  if (version >= kMediaSince)
    media_extensions = r.String();
  if (version >= kPauseSince)
    pause_when_inactive = r.Bool();
  if (version >= kExtraFlag2Since)
    extra_flag2 = r.Bool();
  if (version >= kToolBarSince)
    show_tool_bar = r.Bool();
  disk_prompt = r.String();
  quit_message = r.String();
  int32_t count = r.I32();
  r.CheckCount(count, kMinVariableBytes, "project variables");
  variables.assign(static_cast<size_t>(count), {});
  for (TParamData& v : variables)
    ReadVariable(r, v);
  folder_disks.Read(r);
}

void TProjectSetting::Write(BinaryWriter& w) const {
  w.I32(version);
  w.String(title);
  w.I32(scene_width);
  w.I32(scene_height);
  w.I32(full_width);
  w.I32(full_height);
  w.String(start_page);
  if (version >= kExitPageSince)
    w.String(exit_page);
  w.String(cd_registry_key);
  w.I32(image_code);
  if (version >= kWriteSaveSince)
    w.Bool(write_save_file);
  if (version >= kExtraFlagSince)
    w.Bool(extra_flag);
  if (version >= kMediaSince)
    w.String(media_extensions);
  if (version >= kPauseSince)
    w.Bool(pause_when_inactive);
  if (version >= kExtraFlag2Since)
    w.Bool(extra_flag2);
  if (version >= kToolBarSince)
    w.Bool(show_tool_bar);
  w.String(disk_prompt);
  w.String(quit_message);
  w.I32(static_cast<int32_t>(variables.size()));
  for (const TParamData& v : variables)
    WriteVariable(w, v);
  folder_disks.Write(w);
}

} // namespace nova
