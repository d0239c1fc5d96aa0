// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "expr/db_field.h"

namespace nova {

// Bounds that keep a script or a damaged save from making a table claim unbounded memory.
constexpr int32_t kDBMaxRecords = 1 << 24;
constexpr int64_t kDBMaxTableBytes = int64_t{512} << 20;

// One (field, value) pair of a record selection, with the value already in its comparison type.
struct TDBCondition {
  int32_t field = -1; // -1: the name is no field, which selects nothing
  uint8_t type = 0;   // PT_INT .. PT_STR: how the field is read and compared
  int32_t i = 0;
  long double r = 0;
  bool b = false;
  std::string s; // upper-cased already when the comparison ignores case
};

struct TDBSelection {
  std::vector<TDBCondition> conditions; // empty: every record
  bool ignore_case = false;
  bool partial = false;
};

// One sort key: a field and its direction.
struct TDBSortKey {
  int32_t field = 0;
  bool descending = false;
};

// A named table of fixed-layout records, stored back to back in one block.
class TDBTable {
public:
  TDBTable(std::string name, bool status) : name_(std::move(name)), status_(status) {}

  const std::string& Name() const { return name_; }
  bool Status() const { return status_; }
  const TDBFieldList& Fields() const { return fields_; }
  int32_t RecordCount() const { return count_; }

  // Index of the current record; -1 when none.
  int32_t current = -1;
  bool HasCurrent() const { return current >= 0 && current < count_; }

  uint8_t* Record(int32_t i) { return data_.data() + static_cast<size_t>(i) * RecSize(); }
  const uint8_t* Record(int32_t i) const {
    return data_.data() + static_cast<size_t>(i) * RecSize();
  }
  std::span<const uint8_t> Bytes() const { return data_; }

  // Appends a field; existing records grow by its storage, zero-filled. False (nothing changed)
  // for a duplicate name, a type outside 1..4 or records that would outgrow the bounds.
  bool AddField(std::string_view name, uint8_t type, int32_t length);
  // Appends a field with the storage a saved table gives (already checked by the caller).
  void AddStoredField(std::string name, uint8_t type, int32_t size);
  // Appends a zero-filled record, or a copy of `bytes` (record-size bytes); false when full.
  bool AppendRecord();
  bool AppendRecord(const uint8_t* bytes);
  // Replaces every record by `count` records from `bytes` (count * record-size bytes).
  void SetRecords(std::span<const uint8_t> bytes, int32_t count);
  void DeleteRecord(int32_t i);
  void ClearRecords();
  // Fields and records go; no current record.
  void ClearAll();
  void CopyFieldsFrom(const TDBTable& other);

  // Indices of the records the selection picks, in record order.
  std::vector<int32_t> Select(const TDBSelection& sel) const;
  // The first record the selection picks; -1 when none.
  int32_t SelectFirst(const TDBSelection& sel) const;
  // Reorders the records by the keys (not stable); the current index stays as it is.
  void Sort(std::span<const TDBSortKey> keys);

private:
  size_t RecSize() const { return static_cast<size_t>(fields_.RecordSize()); }
  bool Matches(const uint8_t* rec, const TDBSelection& sel) const;
  bool Fits(int64_t records, int64_t record_size) const;

  std::string name_;
  bool status_;
  TDBFieldList fields_;
  std::vector<uint8_t> data_;
  int32_t count_ = 0;
};

} // namespace nova
