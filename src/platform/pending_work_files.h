// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <mutex>
#include <vector>

namespace nova {

// Work files waiting to be deleted: installed fonts, and media work files released while the
// media library may still hold them open. The frame step deletes them; any thread may add.
class TPendingWorkFiles {
public:
  void Add(const std::filesystem::path& path);
  // Deletes every listed file; a file that cannot be deleted yet (still open, or the folder is
  // busy) stays listed for the next try, so no work file is left behind unnoticed.
  void DeleteAll();
  size_t Count();

private:
  std::mutex mutex_;
  std::vector<std::filesystem::path> paths_;
};

// The one list of the process.
TPendingWorkFiles& PendingWorkFiles();

} // namespace nova
