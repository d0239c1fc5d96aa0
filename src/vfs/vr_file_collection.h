// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vfs/archive_format.h"
#include "vfs/big_stream.h"
#include "vfs/range_stream.h"
#include "vfs/vr_file.h"

namespace nova {

class TNameIndex;

inline constexpr char kTitleResourceName[] = "DUMMY";
inline constexpr char kTitleResourceType[] = "BINTYPE";

// The start-up check for a title executable: it holds the resource "DUMMY" of type "BINTYPE" and
// that resource's last two bytes are "vf". False for files that are no PE image.
bool HasTitleResource(const std::string& executable_path);

// One archive: its entries with case-insensitive hashed lookup, and the stream its data is read
// from. Used from the main thread only.
class TVrFileCollection {
public:
  TVrFileCollection();
  ~TVrFileCollection();
  TVrFileCollection(const TVrFileCollection&) = delete;
  TVrFileCollection& operator=(const TVrFileCollection&) = delete;

  // Opens a file by its container form: ".exe"/".scr" through the "nv" trailer, a file with a
  // sibling ".ext" side directory, or a plain archive (split volumes included). A name that is
  // empty or not an existing file gives an archive with no entries whose folder is that name.
  // A damaged archive throws ENovaError naming it (and the entry, where one is at fault).
  void Open(const std::string& native_path, int64_t volume_size = kVolumeSize);
  // Opens the archive held in a resource of a Windows module file. A module that cannot be read
  // as one leaves the archive empty; a missing or empty resource throws "リソースが見つかりません".
  void OpenResource(const std::string& module_path, const std::string& resource_name,
                    const std::string& resource_type);
  // Opens an archive that starts at position 0 of `stream` (fuzzing, archives in memory).
  void OpenStream(std::unique_ptr<TZpBigStream> stream, const std::string& what);

  // Index of the entry (case-insensitive, Japanese rules), -1 when absent.
  int IndexOf(std::string_view name) const;
  int Count() const { return static_cast<int>(entries_.size()); }
  TVrFile& Entry(int index) { return entries_[static_cast<size_t>(index)]; }
  const TVrFile& Entry(int index) const { return entries_[static_cast<size_t>(index)]; }
  const std::vector<TVrFile>& Entries() const { return entries_; }

  // Fills `out` (cleared first, then rewound) with the entry's data: in-memory data, else the
  // data stream (inflated when compressed), else the loose file folder + name unless that is the
  // archive file itself. Throws "%s:ファイルがありません" when there is none, and a message naming
  // the entry when its data is larger than `max_bytes`.
  void ReadEntry(TStream& out, std::string_view name, int64_t max_bytes = kMaxEntryBytes);
  // The entry's data from the data stream (inflated); errors name the archive and the entry.
  void ReadEntryData(int index, TMemoryStream& out, int64_t max_bytes = kMaxEntryBytes);
  // A read-only window over the entry's bytes as stored, opened on its own file or resource stream.
  std::unique_ptr<TRangeStream> OpenEntryRange(int index) const;

  // Appends an entry with an empty in-memory stream and returns it.
  TVrFile& AddMemoryEntry(std::string_view name);
  // Appends an entry that the writer packs from a loose file.
  TVrFile& AddFileEntry(std::string_view name, const std::string& native_path);
  void Delete(std::string_view name);

  // Writes the archive (version 102) into `out` at its position. `on_error` receives the message
  // "エラー:" + entry name when an entry fails; the error is re-thrown and the output is
  // incomplete.
  void WriteTo(TZpBigStream& out, const TArchiveEntryError& on_error = {});

  // Appends the names of the entries lying directly in `folder` (Shift-JIS, with or without a
  // trailing `\`; "" is the root) that are not in `list` yet.
  void ListFolder(std::string_view folder, std::vector<std::string>& list) const;

  const std::string& FileName() const { return file_name_; }
  // The archive file's folder (native, ending in '/'), or the name itself for an archive that
  // was never found.
  const std::string& Folder() const { return folder_; }
  bool HasDataStream() const { return data_ != nullptr; }
  bool IsResource() const { return !resource_name_.empty(); }
  int32_t Version() const { return version_; }

private:
  void Reset(const std::string& native_path);
  void Adopt(TArchiveDirectory directory);
  void CheckEntries() const;
  std::string What() const;
  std::string EntryWhat(int index) const;

  std::string file_name_;
  std::string label_; // Shift-JIS name used in messages
  std::string folder_;
  std::string resource_name_;
  std::string resource_type_;
  int64_t volume_size_ = kVolumeSize;
  int32_t version_ = kArchiveVersion;
  std::unique_ptr<TZpBigStream> data_;
  std::vector<TVrFile> entries_;
  int64_t resource_offset_ = 0;
  // Rebuilt on the first lookup after the entries changed.
  mutable std::unique_ptr<TNameIndex> index_;
  mutable bool index_stale_ = true;
};

} // namespace nova
