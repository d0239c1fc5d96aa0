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
      if (n == 1 && c >= 'A' && c <= 'Z')
        c = static_cast<uint8_t>(c - 'A' + 'a');
      h = (h ^ c) * 1099511628211ull;
    }
    i += n;
  }
  return h;
}

void TNameIndex::Build(const std::vector<std::string_view>& names) {
  size_t capacity = 16;
  while (capacity < names.size() * 2)
    capacity *= 2;
  slots_.assign(capacity, Slot{});
  const size_t mask = capacity - 1;
  for (size_t i = 0; i < names.size(); ++i) {
    const uint64_t h = FoldedHash(names[i]);
    const uint32_t tag = static_cast<uint32_t>(h >> 32);
    size_t slot = static_cast<size_t>(h) & mask;
    bool duplicate = false;
    for (; slots_[slot].index >= 0; slot = (slot + 1) & mask) {
      const Slot& s = slots_[slot];
      if (s.tag == tag && SameTextJ({s.name, s.size}, names[i])) {
        duplicate = true;
        break;
      }
    }
    if (!duplicate) {
      slots_[slot] = Slot{names[i].data(), static_cast<uint32_t>(names[i].size()), tag,
                          static_cast<int32_t>(i)};
    }
  }
}

int TNameIndex::Find(std::string_view name) const {
  if (slots_.empty())
    return -1;
  const uint64_t h = FoldedHash(name);
  const uint32_t tag = static_cast<uint32_t>(h >> 32);
  const size_t mask = slots_.size() - 1;
  for (size_t slot = static_cast<size_t>(h) & mask; slots_[slot].index >= 0;
       slot = (slot + 1) & mask) {
    const Slot& s = slots_[slot];
    if (s.tag == tag && SameTextJ({s.name, s.size}, name))
      return s.index;
  }
  return -1;
}

} // namespace nova
