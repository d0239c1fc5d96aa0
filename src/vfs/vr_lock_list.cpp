// SPDX-License-Identifier: MIT
#include "vfs/vr_lock_list.h"

#include <algorithm>
#include <cstdio>

#include "base/sjis.h"

namespace nova {

std::string TVrLockList::WorkFileName(uint32_t id, const std::string& name) {
  char stem[16];
  std::snprintf(stem, sizeof stem, "~nv%08X", id);
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); i += CharBytes(name, i)) {
    if (name[i] == '.')
      dot = i;
    if (name[i] == '\\')
      dot = std::string::npos;
  }
  return std::string(stem) + (dot == std::string::npos ? "" : SjisToUtf8(name.substr(dot)));
}

TVrLockData* TVrLockList::Find(const std::string& name) {
  for (auto& lock : locks_) {
    if (lock->name == name)
      return lock.get();
  }
  return nullptr;
}

TVrLockData* TVrLockList::FindPath(const std::string& path) {
  for (auto& lock : locks_) {
    if (lock->path == path)
      return lock.get();
  }
  return nullptr;
}

bool TVrLockList::InUse(uint32_t id) const {
  return std::any_of(locks_.begin(), locks_.end(),
                     [id](const auto& lock) { return lock->id == id; });
}

TVrLockData& TVrLockList::Add(const std::string& name, const std::string& temp_folder) {
  while (InUse(next_id_))
    ++next_id_;
  auto lock = std::make_unique<TVrLockData>();
  lock->name = name;
  lock->id = next_id_++;
  lock->path = temp_folder + WorkFileName(lock->id, name);
  locks_.push_back(std::move(lock));
  return *locks_.back();
}

std::string TVrLockList::Release(const std::string& path) {
  for (auto it = locks_.begin(); it != locks_.end(); ++it) {
    if ((*it)->path != path)
      continue;
    if (--(*it)->ref_count > 0)
      return "";
    std::string freed = (*it)->path;
    locks_.erase(it);
    return freed;
  }
  return "";
}

std::vector<std::string> TVrLockList::TakeAll() {
  std::vector<std::string> paths;
  for (auto& lock : locks_)
    paths.push_back(lock->path);
  locks_.clear();
  return paths;
}

} // namespace nova
