// SPDX-License-Identifier: MIT
#include "expr/db_field.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/extended_real.h"
#include "base/sjis.h"
#include "expr/private/convert.h"

namespace nova {

namespace {

const char kTrue[] = "TRUE";

int32_t LoadI32(const uint8_t* p) {
  uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  return static_cast<int32_t>(v);
}

void StoreI32(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

long double LoadReal(const uint8_t* p) {
  return ExtendedFromBytes(std::span<const uint8_t>(p, 10));
}

void StoreReal(uint8_t* p, long double v) {
  const std::array<uint8_t, 10> bytes = ExtendedToBytes(v);
  std::memcpy(p, bytes.data(), bytes.size());
}

} // namespace

int32_t DBRoundReal(long double v) {
  const long double r = std::nearbyint(v); // the default rounding mode: ties to even
  if (!(r > -9223372036854775808.0L && r < 9223372036854775808.0L))
    return 0;
  return static_cast<int32_t>(
      static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(r))));
}

int32_t TDBField::StorageSize(uint8_t type, int32_t length) {
  switch (type) {
  case ftInteger:
    return 4;
  case ftReal:
    return 10;
  case ftFlag:
    return 1;
  default:
    return std::clamp(length, 0, kDBMaxStringLength) + 1;
  }
}

bool TDBField::ValidStorage(uint8_t type, int32_t size) {
  switch (type) {
  case ftInteger:
  case ftReal:
  case ftFlag:
    return size == StorageSize(type, 0);
  case ftString:
    return size >= 1 && size <= kDBMaxStringLength + 1;
  default:
    return false;
  }
}

std::string_view TDBField::RawStr(const uint8_t* record) const {
  if (type != ftString)
    return {};
  const char* p = reinterpret_cast<const char*>(record + offset);
  return std::string_view(p, strnlen(p, static_cast<size_t>(size)));
}

int32_t TDBField::ReadInt(const uint8_t* record) const {
  const uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    return LoadI32(p);
  case ftReal:
    return DBRoundReal(LoadReal(p));
  case ftFlag:
    return *p != 0 ? 1 : 0;
  default:
    return ParseInt(RawStr(record)).value_or(0);
  }
}

long double TDBField::ReadReal(const uint8_t* record) const {
  const uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    return LoadI32(p);
  case ftReal:
    return LoadReal(p);
  case ftFlag:
    return *p != 0 ? 1 : 0;
  default:
    return ParseReal(RawStr(record)).value_or(0);
  }
}

bool TDBField::ReadFlag(const uint8_t* record) const {
  const uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    return LoadI32(p) != 0;
  case ftReal:
    return LoadReal(p) != 0;
  case ftFlag:
    return *p != 0;
  default:
    return RawStr(record) == kTrue;
  }
}

std::string TDBField::ReadStr(const uint8_t* record) const {
  const uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    return IntToStr(LoadI32(p));
  case ftReal:
    return RealToStr(LoadReal(p));
  case ftFlag:
    return FlagToStr(*p != 0);
  default:
    return std::string(RawStr(record));
  }
}

void TDBField::WriteInt(uint8_t* record, int32_t v) const {
  uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    StoreI32(p, v);
    break;
  case ftReal:
    StoreReal(p, v);
    break;
  case ftFlag:
    *p = v != 0 ? 1 : 0;
    break;
  default:
    WriteStr(record, IntToStr(v));
  }
}

void TDBField::WriteReal(uint8_t* record, long double v) const {
  uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    StoreI32(p, DBRoundReal(v));
    break;
  case ftReal:
    StoreReal(p, v);
    break;
  case ftFlag:
    *p = v != 0 ? 1 : 0;
    break;
  default:
    WriteStr(record, RealToStr(v));
  }
}

void TDBField::WriteFlag(uint8_t* record, bool v) const {
  uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    StoreI32(p, v ? 1 : 0);
    break;
  case ftReal:
    StoreReal(p, v ? 1 : 0);
    break;
  case ftFlag:
    *p = v ? 1 : 0;
    break;
  default:
    WriteStr(record, FlagToStr(v));
  }
}

void TDBField::WriteStr(uint8_t* record, std::string_view v) const {
  uint8_t* p = record + offset;
  switch (type) {
  case ftInteger:
    StoreI32(p, ParseInt(v).value_or(0));
    break;
  case ftReal:
    StoreReal(p, ParseReal(v).value_or(0));
    break;
  case ftFlag:
    *p = v == kTrue ? 1 : 0;
    break;
  default: {
    const size_t n = std::min(v.size(), static_cast<size_t>(size - 1));
    std::memcpy(p, v.data(), n);
    std::memset(p + n, 0, static_cast<size_t>(size) - n);
  }
  }
}

int32_t TDBFieldList::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (SameTextJ(fields_[i].name, name))
      return static_cast<int32_t>(i);
  }
  return -1;
}

const TDBField* TDBFieldList::Find(std::string_view name) const {
  const int32_t i = IndexOf(name);
  return i < 0 ? nullptr : &fields_[static_cast<size_t>(i)];
}

void TDBFieldList::Add(std::string name, uint8_t type, int32_t size) {
  fields_.push_back(TDBField{std::move(name), type, size, record_size_});
  record_size_ += size;
}

void TDBFieldList::Clear() {
  fields_.clear();
  record_size_ = 0;
}

bool TDBFieldList::SameAs(const TDBFieldList& other) const {
  if (fields_.size() != other.fields_.size())
    return false;
  for (size_t i = 0; i < fields_.size(); ++i) {
    const TDBField &a = fields_[i], &b = other.fields_[i];
    if (a.name != b.name || a.type != b.type || a.size != b.size)
      return false;
  }
  return true;
}

} // namespace nova
