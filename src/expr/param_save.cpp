// SPDX-License-Identifier: MIT
// Save blocks and push/pop snapshots of the variable table.
#include <unordered_set>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/param_collection.h"

namespace nova {

namespace {

// Bound on the push/pop stack, far above what nested pushes of a title hold.
constexpr size_t kMaxSnapshotBytes = size_t{64} << 20;

// Smallest variable record: type, empty name, empty value block of a flag, flags and frame.
constexpr size_t kMinRecordBytes = 1 + 4 + 4 + 4 + 1 + 1 + 4 + 1;

void WriteRecord(BinaryWriter& w, const TParamCollectionItem& item) {
  w.U8(item.Value()->IsReference() ? PT_NONE : item.DataType());
  w.String(item.Name());
  item.Value()->SaveToStream(w);
  w.U8(item.status ? 1 : 0);
  w.U8(item.reserved);
  w.I32(item.frame);
  w.U8(item.local ? 1 : 0);
}

uint8_t ReadType(BinaryReader& r, int32_t type) {
  if (type < PT_NONE || type > PT_STR)
    r.Fail("data type " + std::to_string(type) + " is not 0..4");
  return static_cast<uint8_t>(type);
}

} // namespace

void TParamCollection::WriteRecords(BinaryWriter& w, bool status) const {
  std::vector<const TParamCollectionItem*> pending;
  for (const TParamCollectionItem* it = last_; it; it = it->order_prev_) {
    if (!it->IsSystem() && it->status == status)
      pending.push_back(it);
  }
  w.I32(static_cast<int32_t>(pending.size()));
  std::unordered_set<std::string> written;
  while (!pending.empty()) {
    std::vector<const TParamCollectionItem*> rest;
    for (const TParamCollectionItem* it : pending) {
      const TCustomParam* v = it->Value();
      if (v->IsReference() &&
          !written.count(LowerCaseJ(static_cast<const TParamVar*>(v)->RefName()))) {
        rest.push_back(it);
        continue;
      }
      WriteRecord(w, *it);
      written.insert(LowerCaseJ(it->Name()));
    }
    if (rest.size() == pending.size()) {
      // References to variables outside this block (system or status variables, or none):
      // written last, as they are; loading resolves whatever exists then.
      for (const TParamCollectionItem* it : rest)
        WriteRecord(w, *it);
      break;
    }
    pending = std::move(rest);
  }
}

void TParamCollection::ReadRecords(BinaryReader& r) {
  int32_t count = r.I32();
  r.CheckCount(count, kMinRecordBytes, "variable count");
  for (int32_t n = 0; n < count; ++n) {
    uint8_t type = ReadType(r, r.U8());
    std::string name = r.String();
    TParamCollectionItem* item = nullptr;
    std::unique_ptr<TCustomParam> discarded;
    if (name.empty()) {
      discarded = NewParam(type);
      discarded->LoadFromStream(r);
    } else {
      item = AddNamed(type, name);
      try {
        item->Value()->LoadFromStream(r);
      } catch (...) {
        Destroy(item);
        throw;
      }
      if (item->Value()->IsReference()) {
        auto* ref = static_cast<TParamVar*>(item->Value());
        TParamCollectionItem* target =
            ref->LoadedRefName().empty() ? nullptr : Find(ref->LoadedRefName());
        ref->Bind(target == item ? nullptr : target, ref->Index());
      }
    }
    bool status = r.U8() != 0;
    uint8_t reserved = r.U8();
    int32_t frame = r.I32();
    bool local = r.U8() != 0;
    if (item) {
      item->status = status;
      item->reserved = reserved;
      item->frame = frame;
      item->local = local;
    }
  }
}

void TParamCollection::SaveMain(BinaryWriter& w) const {
  WriteRecords(w, false);
  w.I32(text_delay);
  w.String(cursor);
  w.String(sel_str);
  w.I32(sel_index);
  w.String(temp_name);
  w.I32(static_cast<int32_t>(snapshots_.size()));
  for (const auto& s : snapshots_)
    w.Bytes(std::span<const uint8_t>(s));
}

void TParamCollection::LoadMain(BinaryReader& r, int32_t version) {
  DestroyAllUser(true);
  ReadRecords(r);
  text_delay = r.I32();
  cursor = r.String();
  if (version > 102) {
    sel_str = r.String();
    sel_index = r.I32();
  }
  legacy_history_format.reset();
  if (version >= 113 && version <= 134) {
    std::array<int32_t, 6> format{};
    for (auto& v : format)
      v = r.I32();
    legacy_history_format = format;
  }
  if (version > 120)
    temp_name = r.String();
  snapshots_.clear();
  if (version >= 139) {
    int32_t count = r.I32();
    r.CheckCount(count, 4, "snapshot count");
    for (int32_t s = 0; s < count; ++s) {
      // A snapshot has no length of its own: its entries fix its extent.
      size_t start = r.position();
      int32_t entries = r.I32();
      r.CheckCount(entries, 4 + 4 + 4, "snapshot entry count");
      for (int32_t e = 0; e < entries; ++e) {
        uint8_t type = ReadType(r, r.I32());
        if (type == PT_NONE)
          r.Fail("snapshot entry of data type 0");
        r.String();
        NewParam(type)->LoadFromStream(r);
      }
      size_t end = r.position();
      r.Seek(start);
      auto bytes = r.Bytes(end - start);
      snapshots_.emplace_back(bytes.begin(), bytes.end());
    }
  }
}

void TParamCollection::SaveStatus(BinaryWriter& w) const { WriteRecords(w, true); }

void TParamCollection::LoadStatus(BinaryReader& r, int32_t) { ReadRecords(r); }

void TParamCollection::PushVar(const std::vector<std::string>& names) {
  std::vector<TParamCollectionItem*> items;
  for (const std::string& name : names) {
    TParamCollectionItem* it = Find(name);
    // References are left out: their value block is not the element they stand for.
    if (it && it->DataType() != PT_NONE && !it->Value()->IsReference())
      items.push_back(it);
  }
  BinaryWriter w;
  w.I32(static_cast<int32_t>(items.size()));
  size_t held = 0;
  for (const auto& s : snapshots_)
    held += s.size();
  for (TParamCollectionItem* it : items) {
    w.I32(it->DataType());
    w.String(it->Name());
    it->Value()->SaveToStream(w);
  }
  if (held + w.size() > kMaxSnapshotBytes) {
    throw ENovaError("PushVar: the variable snapshots would exceed " +
                     std::to_string(kMaxSnapshotBytes >> 20) + " MiB");
  }
  snapshots_.push_back(w.Take());
}

void TParamCollection::PopVar() {
  if (snapshots_.empty())
    return;
  std::vector<uint8_t> bytes = std::move(snapshots_.back());
  snapshots_.pop_back();
  BinaryReader r(bytes, "variable snapshot");
  int32_t count = r.I32();
  r.CheckCount(count, 12, "snapshot entry count");
  for (int32_t e = 0; e < count; ++e) {
    uint8_t type = ReadType(r, r.I32());
    std::string name = r.String();
    TParamCollectionItem* item = Find(name);
    if (item && item->IsSystem() && item->DataType() != type) {
      // System variables stay; the saved value is written through their own setter.
      auto scratch = NewParam(type);
      scratch->LoadFromStream(r);
      switch (type) {
      case PT_INT:
        item->Value()->SetInt(scratch->AsInt());
        break;
      case PT_FLOAT:
        item->Value()->SetReal(scratch->AsReal());
        break;
      case PT_BOOL:
        item->Value()->SetFlag(scratch->AsFlag());
        break;
      default:
        item->Value()->SetStr(scratch->AsStr());
        break;
      }
      continue;
    }
    if (item && (item->DataType() != type || item->Value()->IsReference())) {
      Destroy(item);
      item = nullptr;
    }
    if (!item) {
      item = AddNamed(type, name);
    }
    item->Value()->LoadFromStream(r);
  }
}

} // namespace nova
