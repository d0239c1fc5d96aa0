// SPDX-License-Identifier: MIT
#include "base/serializer.h"

namespace nova {

template <class T, class Write, class Read>
void TSerializer::Field(T& v, Since since, Write&& write, Read&& read) {
  if (!Has(since))
    return;
  if (writer_)
    write(*writer_, v);
  else
    v = read(*reader_);
}

void TSerializer::I32(int32_t& v, Since since) {
  Field(
      v, since, [](BinaryWriter& w, int32_t x) { w.I32(x); },
      [](BinaryReader& r) { return r.I32(); });
}

void TSerializer::U8(uint8_t& v, Since since) {
  Field(
      v, since, [](BinaryWriter& w, uint8_t x) { w.U8(x); },
      [](BinaryReader& r) { return r.U8(); });
}

void TSerializer::Bool(bool& v, Since since) {
  Field(
      v, since, [](BinaryWriter& w, bool x) { w.Bool(x); },
      [](BinaryReader& r) { return r.U8() != 0; });
}

void TSerializer::Flag(uint8_t& v, Since since) {
  Field(
      v, since, [](BinaryWriter& w, uint8_t x) { w.U8(x); },
      [](BinaryReader& r) { return static_cast<uint8_t>(r.U8() != 0 ? 1 : 0); });
}

void TSerializer::String(std::string& v, Since since) {
  Field(
      v, since, [](BinaryWriter& w, const std::string& x) { w.String(x); },
      [](BinaryReader& r) { return r.String(); });
}

void TSerializer::Extended(long double& v, Since since) {
  Field(
      v, since, [](BinaryWriter& w, long double x) { w.Extended(x); },
      [](BinaryReader& r) { return r.Extended(); });
}

void TSerializer::StringList(std::vector<std::string>& v, Since since) {
  Field(
      v, since, [](BinaryWriter& w, const std::vector<std::string>& x) { w.StringList(x); },
      [](BinaryReader& r) { return r.StringList(); });
}

void TSerializer::Bytes(std::vector<uint8_t>& v, const char* field, Since since) {
  if (!Has(since))
    return;
  if (writer_) {
    writer_->I32(static_cast<int32_t>(v.size()));
    writer_->Bytes(std::span<const uint8_t>(v));
    return;
  }
  const int32_t n = reader_->I32();
  reader_->CheckCount(n, 1, field);
  const auto bytes = reader_->Bytes(static_cast<size_t>(n));
  v.assign(bytes.begin(), bytes.end());
}

} // namespace nova
