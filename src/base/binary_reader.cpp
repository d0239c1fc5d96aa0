// SPDX-License-Identifier: MIT
#include "base/binary_reader.h"

#include <cstring>

#include "base/extended_real.h"
#include "base/nova_error.h"

namespace nova {

BinaryReader::BinaryReader(std::span<const uint8_t> data, std::string what)
    : data_(data), what_(std::move(what)) {}

void BinaryReader::Fail(const std::string& problem) const {
  throw ENovaError(what_ + ": " + problem + " at offset " + std::to_string(pos_));
}

void BinaryReader::Need(size_t count) const {
  if (count > remaining()) {
    Fail("unexpected end of data (" + std::to_string(count) + " bytes needed, " +
         std::to_string(remaining()) + " left)");
  }
}

void BinaryReader::Seek(size_t pos) {
  if (pos > data_.size()) Fail("seek to " + std::to_string(pos) + " past the end");
  pos_ = pos;
}

void BinaryReader::Skip(size_t count) {
  Need(count);
  pos_ += count;
}

uint8_t BinaryReader::U8() {
  Need(1);
  return data_[pos_++];
}

uint16_t BinaryReader::U16() {
  Need(2);
  uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

uint32_t BinaryReader::U32() {
  Need(4);
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | data_[pos_ + i];
  pos_ += 4;
  return v;
}

uint64_t BinaryReader::U64() {
  Need(8);
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | data_[pos_ + i];
  pos_ += 8;
  return v;
}

double BinaryReader::F64() {
  uint64_t bits = U64();
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

long double BinaryReader::Extended() {
  Need(10);
  long double v = ExtendedFromBytes(data_.subspan(pos_, 10));
  pos_ += 10;
  return v;
}

std::string BinaryReader::String() {
  int32_t len = I32();
  if (len < 0) Fail("negative string length " + std::to_string(len));
  return FixedString(static_cast<size_t>(len));
}

std::vector<std::string> BinaryReader::StringList() {
  int32_t count = I32();
  CheckCount(count, 4, "string list");
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) out.push_back(String());
  return out;
}

std::span<const uint8_t> BinaryReader::Bytes(size_t count) {
  Need(count);
  auto s = data_.subspan(pos_, count);
  pos_ += count;
  return s;
}

std::string BinaryReader::FixedString(size_t count) {
  auto b = Bytes(count);
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

void BinaryReader::CheckCount(int64_t count, size_t min_element_bytes, const char* field) const {
  if (count < 0) Fail(std::string("negative count ") + std::to_string(count) + " for " + field);
  if (min_element_bytes > 0 &&
      static_cast<uint64_t>(count) > remaining() / min_element_bytes) {
    Fail(std::string("count ") + std::to_string(count) + " for " + field +
         " does not fit in the " + std::to_string(remaining()) + " bytes left");
  }
}

}  // namespace nova
