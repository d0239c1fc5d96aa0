// SPDX-License-Identifier: MIT
#include "platform/pending_work_files.h"

#include <system_error>

namespace nova {

void TPendingWorkFiles::Add(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  paths_.push_back(path);
}

void TPendingWorkFiles::DeleteAll() {
  std::vector<std::filesystem::path> paths;
  {
    std::lock_guard lock(mutex_);
    paths.swap(paths_);
  }
  std::vector<std::filesystem::path> kept;
  for (const auto& path : paths) {
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error)
      kept.push_back(path);
  }
  if (kept.empty())
    return;
  std::lock_guard lock(mutex_);
  paths_.insert(paths_.end(), kept.begin(), kept.end());
}

size_t TPendingWorkFiles::Count() {
  std::lock_guard lock(mutex_);
  return paths_.size();
}

TPendingWorkFiles& PendingWorkFiles() {
  static TPendingWorkFiles files;
  return files;
}

} // namespace nova
