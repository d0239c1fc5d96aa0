// SPDX-License-Identifier: MIT
#include "base/serializer.h"

namespace nova {

void TSerializer::I32(int32_t& v, Since since) {
  if (!Has(since))
    return;
  if (writer_)
    writer_->I32(v);
  else
    v = reader_->I32();
}

void TSerializer::U8(uint8_t& v, Since since) {
  if (!Has(since))
    return;
  if (writer_)
    writer_->U8(v);
  else
    v = reader_->U8();
}

void TSerializer::Bool(bool& v, Since since) {
  if (!Has(since))
    return;
  if (writer_)
    writer_->Bool(v);
  else
    v = reader_->U8() != 0;
}

void TSerializer::Flag(uint8_t& v, Since since) {
  if (!Has(since))
    return;
  if (writer_)
    writer_->U8(v);
  else
    v = reader_->U8() != 0 ? 1 : 0;
}

void TSerializer::String(std::string& v, Since since) {
  if (!Has(since))
    return;
  if (writer_)
    writer_->String(v);
  else
    v = reader_->String();
}

void TSerializer::Extended(long double& v, Since since) {
  if (!Has(since))
    return;
  if (writer_)
    writer_->Extended(v);
  else
    v = reader_->Extended();
}

void TSerializer::StringList(std::vector<std::string>& v, Since since) {
  if (!Has(since))
    return;
  if (writer_)
    writer_->StringList(v);
  else
    v = reader_->StringList();
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
