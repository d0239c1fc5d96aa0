// SPDX-License-Identifier: MIT
#include "script/save_file.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "base/sjis.h"
#include "script/script_texts.h"
#include "vfs/big_stream.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

// A file can be created in the folder (the probe is removed in every case).
bool CanCreateIn(const fs::path& folder) {
  const fs::path probe = folder / "save.dat.$$$";
  std::FILE* f = std::fopen(probe.c_str(), "wb");
  std::error_code error;
  const bool made = f != nullptr && fs::exists(probe, error);
  if (f)
    std::fclose(f);
  fs::remove(probe, error);
  return made;
}

// The title as a folder name: every character that a file system or the original player's
// rule refuses becomes "_" (trail bytes of double-byte characters are left alone).
std::string FolderNameOf(const std::string& title) {
  std::string name;
  for (size_t i = 0; i < title.size(); ++i) {
    const char c = title[i];
    if (IsLeadByte(c) && i + 1 < title.size()) {
      name += c;
      name += title[++i];
      continue;
    }
    static const std::string refused = "\\/:,;*?\"<>|";
    name += refused.find(c) == std::string::npos ? c : '_';
  }
  return SjisToUtf8(name);
}

std::unique_ptr<TVrFileCollection> OpenArchive(const std::string& path) {
  auto stream = std::make_unique<TZpBigMemoryStream>();
  stream->LoadFromFile(path);
  auto archive = std::make_unique<TVrFileCollection>();
  if (stream->GetSize() > 0)
    archive->OpenStream(std::move(stream), Utf8ToSjis(path));
  return archive;
}

// Reads every entry into memory, so that the archive no longer needs its file.
void Detach(TVrFileCollection& archive) {
  for (int i = 0; i < archive.Count(); ++i) {
    TVrFile& entry = archive.Entry(i);
    if (entry.data || entry.name == kEofEntryName)
      continue;
    auto data = std::make_shared<TMemoryStream>();
    archive.ReadEntryData(i, *data);
    entry.data = std::move(data);
  }
}

} // namespace

std::string UserDataHome() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    return xdg;
  if (const char* home = std::getenv("HOME"); home && *home)
    return (fs::path(home) / ".local" / "share").string();
  return {};
}

std::string ResolveSaveFilePath(const std::string& title_folder, const std::string& data_home,
                                const std::string& title) {
  const fs::path folder(title_folder);
  if (!title_folder.empty() && CanCreateIn(folder))
    return (folder / kSaveFileName).string();
  std::error_code error;
  const fs::path data = fs::path(data_home) / "novaplay" / FolderNameOf(title);
  const std::string title_side =
      title_folder.empty()
          ? std::string()
          : "the title's folder " + Utf8ToSjis(title_folder) + " is not writable and ";
  if (data_home.empty())
    throw ENovaErrorWithEnglish(ScriptText(TScriptText::SaveFileUncreatable),
                                "No folder can hold " + std::string(kSaveFileName) + ": " +
                                    title_side + "neither XDG_DATA_HOME nor HOME is set.");
  fs::create_directories(data, error);
  if (error || !fs::is_directory(data, error))
    throw ENovaErrorWithEnglish(ScriptText(TScriptText::SaveFileUncreatable),
                                "No folder can hold " + std::string(kSaveFileName) + ": " +
                                    title_side + "the folder " + Utf8ToSjis(data.string()) +
                                    " cannot be created" +
                                    (error ? " (" + error.message() + ")" : std::string()) + ".");
  const fs::path path = data / kSaveFileName;
  const fs::path old = folder / kSaveFileName;
  if (!title_folder.empty() && fs::is_regular_file(old, error) && !fs::exists(path, error))
    fs::copy_file(old, path, error);
  return path.string();
}

TSaveFile::TSaveFile(std::string native_path, std::function<void(const std::string&)> report)
    : path_(std::move(native_path)), report_(std::move(report)) {}

bool TSaveFile::Exists() const {
  std::error_code error;
  return fs::is_regular_file(path_, error) || fs::is_regular_file(BackupPathOf(path_), error);
}

std::unique_ptr<TVrFileCollection> TSaveFile::Open() {
  std::error_code error;
  backup_ = TBackup::Refresh;
  if (fs::is_regular_file(path_, error)) {
    try {
      auto archive = OpenArchive(path_);
      Detach(*archive);
      return archive;
    } catch (const ENovaError&) {
      // A damaged file: the backup holds the saves as they were before the last write.
      backup_ = TBackup::Keep;
    }
  }
  const std::string backup = BackupPathOf(path_);
  if (fs::is_regular_file(backup, error)) {
    try {
      auto archive = OpenArchive(backup);
      Detach(*archive);
      return archive;
    } catch (const ENovaError&) {
    }
  }
  return std::make_unique<TVrFileCollection>();
}

bool TSaveFile::Write(TVrFileCollection& archive) {
  try {
    TZpBigMemoryStream out;
    archive.WriteTo(out);
    WriteFileDurably(path_, out.Memory().Bytes(), backup_);
    backup_ = TBackup::Refresh;
    return true;
  } catch (const std::exception& e) {
    if (report_)
      report_(std::string("The save file could not be written, the previous one is kept: ") +
              e.what());
    return false;
  }
}

} // namespace nova
