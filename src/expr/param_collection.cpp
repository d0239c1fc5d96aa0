// SPDX-License-Identifier: MIT
#include "expr/param_collection.h"

#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/nova_parser.h"
#include "expr/param_system.h"
#include "expr/private/expr_texts.h"

namespace nova {

namespace {

uint8_t LowerByte(char c) {
  uint8_t b = static_cast<uint8_t>(c);
  return (b >= 'A' && b <= 'Z') ? static_cast<uint8_t>(b + 32) : b;
}

// Case-insensitive equality of names by the Japanese rule (single-byte letters only). The last
// byte is compared first: names in one bucket (temporaries above all) differ mostly there.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  if (!a.empty() && LowerByte(a.back()) != LowerByte(b.back()))
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) {
      if (IsLeadByte(a[i]) && i + 1 < a.size()) {
        if (a[i + 1] != b[i + 1])
          return false;
        ++i;
      }
      continue;
    }
    if (LowerByte(a[i]) != LowerByte(b[i]))
      return false;
  }
  return true;
}

} // namespace

uint8_t NameHash(std::string_view name) {
  // Lower-casing only changes ASCII letters, which are never trail bytes that matter here:
  // the hash takes single bytes, as the table always did.
  uint32_t h = static_cast<uint32_t>(name.size()) * 16;
  if (name.size() > 1)
    h += LowerByte(name[0]) + LowerByte(name[name.size() - 2]);
  return static_cast<uint8_t>(h & 0xFF);
}

TParamCollection::TParamCollection() {
  for (int i = 0; i < kSystemCount; ++i) {
    auto item = std::make_unique<TParamCollectionItem>();
    item->value_ = std::make_unique<TParamSystem>(*this, static_cast<uint8_t>(i));
    item->system_index_ = i;
    item->name_ = SystemVarInfo(i).name;
    item->alive_ = true;
    TParamCollectionItem* p = item.get();
    storage_.push_back(std::move(item));
    system_[static_cast<size_t>(i)] = p;
    p->order_prev_ = last_;
    (last_ ? last_->order_next_ : first_) = p;
    last_ = p;
    ++count_;
    Hook(p);
  }
}

TParamCollection::~TParamCollection() = default;

void TParamCollection::Hook(TParamCollectionItem* item) {
  uint8_t b = NameHash(item->name_);
  item->bucket_ = b;
  item->chain_prev_ = nullptr;
  item->chain_next_ = buckets_[b];
  if (buckets_[b])
    buckets_[b]->chain_prev_ = item;
  buckets_[b] = item;
}

void TParamCollection::Unhook(TParamCollectionItem* item) {
  if (item->chain_prev_) {
    item->chain_prev_->chain_next_ = item->chain_next_;
  } else {
    buckets_[item->bucket_] = item->chain_next_;
  }
  if (item->chain_next_)
    item->chain_next_->chain_prev_ = item->chain_prev_;
  item->chain_prev_ = item->chain_next_ = nullptr;
}

TParamCollectionItem* TParamCollection::Find(std::string_view name) const {
  TParamCollectionItem* global = nullptr;
  for (TParamCollectionItem* it = buckets_[NameHash(name)]; it; it = it->chain_next_) {
    if (!SameName(it->name_, name))
      continue;
    if (it->local) {
      if (it->frame == current_frame)
        return it;
    } else {
      global = it;
    }
  }
  return global;
}

TParamCollectionItem* TParamCollection::FindForDeclare(std::string_view name, bool local) const {
  for (TParamCollectionItem* it = buckets_[NameHash(name)]; it; it = it->chain_next_) {
    if (!SameName(it->name_, name))
      continue;
    if (local ? (it->local && it->frame == current_frame) : !it->local)
      return it;
  }
  return nullptr;
}

