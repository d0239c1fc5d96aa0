// SPDX-License-Identifier: MIT
#include "base/binary_writer.h"

#include <cassert>
#include <cstring>

#include "base/extended_real.h"

namespace nova {

void BinaryWriter::U16(uint16_t v) {
  data_.push_back(static_cast<uint8_t>(v));
  data_.push_back(static_cast<uint8_t>(v >> 8));
}

void BinaryWriter::U32(uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void BinaryWriter::U64(uint64_t v) {
  for (int i = 0; i < 8; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void BinaryWriter::F64(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  U64(bits);
}

void BinaryWriter::Extended(long double v) {
  auto bytes = ExtendedToBytes(v);
  data_.insert(data_.end(), bytes.begin(), bytes.end());
}

void BinaryWriter::String(std::string_view s) {
  I32(static_cast<int32_t>(s.size()));
  Bytes(s);
}

void BinaryWriter::StringList(const std::vector<std::string>& list) {
  I32(static_cast<int32_t>(list.size()));
  for (const auto& s : list) String(s);
}

void BinaryWriter::Bytes(std::span<const uint8_t> bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
}

void BinaryWriter::Bytes(std::string_view bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
}

void BinaryWriter::PatchU32(size_t pos, uint32_t v) {
  assert(pos + 4 <= data_.size());
  for (int i = 0; i < 4; ++i) data_[pos + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace nova
