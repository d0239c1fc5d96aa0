// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nova {

// Case-insensitive (Japanese rules: single-byte letters fold, double-byte characters stay) hash
// of names to the index of their first occurrence. Open addressing, at most half full.
class TNameIndex {
 public:
  void Build(const std::vector<std::string_view>& names);
  int Find(std::string_view name) const;

  static uint64_t FoldedHash(std::string_view name);

 private:
  std::vector<int32_t> slots_;  // entry index + 1; 0 = empty
  std::vector<std::string_view> names_;
  std::vector<uint64_t> hashes_;
};

}  // namespace nova
