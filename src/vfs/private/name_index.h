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
  // The high hash bits and the name beside the index: a lookup touches one slot and one name.
  struct Slot {
    const char* name = nullptr;
    uint32_t size = 0;
    uint32_t tag = 0;
    int32_t index = -1; // -1 = empty
  };
  std::vector<Slot> slots_;
};

} // namespace nova
