// SPDX-License-Identifier: MIT
#include "script/mask.h"

#include <algorithm>
#include <cassert>

namespace nova {

bool TPropMask::Has(int id) const {
  if (id < 0 || id >= kMaskBytes * 8)
    return false;
  return (bytes[static_cast<size_t>(id / 8)] >> (id % 8)) & 1;
}

void TPropMask::Set(int id) {
  assert(id >= 0 && id < kMaskBytes * 8);
  bytes[static_cast<size_t>(id / 8)] |= static_cast<uint8_t>(1u << (id % 8));
}

void TMaskTable::Read(BinaryReader& r) {
  int32_t count = r.I32();
  int32_t size = r.I32();
  if (count < 0)
    r.Fail("negative mask count " + std::to_string(count));
  if (size < 0)
    r.Fail("negative mask size " + std::to_string(size));
  // Checked as a product so that neither a huge count nor a huge size allocates anything.
  uint64_t total = static_cast<uint64_t>(count) * static_cast<uint64_t>(size);
  if (total > r.remaining()) {
    r.Fail("mask table of " + std::to_string(count) + " x " + std::to_string(size) +
           " bytes is longer than the file");
  }
  auto bytes = r.Bytes(static_cast<size_t>(total));
  count_ = count;
  size_ = size;
  stored_.assign(bytes.begin(), bytes.end());
  used_ = {};
  for (int32_t k = 0; k < std::min(count_, kCommandKindCount); ++k)
    Refresh(k);
}

void TMaskTable::Write(BinaryWriter& w) const {
  w.I32(count_);
  w.I32(size_);
  w.Bytes(std::span<const uint8_t>(stored_));
}

const TPropMask& TMaskTable::Entry(int kind) const {
  static const TPropMask kNone;
  if (kind < 0 || kind >= kCommandKindCount)
    return kNone;
  return used_[static_cast<size_t>(kind)];
}

std::vector<uint8_t> TMaskTable::StoredEntry(int32_t k) const {
  auto first = stored_.begin() + static_cast<ptrdiff_t>(k) * size_;
  return {first, first + size_};
}

void TMaskTable::Reset(int32_t count, int32_t size) {
  count_ = count;
  size_ = size;
  stored_.assign(static_cast<size_t>(count) * static_cast<size_t>(size), 0);
  used_ = {};
}

void TMaskTable::SetStoredEntry(int32_t k, const std::vector<uint8_t>& bytes) {
  assert(k >= 0 && k < count_ && static_cast<int32_t>(bytes.size()) == size_);
  std::copy(bytes.begin(), bytes.end(), stored_.begin() + static_cast<ptrdiff_t>(k) * size_);
  if (k < kCommandKindCount)
    Refresh(k);
}

void TMaskTable::Refresh(int32_t k) {
  TPropMask& m = used_[static_cast<size_t>(k)];
  m = {};
  size_t used = static_cast<size_t>(std::min(size_, kMaskBytes));
  std::copy_n(stored_.begin() + static_cast<ptrdiff_t>(k) * size_, used, m.bytes.begin());
}

} // namespace nova