TParamCollectionItem* TParamCollection::Add(uint8_t type) {
  if (type > PT_STR)
    type = PT_NONE;
  TParamCollectionItem* item;
  if (!free_.empty()) {
    item = free_.back();
    free_.pop_back();
  } else {
    storage_.push_back(std::make_unique<TParamCollectionItem>());
    item = storage_.back().get();
  }
  auto& spares = spare_values_[type];
  if (!spares.empty()) {
    item->value_ = std::move(spares.back());
    spares.pop_back();
    item->value_->Clear();
  } else {
    item->value_ = NewParam(type);
  }
  item->name_.clear();
  item->status = false;
  item->reserved = 0;
  item->frame = -1;
  item->local = false;
  item->alive_ = true;
  item->order_next_ = nullptr;
  item->order_prev_ = last_;
  (last_ ? last_->order_next_ : first_) = item;
  last_ = item;
  ++count_;
  Hook(item);
  return item;
}

void TParamCollection::SetName(TParamCollectionItem* item, std::string_view name) {
  if (name.empty() || name.find(' ') != std::string_view::npos ||
      (name[0] >= '0' && name[0] <= '9')) {
    throw ENovaError(FormatText(TExprText::BadVarName, std::string(name)));
  }
  Unhook(item);
  item->name_.assign(name);
  Hook(item);
}

TParamCollectionItem* TParamCollection::AddNamed(uint8_t type, std::string_view name) {
  TParamCollectionItem* item = Add(type);
  try {
    SetName(item, name);
  } catch (...) {
    Destroy(item);
    throw;
  }
  return item;
}

void TParamCollection::Destroy(TParamCollectionItem* item) {
  if (!item || !item->alive_ || item->IsSystem())
    return;
  Unhook(item);
  (item->order_prev_ ? item->order_prev_->order_next_ : first_) = item->order_next_;
  (item->order_next_ ? item->order_next_->order_prev_ : last_) = item->order_prev_;
  item->order_prev_ = item->order_next_ = nullptr;
  --count_;
  item->alive_ = false;
  ++item->serial_;
  uint8_t type = item->value_->IsReference() ? PT_NONE : item->value_->DataType();
  spare_values_[type].push_back(std::move(item->value_));
  free_.push_back(item);
}

void TParamCollection::Declare(std::string_view name, uint8_t type, TVarScope scope,
                               TNovaParser* init) {
  if (name.empty())
    throw ENovaError(ExprText(TExprText::NoVarName));
  bool local = scope == TVarScope::Local;
  TParamCollectionItem* item = FindForDeclare(name, local);
  if (!item) {
    item = AddNamed(type, name);
    if (scope == TVarScope::AutoDestroy || local)
      item->frame = current_frame;
    item->local = local;
    item->status = scope == TVarScope::Status;
  } else if (item->status) {
    return;
  }
  if (!init)
    return;
  // The initial expression may delete the variable it initialises.
  uint32_t serial = item->Serial();
  init->Execute(*this);
  const TCustomParam* result = init->Result();
  if (!result || item->Serial() != serial)
    return;
  TCustomParam* value = item->Value();
  switch (type) {
  case PT_INT:
    value->SetInt(result->AsInt());
    break;
  case PT_FLOAT:
    value->SetReal(result->AsReal());
    break;
  case PT_BOOL:
    value->SetFlag(result->AsFlag());
    break;
  case PT_STR:
    value->SetStr(result->AsStr());
    break;
  default:
    break;
  }
}

void TParamCollection::Delete(std::string_view name) { Destroy(Find(name)); }

void TParamCollection::DestroyFrame(int32_t frame) {
  for (TParamCollectionItem* it = first_; it;) {
    TParamCollectionItem* next = it->order_next_;
    if (it->frame == frame && !it->IsSystem())
      Destroy(it);
    it = next;
  }
}

std::unique_ptr<TCustomParam> TParamCollection::Clone(std::string_view name) const {
  TParamCollectionItem* item = Find(name);
  if (!item)
    return nullptr;
  if (item->DataType() == PT_NONE) {
    throw ENovaError(FormatText(TExprText::InvalidVar, std::string(name)));
  }
  return CloneParam(*item->Value());
}

void TParamCollection::DestroyAllUser(bool keep_status) {
  for (TParamCollectionItem* it = first_; it;) {
    TParamCollectionItem* next = it->order_next_;
    if (!it->IsSystem() && !(keep_status && it->status))
      Destroy(it);
    it = next;
  }
}

void TParamCollection::ResetAll() {
  DestroyAllUser(true);
  tables.RemoveGameTables();
  text_delay = 50;
  cursor.clear();
}

} // namespace nova
