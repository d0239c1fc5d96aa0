// SPDX-License-Identifier: MIT
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "expr/param_collection.h"
#include "expr/params.h"

namespace nova {

namespace {
const std::vector<int32_t> kNoDims;
}

void TParamVar::Bind(TParamCollectionItem* item, int32_t index) {
  // A reference to a reference binds to the final variable, so chains and cycles never form.
  if (item && item->Value() && item->Value()->IsReference()) {
    auto* inner = static_cast<TParamVar*>(item->Value());
    if (inner == this || !inner->Resolved()) {
      Unbind();
      return;
    }
    index = inner->index_;
    item = inner->item_;
  }
  item_ = item;
  serial_ = item ? item->Serial() : 0;
  index_ = item ? index : 0;
  whole_ = false;
}

void TParamVar::BindWhole(TParamCollectionItem* item) {
  Bind(item, 0);
  whole_ = item && item->Value() && !item->Value()->IsReference();
}

bool TParamVar::AsFlag() const {
  if (whole_ && Live())
    return Live()->AsFlag();
  return FlagAt(index_);
}
long double TParamVar::AsReal() const {
  if (whole_ && Live())
    return Live()->AsReal();
  return RealAt(index_);
}
int32_t TParamVar::AsInt() const {
  if (whole_ && Live())
    return Live()->AsInt();
  return IntAt(index_);
}
std::string TParamVar::AsStr() const {
  if (whole_ && Live())
    return Live()->AsStr();
  return StrAt(index_);
}
void TParamVar::SetFlag(bool v) {
  if (whole_ && Live())
    return Live()->SetFlag(v);
  SetFlagAt(index_, v);
}
void TParamVar::SetReal(long double v) {
  if (whole_ && Live())
    return Live()->SetReal(v);
  SetRealAt(index_, v);
}
void TParamVar::SetInt(int32_t v) {
  if (whole_ && Live())
    return Live()->SetInt(v);
  SetIntAt(index_, v);
}
void TParamVar::SetStr(std::string_view v) {
  if (whole_ && Live())
    return Live()->SetStr(v);
  SetStrAt(index_, v);
}

void TParamVar::Unbind() {
  item_ = nullptr;
  serial_ = 0;
  index_ = 0;
  whole_ = false;
}

TCustomParam* TParamVar::Live() const {
  if (item_ && item_->Serial() == serial_)
    return item_->Value();
  return nullptr;
}

bool TParamVar::Resolved() const { return Live() != nullptr; }
TParamCollectionItem* TParamVar::Item() const { return Live() ? item_ : nullptr; }
std::string TParamVar::RefName() const { return Live() ? item_->Name() : std::string(); }

int32_t TParamVar::Count() const { return Live() ? Live()->Count() : 1; }
void TParamVar::SetCount(int32_t n) {
  if (auto* p = Live())
    p->SetCount(n);
}
uint8_t TParamVar::DataType() const { return Live() ? Live()->DataType() : PT_NONE; }

int32_t TParamVar::IntAt(int32_t i) const { return Live() ? Live()->IntAt(i) : 0; }
long double TParamVar::RealAt(int32_t i) const { return Live() ? Live()->RealAt(i) : 0; }
bool TParamVar::FlagAt(int32_t i) const { return Live() ? Live()->FlagAt(i) : false; }
std::string TParamVar::StrAt(int32_t i) const { return Live() ? Live()->StrAt(i) : std::string(); }
void TParamVar::SetIntAt(int32_t i, int32_t v) {
  if (auto* p = Live())
    p->SetIntAt(i, v);
}
void TParamVar::SetRealAt(int32_t i, long double v) {
  if (auto* p = Live())
    p->SetRealAt(i, v);
}
void TParamVar::SetFlagAt(int32_t i, bool v) {
  if (auto* p = Live())
    p->SetFlagAt(i, v);
}
void TParamVar::SetStrAt(int32_t i, std::string_view v) {
  if (auto* p = Live())
    p->SetStrAt(i, v);
}

int32_t TParamVar::DimCount() const { return Live() ? Live()->DimCount() : 1; }
int32_t TParamVar::DimSize(int32_t i) const { return Live() ? Live()->DimSize(i) : 1; }
const std::vector<int32_t>& TParamVar::Dims() const { return Live() ? Live()->Dims() : kNoDims; }
void TParamVar::AssignAll(const TCustomParam& src) {
  if (auto* p = Live())
    p->AssignAll(src);
}
void TParamVar::SetDims(const std::vector<int32_t>& dims) {
  if (auto* p = Live())
    p->SetDims(dims);
}
void TParamVar::FillInt(int32_t v) {
  if (auto* p = Live())
    p->FillInt(v);
}
void TParamVar::FillReal(long double v) {
  if (auto* p = Live())
    p->FillReal(v);
}
void TParamVar::FillFlag(bool v) {
  if (auto* p = Live())
    p->FillFlag(v);
}
void TParamVar::FillStr(std::string_view v) {
  if (auto* p = Live())
    p->FillStr(v);
}
void TParamVar::CopyFrom(const TCustomParam& src) {
  if (auto* p = Live())
    p->CopyFrom(src);
}
void TParamVar::MakePlain() {
  if (auto* p = Live())
    p->MakePlain();
}
void TParamVar::Unique() {
  if (auto* p = Live())
    p->Unique();
}
void TParamVar::RemoveValue(const TCustomParam* v) {
  if (auto* p = Live())
    p->RemoveValue(v);
}
int32_t TParamVar::IndexOfStr(std::string_view s, bool case_sensitive, bool partial) const {
  return Live() ? Live()->IndexOfStr(s, case_sensitive, partial) : -1;
}
const TCustomParam* TParamVar::Target() const { return Live() ? Live() : this; }

void TParamVar::SaveToStream(BinaryWriter& w) const {
  w.I32(0);
  w.String(name_);
  w.String(RefName());
  w.U8(reserved_);
  w.I32(index_);
}

void TParamVar::LoadFromStream(BinaryReader& r) {
  int32_t d = r.I32();
  r.CheckCount(d, 4, "dimension count");
  r.Skip(static_cast<size_t>(d) * 4);
  name_ = r.String();
  loaded_ref_ = r.String();
  reserved_ = r.U8();
  index_ = r.I32();
  item_ = nullptr;
  serial_ = 0;
}

void TParamVar::Clear() {
  name_.clear();
  loaded_ref_.clear();
  reserved_ = 0;
  Unbind();
}

} // namespace nova
