// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

// Bounds-checked little-endian reader over bytes that may come from any damaged file.
// Every read past the end throws ENovaError naming `what` (the file or record) and the offset;
// counts are checked against the bytes left before anything is allocated.
class BinaryReader {
 public:
  BinaryReader(std::span<const uint8_t> data, std::string what);

  const std::string& what() const { return what_; }
  size_t position() const { return pos_; }
  size_t size() const { return data_.size(); }
  size_t remaining() const { return data_.size() - pos_; }
  bool at_end() const { return pos_ == data_.size(); }

  void Seek(size_t pos);
  void Skip(size_t count);

  uint8_t U8();
  int8_t I8() { return static_cast<int8_t>(U8()); }
  uint16_t U16();
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32();
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U64();
  int64_t I64() { return static_cast<int64_t>(U64()); }
  bool Bool() { return U8() != 0; }
  double F64();
  // 10-byte x87 extended real, converted explicitly.
  long double Extended();

  // int32 byte length, then the bytes; a negative or oversized length is an error.
  std::string String();
  // int32 count, then that many strings.
  std::vector<std::string> StringList();
  std::span<const uint8_t> Bytes(size_t count);
  std::string FixedString(size_t count);

  // Throws unless `count` elements of at least `min_element_bytes` each can still follow.
  void CheckCount(int64_t count, size_t min_element_bytes, const char* field) const;

  [[noreturn]] void Fail(const std::string& problem) const;

 private:
  void Need(size_t count) const;

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
  std::string what_;
};

}  // namespace nova
