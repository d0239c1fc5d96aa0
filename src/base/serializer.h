// SPDX-License-Identifier: MIT
#pragma once
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"

namespace nova {

// The first data version that holds a field; older data leaves the field as it is.
struct Since {
  int version = 0;
};

// One description of a saved form that serves both directions: a field named once is written
// when saving and read when loading, with its version gate written once beside it. Saving always
// writes the newest form. Reads stay bounds-checked by the reader, so damaged data fails clearly.
class TSerializer {
public:
  // Saving: every field, in the newest form.
  explicit TSerializer(BinaryWriter& w) : writer_(&w), version_(INT_MAX) {}
  // Loading data of `version`.
  TSerializer(BinaryReader& r, int version) : reader_(&r), version_(version) {}

  bool Loading() const { return reader_ != nullptr; }
  bool Saving() const { return writer_ != nullptr; }
  // The data version (when saving, above every version).
  int Version() const { return version_; }
  bool Has(Since since) const { return version_ >= since.version; }
  // For the parts that differ between the directions.
  BinaryReader& Reader() { return *reader_; }
  BinaryWriter& Writer() { return *writer_; }

  void I32(int32_t& v, Since since = {});
  void U8(uint8_t& v, Since since = {});
  // A byte read back as true when not zero.
  void Bool(bool& v, Since since = {});
  // A byte of 0 or 1 in a byte member: any other stored value reads as 1.
  void Flag(uint8_t& v, Since since = {});
  void String(std::string& v, Since since = {});
  void Extended(long double& v, Since since = {});
  // An int32 count, then that many strings.
  void StringList(std::vector<std::string>& v, Since since = {});
  // An int32 length, then the bytes; `field` names a length the data cannot hold.
  void Bytes(std::vector<uint8_t>& v, const char* field, Since since = {});

  // The int32 count of a list whose elements follow, one after another or as parallel fields.
  // Loading refuses a count the bytes left cannot hold at `min_element_bytes` each before
  // anything is allocated, then gives the list that many default elements to load into.
  template <class T>
  void Count(std::vector<T>& v, size_t min_element_bytes, const char* field, Since since = {}) {
    if (!Has(since))
      return;
    int32_t n = static_cast<int32_t>(v.size());
    I32(n);
    if (Saving())
      return;
    reader_->CheckCount(n, min_element_bytes, field);
    v.clear();
    v.resize(static_cast<size_t>(n));
  }

  // A counted list, each element described by `each(T&)`.
  template <class T, class Each>
  void List(std::vector<T>& v, size_t min_element_bytes, const char* field, Each&& each,
            Since since = {}) {
    if (!Has(since))
      return;
    Count(v, min_element_bytes, field);
    for (T& element : v)
      each(element);
  }

private:
  // One field: `write(writer, v)` when saving, `v = read(reader)` when loading.
  template <class T, class Write, class Read>
  void Field(T& v, Since since, Write&& write, Read&& read);

  BinaryReader* reader_ = nullptr;
  BinaryWriter* writer_ = nullptr;
  int version_;
};

} // namespace nova
