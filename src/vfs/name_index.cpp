// SPDX-License-Identifier: MIT
#include "vfs/private/name_index.h"

#include "base/sjis.h"

namespace nova {

uint64_t TNameIndex::FoldedHash(std::string_view name) {
  uint64_t h = 14695981039346656037ull;
  for (size_t i = 0; i < name.size();) {
    size_t n = CharBytes(name, i);
    for (size_t k = 0; k < n; ++k) {
      uint8_t c = static_cast<uint8_t>(name[i + k]);
      if (n == 1 && c >= 'A' && c <= 'Z') c = static_cast<uint8_t>(c - 'A' + 'a');
      h = (h ^ c) * 1099511628211ull;
    }
    i += n;
  }
  return h;
}

void TNameIndex::Build(const std::vector<std::string_view>& names) {
  names_ = names;
  hashes_.resize(names.size());
  size_t capacity = 16;
  while (capacity < names.size() * 2) capacity *= 2;
  slots_.assign(capacity, 0);
  const size_t mask = capacity - 1;
  for (size_t i = 0; i < names.size(); ++i) {
    uint64_t h = FoldedHash(names[i]);
    hashes_[i] = h;
    size_t slot = static_cast<size_t>(h) & mask;
    bool duplicate = false;
    while (slots_[slot] != 0) {
      size_t other = static_cast<size_t>(slots_[slot] - 1);
      if (hashes_[other] == h && SameTextJ(names_[other], names[i])) {
        duplicate = true;
        break;
      }
      slot = (slot + 1) & mask;
    }
    if (!duplicate) slots_[slot] = static_cast<int32_t>(i + 1);
  }
}

int TNameIndex::Find(std::string_view name) const {
  if (slots_.empty()) return -1;
  const uint64_t h = FoldedHash(name);
  const size_t mask = slots_.size() - 1;
  for (size_t slot = static_cast<size_t>(h) & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    size_t i = static_cast<size_t>(slots_[slot] - 1);
    if (hashes_[i] == h && SameTextJ(names_[i], name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace nova
