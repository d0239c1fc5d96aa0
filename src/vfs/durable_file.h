// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace nova {

// The system calls that WriteFileDurably makes, in order, for the fault seam.
enum class TFileCall { Open, Write, Sync, Close, Backup, Rename, SyncFolder };

// Asked before each system call of WriteFileDurably; a non-zero answer is an errno value with
// which that call fails instead of running. Tests use it to fail every call in turn.
using TFileFaultHook = std::function<int(TFileCall call)>;
void SetFileFaultHook(TFileFaultHook hook);

// Whether the file that is replaced becomes "<path>.bak". A file that could not be read is no
// better than the backup it would replace, so its writer keeps the backup instead.
enum class TBackup { Refresh, Keep };

// Replaces the file at `native_path` with `bytes` so that a crash, a full disk or a power cut
// at any moment leaves either the old or the new file whole: the bytes go to "<path>.tmp" in
// the same folder, which is synced and renamed over the file, and then the folder is synced.
// With TBackup::Refresh an existing file is first linked as "<path>.bak". Throws ENovaError
// naming the file and the failed step; the old file is then untouched.
void WriteFileDurably(const std::string& native_path, std::span<const uint8_t> bytes,
                      TBackup backup = TBackup::Refresh);

// "<path>.bak": the previous file, read when the file itself cannot be.
std::string BackupPathOf(const std::string& native_path);

} // namespace nova
