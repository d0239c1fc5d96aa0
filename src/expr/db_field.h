// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nova {

// Storage type codes of a table field, as scripts and saved tables give them.
enum TDBFieldType : uint8_t {
  ftInteger = 1, // 4 bytes, signed little-endian
  ftReal = 2,    // 10 bytes, extended real
  ftFlag = 3,    // 1 byte, 0 or 1
  ftString = 4,  // declared length + 1 bytes, NUL-terminated
};

// Longest string field a table accepts; larger declarations are cut to it so that a script
// cannot make one record claim gigabytes.
constexpr int32_t kDBMaxStringLength = 1 << 20;

// One field definition: where its bytes sit inside a record and how they are read and written.
// Every field converts to and from the four value types; the readers never look past the
// field's own storage, whatever bytes a saved table put there.
struct TDBField {
  std::string name;
  uint8_t type = ftInteger;
  int32_t size = 4;   // storage bytes
  int32_t offset = 0; // within the record

  // Storage bytes of a new field of `type` (1..4); `length` is the declared string length.
  static int32_t StorageSize(uint8_t type, int32_t length);
  // True when `size` is the storage a field of `type` can have.
  static bool ValidStorage(uint8_t type, int32_t size);

  int32_t ReadInt(const uint8_t* record) const;
  long double ReadReal(const uint8_t* record) const;
  bool ReadFlag(const uint8_t* record) const;
  std::string ReadStr(const uint8_t* record) const;
  // The bytes of a string field up to its NUL (or its whole storage); other types: empty.
  std::string_view RawStr(const uint8_t* record) const;

  void WriteInt(uint8_t* record, int32_t v) const;
  void WriteReal(uint8_t* record, long double v) const;
  void WriteFlag(uint8_t* record, bool v) const;
  // Cut to the declared length for string fields.
  void WriteStr(uint8_t* record, std::string_view v) const;
};

// The ordered field definitions of a table and the record size they add up to.
class TDBFieldList {
public:
  int32_t Count() const { return static_cast<int32_t>(fields_.size()); }
  const TDBField& operator[](int32_t i) const { return fields_[static_cast<size_t>(i)]; }
  int32_t RecordSize() const { return record_size_; }
  // Index of a field by name, compared case-insensitively; -1 when none.
  int32_t IndexOf(std::string_view name) const;
  const TDBField* Find(std::string_view name) const;
  // Appends a field with its storage already decided; it is laid out after the others.
  void Add(std::string name, uint8_t type, int32_t size);
  void Clear();
  // Same count and, per field, the same name (exactly), type and storage.
  bool SameAs(const TDBFieldList& other) const;

private:
  std::vector<TDBField> fields_;
  int32_t record_size_ = 0;
};

// Nearest integer with ties to even, wrapped to 32 bits; 0 for what no 64-bit integer holds.
int32_t DBRoundReal(long double v);

} // namespace nova
