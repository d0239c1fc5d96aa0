// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nova {

// One work file: an archive entry extracted to a real file for a decoder that needs a path.
struct TVrLockData {
  std::string name; // the entry name it was extracted from (Shift-JIS)
  uint32_t id = 0;
  int ref_count = 1;
  std::string path; // temporary folder + "~nv" + id as 8 upper-case hex digits + extension
};

// The work files in use. Ids come from a counter starting at 0 that skips ids still in use.
class TVrLockList {
public:
  // The work file for exactly this entry name, or null.
  TVrLockData* Find(const std::string& name);
  TVrLockData* FindPath(const std::string& path);
  // A new work file for `name` in `temp_folder` (native, ending in '/'), count 1.
  TVrLockData& Add(const std::string& name, const std::string& temp_folder);
  // Drops one reference; returns the path when that was the last one (the caller deletes it).
  std::string Release(const std::string& path);
  // Removes every work file and returns their paths.
  std::vector<std::string> TakeAll();
  size_t Count() const { return locks_.size(); }

  // "~nv" + 8 upper-case hex digits + the extension of the Shift-JIS entry name, as UTF-8.
  static std::string WorkFileName(uint32_t id, const std::string& name);

private:
  bool InUse(uint32_t id) const;

  std::vector<std::unique_ptr<TVrLockData>> locks_;
  uint32_t next_id_ = 0;
};

} // namespace nova
