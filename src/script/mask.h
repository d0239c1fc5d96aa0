// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"

namespace nova {

inline constexpr int kCommandKindCount = 61;
inline constexpr int kMaskBytes = 22; // 176 bits: property ids 0…169 and six spare bits

// The set of property ids that a component-creating command carries in one page:
// bit (id mod 8) of byte (id div 8).
struct TPropMask {
  std::array<uint8_t, kMaskBytes> bytes{};

  bool Has(int id) const;
  void Set(int id);
  bool operator==(const TPropMask&) const = default;
};

// The page's mask table: one entry per command kind. Files may carry entries of any size and
// any number of them; the player uses the first 22 bytes of entries 0…60. The stored layout is
// kept as read so that a page can be rewritten byte for byte.
class TMaskTable {
public:
  // Reads count, size and the entries; the claimed size is checked against the bytes left.
  void Read(BinaryReader& r);
  void Write(BinaryWriter& w) const;

  // Entry of a command id (0…60); empty for others.
  const TPropMask& Entry(int kind) const;

  // Stored layout: entry count and bytes per entry (61 and 22 in current files).
  int32_t StoredCount() const { return count_; }
  int32_t StoredSize() const { return size_; }
  // The stored bytes of entry k, all `StoredSize()` of them.
  std::vector<uint8_t> StoredEntry(int32_t k) const;

  // Rebuilds the table with a new layout; entries start empty.
  void Reset(int32_t count, int32_t size);
  // Replaces the stored bytes of entry k (must be StoredSize() long) and updates the used part.
  void SetStoredEntry(int32_t k, const std::vector<uint8_t>& bytes);

private:
  void Refresh(int32_t k);

  int32_t count_ = kCommandKindCount;
  int32_t size_ = kMaskBytes;
  std::vector<uint8_t> stored_ = std::vector<uint8_t>(kCommandKindCount * kMaskBytes);
  std::array<TPropMask, kCommandKindCount> used_{};
};

} // namespace nova
