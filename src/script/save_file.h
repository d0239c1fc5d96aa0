// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "vfs/durable_file.h"

namespace nova {

class TVrFileCollection;

inline constexpr char kSaveFileName[] = "save.dat";

// The user's data folder for titles whose own folder cannot be written: $XDG_DATA_HOME, else
// $HOME/.local/share; empty when neither is set.
std::string UserDataHome();

// The save file of a title: "save.dat" in `title_folder` when a file can be created there;
// otherwise `data_home`/novaplay/<title>/save.dat, the title with the characters that file
// systems refuse replaced by "_", the folders created, and an existing save file of the title
// folder copied there the first time. Raises "データファイルを作成することができません" when
// neither folder can hold it. Folders are native; the title is Shift-JIS.
std::string ResolveSaveFilePath(const std::string& title_folder, const std::string& data_home,
                                const std::string& title);

// The save file as an archive, read and written whole. Writes are durable (a crash leaves the
// old or the new file), and the previous file is kept as "save.dat.bak" and read when
// "save.dat" cannot be.
class TSaveFile {
public:
  // `report` receives a plain-English message (Shift-JIS) when a write fails.
  TSaveFile(std::string native_path, std::function<void(const std::string&)> report);
  const std::string& path() const { return path_; }
  // The save file or its backup exists.
  bool Exists() const;
  // The archive of the save file, or of its backup when the file cannot be read; an empty
  // archive when there is neither. Its entries' data is held in memory.
  std::unique_ptr<TVrFileCollection> Open();
  // Replaces the save file by the archive. False, after reporting it, when that failed; the
  // previous file is then kept.
  bool Write(TVrFileCollection& archive);

private:
  std::string path_;
  std::function<void(const std::string&)> report_;
  // The file last opened could not be read: the backup is better and stays.
  TBackup backup_ = TBackup::Refresh;
};

} // namespace nova
