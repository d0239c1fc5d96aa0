// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vfs/range_stream.h"
#include "vfs/stream.h"
#include "vfs/vr_file.h"
#include "vfs/vr_file_collection.h"
#include "vfs/vr_lock_list.h"

namespace nova {

class TLooseFiles;

// What `PromptForDisk` needs from the project and the window. Texts are Shift-JIS.
struct TDiskPrompt {
  std::string prompt_format; // one %d, e.g. "ディスク%dを入れてから[OK]をクリックしてください"
  std::string quit_message; // e.g. "終了します"
  std::string caption;      // the application title
  // An OK/Cancel message box; true for OK. When unset, the process's message box is used (which
  // headless runs answer from `--answer`).
  std::function<bool(const std::string& text, const std::string& caption)> ask_ok_cancel;
  // True when the install settings at this native path carry the title and disk number.
  std::function<bool(const std::string& install_dat_path, int disk)> install_matches;
  // Closes the main window after the user chose to quit (Terminating is already set).
  std::function<void()> close_window;
};

// Resolves title file names (Shift-JIS, `\` separators) against loose files in the base folder,
// the open archives in the order added and the CD-ROM roots, and hands out their data.
// One per process (FileManager()); used from the main thread only; range streams it returns may
// be read from any thread.
class TVrFileManager {
public:
  // Receives the new archive, or null when the base folder changed.
  using ArchiveAddedFn = std::function<void(TVrFileCollection* archive)>;
  using ArchiveRemovedFn = std::function<void(TVrFileCollection& archive)>;

  // Collects the CD-ROM roots (mounted iso9660 and udf file systems) once.
  TVrFileManager();
  // Releases every work file and deletes the queued files.
  ~TVrFileManager();
  TVrFileManager(const TVrFileManager&) = delete;
  TVrFileManager& operator=(const TVrFileManager&) = delete;

  // Native folder; stored with a trailing '/'. Fires archive added with null.
  void SetBaseFolder(const std::string& native_folder);
  const std::string& BaseFolder() const { return base_folder_; }
  // Folder of the work files (native); by default a private folder made in the platform's
  // temporary folder when the first work file is needed, removed at the end.
  void SetTempFolder(const std::string& native_folder);
  std::string TempFolder();
  // The title executable (native path) whose resources count as the player's own.
  void SetExecutablePath(const std::string& native_path) { executable_path_ = native_path; }
  const std::string& ExecutablePath() const { return executable_path_; }

  const std::vector<std::string>& CdromRoots() const { return cdrom_roots_; }
  // Replaces the roots (tests), or adds one given with `--cdrom DIR`.
  void SetCdromRoots(std::vector<std::string> native_roots);
  void AddCdromRoot(const std::string& native_folder);

  void SetOnArchiveAdded(ArchiveAddedFn fn) { on_added_ = std::move(fn); }
  void SetOnArchiveRemoved(ArchiveRemovedFn fn) { on_removed_ = std::move(fn); }

  // Opens an archive by its container form and appends it; returns its index, or -1 when an open
  // archive's folder already equals the name. Empty or missing names give an empty archive.
  int AddArchive(const std::string& native_path, int64_t volume_size = kVolumeSize);
  // An archive held in a module's resource ("DUMMY" of type "BINTYPE" for the title executable).
  int AddResourceArchive(const std::string& module_path, const std::string& resource_name,
                         const std::string& resource_type);
  void RemoveArchive(int index);
  void Clear();
  int Count() const { return static_cast<int>(archives_.size()); }
  TVrFileCollection& Archive(int index) { return *archives_[static_cast<size_t>(index)]; }

  bool Exists(std::string_view name);
  // Fills `stream` (a memory stream is cleared first) and rewinds it to 0; throws
  // "%s:ファイルがありません" when no loose file, archive entry or disc file has the name, and a
  // message naming the file when its content is larger than `max_bytes` (the most its reader
  // needs), before that much is allocated.
  void Load(TStream& stream, std::string_view name, int64_t max_bytes = kMaxEntryBytes);
  TMemoryStream Load(std::string_view name, int64_t max_bytes = kMaxEntryBytes);
  // A real file with the data: the loose file, a shared work file for an archive entry (its
  // reference count grows with each call), a disc file, or else the name as a native path.
  std::string GetFilePath(std::string_view name);
  // Gives back one reference to a work file from GetFilePath; the last one queues it for deletion.
  // Paths that are no work files are ignored.
  void ReleaseFilePath(const std::string& path);
  // A read-only window onto the bytes as stored (only meaningful for stored entries).
  std::unique_ptr<TRangeStream> GetRangeStream(std::string_view name);
  // Appends the names (relative, Shift-JIS) of entries and files directly in `folder`.
  void ListFiles(std::string_view folder, std::vector<std::string>& list);
  // The first archive's entry of that name, or null.
  const TVrFile* FindEntry(std::string_view name);
  // Asks for disk `n` until a matching "game.dat" is found on a CD-ROM root (true) or the user
  // quits (false, Terminating set and the window closed).
  bool PromptForDisk(int n, const TDiskPrompt& prompt);

  // Native path of an existing loose file base folder + name, or "".
  std::string FindLooseFile(std::string_view name);

  // Released work files go to the process's pending list (platform/pending_work_files.h), which
  // the frame step empties; this empties it too.
  void DeletePendingFiles();
  const TVrLockList& Locks() const { return locks_; }

private:
  int Append(std::unique_ptr<TVrFileCollection> archive);
  std::string FindOnDisc(std::string_view name);
  bool LoadFromArchives(TStream& stream, std::string_view name, int64_t max_bytes);

  std::string base_folder_;
  std::string temp_folder_;
  bool own_temp_folder_ = false;
  std::string executable_path_;
  std::vector<std::string> cdrom_roots_;
  std::vector<std::unique_ptr<TVrFileCollection>> archives_;
  TVrLockList locks_;
  std::unique_ptr<TLooseFiles> loose_;
  ArchiveAddedFn on_added_;
  ArchiveRemovedFn on_removed_;
};

// The process-wide file manager, created on first use.
TVrFileManager& FileManager();
// Frees it (work files are deleted) so that the next FileManager() starts afresh (tests).
void ResetFileManager();

} // namespace nova
