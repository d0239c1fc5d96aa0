// SPDX-License-Identifier: MIT
#include "scene/nova_object.h"

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/nova_error_english.h"
#include "base/serializer.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"
#include "scene/private/scene_texts.h"

namespace nova {

const std::string& TNovaObject::IdleHandler() const {
  static const std::string empty;
  return empty;
}

void TNovaObject::SetName(const std::string& name) {
  if (name == name_)
    return;
  // A non-visual namesake makes way: it is deleted. No one carries the empty name: unnamed
  // components (internal ones, those waiting for deletion) are nobody's namesake.
  if (owner_ && !name.empty()) {
    TNovaObject* other = owner_->FirstNamed(name);
    if (other && other != this)
      other->FreeLater();
  }
  SetNameRaw(name);
}

void TNovaObject::SetPriority(int32_t priority) {
  priority_ = priority;
  priority_offset_ = 0;
  if (TNovaControl* c = AsControl()) {
    if (c->Parent())
      c->Parent()->SortChildren();
    c->Invalidate();
  }
}

void TNovaObject::SetPriorityOffset(int32_t offset) {
  if (offset == priority_offset_)
    return;
  priority_offset_ = offset;
  if (TNovaControl* c = AsControl()) {
    if (c->Parent())
      c->Parent()->SortChildren();
    c->Invalidate();
  }
}

void TNovaObject::FreeLater() {
  if (owner_)
    owner_->FreeLater(this);
}

void TNovaObject::SetNameRaw(std::string name) {
  if (owner_)
    owner_->Rename(this, std::move(name));
  else
    name_ = std::move(name);
}

bool TNovaObject::IsPendingDelete() const { return owner_ && owner_->IsPendingDelete(this); }

bool TNovaObject::IsAlive() const { return owner_ && owner_->IsAlive(this); }

bool TNovaObject::Honours(int id, bool write) const {
  return write ? KindWrites(GetKind(), id) : KindReads(GetKind(), id);
}

TPropValue TNovaObject::GetProp(int id) {
  if (!IsValidPropId(id))
    throw ENovaErrorWithEnglish(SceneText(stGetPropError), "Property " + std::to_string(id) +
                                                               " of " + GetName() +
                                                               " does not exist.");
  const TPropInfo& info = PropInfo(id);
  TPropValue out;
  out.type = info.type;
  // Two properties read true on kinds that do not keep them.
  if (id == PR_REWINDONLOAD || id == PR_OVERLAY)
    out.f = true;
  if (Honours(id, false))
    if (const TPropRow* row = PropTable().FindGet(id))
      out = row->get(*this);
  return out.type == info.type ? out : out.As(info.type);
}

void TNovaObject::SetProp(int id, const TPropValue& value) {
  if (!IsValidPropId(id))
    throw ENovaErrorWithEnglish(SceneText(stSetPropError), "Property " + std::to_string(id) +
                                                               " of " + GetName() +
                                                               " does not exist.");
  const TPropInfo& info = PropInfo(id);
  if (info.access == acSetError)
    throw ENovaErrorWithEnglish(SceneText(stSetPropError), "Property " + std::to_string(id) +
                                                               " of " + GetName() +
                                                               " cannot be set.");
  if (info.access != acRW || !Honours(id, true))
    return;
  const TPropRow* row = PropTable().FindSet(id);
  if (!row)
    return;
  if (value.type == info.type)
    row->set(*this, value);
  else
    row->set(*this, value.As(info.type));
  // Whatever a geometry row's setter did, the kept screen places of the control and its
  // subtree are dropped.
  if (row->effect == peGeometry)
    if (TNovaControl* c = AsControl())
      c->PlacementChanged();
}

const TPropTable& TNovaObject::Props() {
  using T = TNovaObject;
  using namespace props;
  static constexpr std::array kRows{
      Access<&T::GetName, &T::SetName>(PR_NAME, peNone),
      Access<&T::GetPriority, &T::SetPriority>(PR_PRIORITY, pePicture),
      Field<&T::tag_>(PR_TAG),
      Access<&T::GetKind, nullptr>(PR_COMPOTYPE, peNone),
  };
  static constexpr TPropTable kTable = MakePropTable(nullptr, kRows);
  return kTable;
}

bool TNovaObject::WriteProp(int id, const TPropValue& value) {
  const TPropRow* row = PropTable().FindSet(id);
  if (!row)
    return false;
  row->set(*this, value);
  return true;
}

void TNovaObject::QueueEvent(uint8_t type, const std::string& handler,
                             std::vector<std::string> params) {
  if (owner_)
    owner_->Events().Queue(this, handler, std::move(params), type);
}

bool TNovaObject::EventQueued(uint8_t type) const {
  return owner_ && owner_->Events().Has(this, type);
}

void TNovaObject::Save(BinaryWriter& w) const {
  TSerializer s(w);
  // Saving only reads what the description names.
  const_cast<TNovaObject*>(this)->Sync(s);
}

void TNovaObject::Load(BinaryReader& r, int version) {
  TSerializer s(r, version);
  Sync(s);
}

void TNovaObject::Sync(TSerializer& s) {
  std::string name = name_;
  s.String(name);
  if (s.Loading())
    SetNameRaw(std::move(name));
  s.I32(priority_);
  s.I32(priority_offset_, Since{104});
  s.String(tag_, Since{120});
  SyncControl(s);
  SyncKind(s);
  // Loading writes the placement fields directly.
  if (s.Loading())
    if (TNovaControl* c = AsControl())
      c->PlacementChanged();
}

} // namespace nova
