// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nova {

// Maps title names (Shift-JIS, `\` separators) onto the file system: `\` becomes '/', Shift-JIS
// becomes UTF-8, and each component is matched case-insensitively, as on the system the titles
// were made on. Directory listings are cached and read again when a directory changes.
class TLooseFiles {
public:
  // The existing file or folder `native_root` + name (root "" is the working folder), or "".
  std::string Find(const std::string& native_root, std::string_view sjis_name);
  // As Find, for regular files only.
  std::string FindFile(const std::string& native_root, std::string_view sjis_name);

private:
  struct Listing {
    struct timespec mtime = {};
    ino_t inode = 0;
    std::unordered_map<std::string, std::string> by_folded_name;
  };
  // The actual name in `native_dir` matching `component` case-insensitively, or "".
  std::string Match(const std::string& native_dir, const std::string& component);

  std::unordered_map<std::string, Listing> cache_;
};

// Lower-cases ASCII letters of a UTF-8 name (the folding used to match components).
std::string FoldNativeName(std::string_view utf8_name);

} // namespace nova
