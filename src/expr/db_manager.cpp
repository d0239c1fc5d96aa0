// SPDX-License-Identifier: MIT
#include "expr/db_manager.h"

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/sjis.h"

namespace nova {

namespace {

constexpr int32_t kStreamVersion = 100;
constexpr uint8_t kTableKind = 0;

std::unique_ptr<TDBTable> ReadTable(BinaryReader& r) {
  if (const uint8_t kind = r.U8(); kind != kTableKind)
    r.Fail("table kind " + std::to_string(kind) + " is unknown");
  std::string name = r.String();
  const bool status = r.U8() != 0;
  auto table = std::make_unique<TDBTable>(name, status);
  const int32_t fields = r.I32();
  r.CheckCount(fields, 9, "table fields");
  int64_t record_size = 0;
  for (int32_t i = 0; i < fields; ++i) {
    const int32_t size = r.I32();
    std::string field = r.String();
    const uint8_t type = r.U8();
    if (!TDBField::ValidStorage(type, size)) {
      r.Fail("table \"" + name + "\" field \"" + field + "\" has type " + std::to_string(type) +
             " with " + std::to_string(size) + " bytes");
    }
    record_size += size;
    if (record_size > kDBMaxTableBytes)
      r.Fail("table \"" + name + "\" has records too large");
    table->AddStoredField(std::move(field), type, size);
  }
  const int32_t records = r.I32();
  if (records < 0 || records > kDBMaxRecords)
    r.Fail("table \"" + name + "\" has " + std::to_string(records) + " records");
  if (record_size > 0)
    r.CheckCount(records, static_cast<size_t>(record_size), "table records");
  table->SetRecords(r.Bytes(static_cast<size_t>(records * record_size)), records);
  const int32_t current = r.I32();
  table->current = current >= 0 && current < records ? current : -1;
  return table;
}

void WriteTable(BinaryWriter& w, const TDBTable& t) {
  w.U8(kTableKind);
  w.String(t.Name());
  w.U8(t.Status() ? 1 : 0);
  w.I32(t.Fields().Count());
  for (int32_t i = 0; i < t.Fields().Count(); ++i) {
    const TDBField& f = t.Fields()[i];
    w.I32(f.size);
    w.String(f.name);
    w.U8(f.type);
  }
  w.I32(t.RecordCount());
  w.Bytes(t.Bytes());
  w.I32(t.current);
}

} // namespace

int32_t TDBManager::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < tables_.size(); ++i) {
    if (SameTextJ(tables_[i]->Name(), name))
      return static_cast<int32_t>(i);
  }
  return -1;
}

TDBTable* TDBManager::Find(std::string_view name) {
  const int32_t i = IndexOf(name);
  return i < 0 ? nullptr : tables_[static_cast<size_t>(i)].get();
}

TDBTable* TDBManager::Current() {
  return current_ >= 0 && current_ < Count() ? tables_[static_cast<size_t>(current_)].get()
                                             : nullptr;
}

TDBTable& TDBManager::Append(std::string name, bool status) {
  tables_.push_back(std::make_unique<TDBTable>(std::move(name), status));
  current_ = Count() - 1;
  return *tables_.back();
}

void TDBManager::Remove(int32_t index) {
  tables_.erase(tables_.begin() + index);
  if (current_ == index)
    current_ = -1;
  else if (current_ > index)
    --current_;
}

void TDBManager::Clear() {
  tables_.clear();
  current_ = -1;
}

void TDBManager::RemoveGameTables() {
  std::erase_if(tables_, [](const auto& t) { return !t->Status(); });
  current_ = -1;
}

void TDBManager::SavePart(BinaryWriter& w, bool status) const {
  w.I32(kStreamVersion);
  int32_t count = 0;
  for (const auto& t : tables_)
    count += t->Status() == status ? 1 : 0;
  w.I32(count);
  for (const auto& t : tables_) {
    if (t->Status() == status)
      WriteTable(w, *t);
  }
  if (!status) {
    const TDBTable* current = current_ >= 0 && current_ < Count()
                                  ? tables_[static_cast<size_t>(current_)].get()
                                  : nullptr;
    w.String(current ? current->Name() : std::string());
  }
}

void TDBManager::LoadPart(BinaryReader& r, bool status) {
  r.I32(); // the version: one format so far
  const int32_t count = r.I32();
  r.CheckCount(count, 14, "tables");
  std::vector<std::unique_ptr<TDBTable>> loaded;
  for (int32_t i = 0; i < count; ++i)
    loaded.push_back(ReadTable(r));
  const std::string current_name = status ? std::string() : r.String();

  std::erase_if(tables_, [status](const auto& t) { return t->Status() == status; });
  current_ = -1;
  for (auto& t : loaded) {
    tables_.push_back(std::move(t));
    current_ = Count() - 1;
  }
  if (!status)
    current_ = IndexOf(current_name);
}

void TDBManager::SaveGameTables(BinaryWriter& w) const { SavePart(w, false); }
void TDBManager::LoadGameTables(BinaryReader& r) { LoadPart(r, false); }
void TDBManager::SaveStatusTables(BinaryWriter& w) const { SavePart(w, true); }
void TDBManager::LoadStatusTables(BinaryReader& r) { LoadPart(r, true); }

} // namespace nova
