// SPDX-License-Identifier: MIT
#include "expr/db_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "base/sjis.h"
#include "expr/param_types.h"

namespace nova {

bool TDBTable::Fits(int64_t records, int64_t record_size) const {
  return records <= kDBMaxRecords && records * record_size <= kDBMaxTableBytes;
}

bool TDBTable::AddField(std::string_view name, uint8_t type, int32_t length) {
  if (type < ftInteger || type > ftString || fields_.IndexOf(name) >= 0)
    return false;
  const int32_t size = TDBField::StorageSize(type, length);
  if (!Fits(count_, int64_t{fields_.RecordSize()} + size))
    return false;
  const size_t old_size = RecSize();
  fields_.Add(std::string(name), type, size);
  if (count_ > 0) {
    std::vector<uint8_t> grown(static_cast<size_t>(count_) * RecSize());
    for (int32_t i = 0; i < count_; ++i) {
      std::memcpy(grown.data() + static_cast<size_t>(i) * RecSize(),
                  data_.data() + static_cast<size_t>(i) * old_size, old_size);
    }
    data_ = std::move(grown);
  }
  return true;
}

void TDBTable::AddStoredField(std::string name, uint8_t type, int32_t size) {
  fields_.Add(std::move(name), type, size);
}

bool TDBTable::AppendRecord() {
  if (!Fits(int64_t{count_} + 1, fields_.RecordSize()))
    return false;
  data_.resize(data_.size() + RecSize());
  ++count_;
  return true;
}

bool TDBTable::AppendRecord(const uint8_t* bytes) {
  if (!Fits(int64_t{count_} + 1, fields_.RecordSize()))
    return false;
  data_.insert(data_.end(), bytes, bytes + RecSize());
  ++count_;
  return true;
}

void TDBTable::SetRecords(std::span<const uint8_t> bytes, int32_t count) {
  data_.assign(bytes.begin(), bytes.end());
  count_ = count;
}

void TDBTable::DeleteRecord(int32_t i) {
  const auto at = data_.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(i) * RecSize());
  data_.erase(at, at + static_cast<ptrdiff_t>(RecSize()));
  --count_;
}

void TDBTable::ClearRecords() {
  data_.clear();
  count_ = 0;
  current = -1;
}

void TDBTable::ClearAll() {
  ClearRecords();
  fields_.Clear();
}

void TDBTable::CopyFieldsFrom(const TDBTable& other) {
  ClearAll();
  fields_ = other.fields_;
}

bool TDBTable::Matches(const uint8_t* rec, const TDBSelection& sel) const {
  for (const TDBCondition& c : sel.conditions) {
    const TDBField& f = fields_[c.field];
    switch (c.type) {
    case PT_INT:
      if (f.ReadInt(rec) != c.i)
        return false;
      break;
    case PT_FLOAT:
      if (f.ReadReal(rec) != c.r)
        return false;
      break;
    case PT_BOOL:
      if (f.ReadFlag(rec) != c.b)
        return false;
      break;
    default: {
      // String fields are compared in place; other types through their text.
      std::string text;
      std::string_view s = f.RawStr(rec);
      if (f.type != ftString)
        s = text = f.ReadStr(rec);
      if (sel.partial) {
        if (c.s.empty())
          return false;
        if (sel.ignore_case) {
          text = UpperCaseJ(s);
          s = text;
        }
        if (s.find(c.s) == std::string_view::npos)
          return false;
      } else if (sel.ignore_case ? !SameTextJ(s, c.s) : s != c.s) {
        return false;
      }
    }
    }
  }
  return true;
}

std::vector<int32_t> TDBTable::Select(const TDBSelection& sel) const {
  std::vector<int32_t> out;
  for (const TDBCondition& c : sel.conditions) {
    if (c.field < 0)
      return out;
  }
  for (int32_t i = 0; i < count_; ++i) {
    if (Matches(Record(i), sel))
      out.push_back(i);
  }
  return out;
}

int32_t TDBTable::SelectFirst(const TDBSelection& sel) const {
  for (const TDBCondition& c : sel.conditions) {
    if (c.field < 0)
      return -1;
  }
  for (int32_t i = 0; i < count_; ++i) {
    if (Matches(Record(i), sel))
      return i;
  }
  return -1;
}

namespace {

// <0, 0, >0 as record a sorts before, with or after record b on one field.
int CompareField(const TDBField& f, const uint8_t* a, const uint8_t* b) {
  switch (f.type) {
  case ftInteger: {
    const int32_t x = f.ReadInt(a), y = f.ReadInt(b);
    return (x > y) - (x < y);
  }
  case ftReal: {
    // Saved tables may hold NaN; it sorts after every number so the order stays a total one.
    const long double x = f.ReadReal(a), y = f.ReadReal(b);
    const bool xn = std::isnan(x), yn = std::isnan(y);
    if (xn || yn)
      return static_cast<int>(xn) - static_cast<int>(yn);
    return (x > y) - (x < y);
  }
  case ftFlag:
    return static_cast<int>(f.ReadFlag(a)) - static_cast<int>(f.ReadFlag(b));
  default: {
    const std::string_view x = f.RawStr(a), y = f.RawStr(b);
    const int c = x.compare(y);
    return (c > 0) - (c < 0);
  }
  }
}

} // namespace

void TDBTable::Sort(std::span<const TDBSortKey> keys) {
  if (keys.empty() || count_ < 2)
    return;
  std::vector<int32_t> order(static_cast<size_t>(count_));
  std::iota(order.begin(), order.end(), 0);
  const auto less = [&](int32_t a, int32_t b) {
    const uint8_t *ra = Record(a), *rb = Record(b);
    for (const TDBSortKey& k : keys) {
      const int c = CompareField(fields_[k.field], ra, rb);
      if (c != 0)
        return k.descending ? c > 0 : c < 0;
    }
    return false;
  };
  // Keys of the common single-integer sort are taken out once: far fewer byte loads.
  if (keys.size() == 1 && fields_[keys[0].field].type == ftInteger) {
    const TDBField& f = fields_[keys[0].field];
    std::vector<int64_t> packed(order.size());
    for (int32_t i = 0; i < count_; ++i) {
      const int64_t v = keys[0].descending ? -int64_t{f.ReadInt(Record(i))} : f.ReadInt(Record(i));
      packed[static_cast<size_t>(i)] = (v + (int64_t{1} << 32)) << 24 | i;
    }
    std::sort(packed.begin(), packed.end());
    for (size_t i = 0; i < packed.size(); ++i)
      order[i] = static_cast<int32_t>(packed[i] & 0xFFFFFF);
  } else {
    std::sort(order.begin(), order.end(), less);
  }
  std::vector<uint8_t> sorted(data_.size());
  for (size_t i = 0; i < order.size(); ++i)
    std::memcpy(sorted.data() + i * RecSize(), Record(order[i]), RecSize());
  data_ = std::move(sorted);
}

} // namespace nova
