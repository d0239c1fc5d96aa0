// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nova {

// Little-endian writer into a growing byte buffer; the mirror of BinaryReader.
class BinaryWriter {
 public:
  const std::vector<uint8_t>& data() const { return data_; }
  std::vector<uint8_t> Take() { return std::move(data_); }
  size_t size() const { return data_.size(); }

  void U8(uint8_t v) { data_.push_back(v); }
  void I8(int8_t v) { U8(static_cast<uint8_t>(v)); }
  void U16(uint16_t v);
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void U32(uint32_t v);
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U64(uint64_t v);
  void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
  void Bool(bool v) { U8(v ? 1 : 0); }
  void F64(double v);
  void Extended(long double v);
  void String(std::string_view s);
  void StringList(const std::vector<std::string>& list);
  void Bytes(std::span<const uint8_t> bytes);
  void Bytes(std::string_view bytes);
  // Overwrites 4 bytes at `pos` (for sizes known only after the body is written).
  void PatchU32(size_t pos, uint32_t v);

 private:
  std::vector<uint8_t> data_;
};

}  // namespace nova
