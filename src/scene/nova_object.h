// SPDX-License-Identifier: MIT
// The root of every scene component: name, tag, priority, numbered properties, persistence.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "scene/prop_rows.h"
#include "scene/prop_value.h"
#include "scene/scene_types.h"

namespace nova {

class BinaryReader;
class BinaryWriter;
class TNovaBaseList;
class TSerializer;
class TNovaControl;

class TNovaObject {
public:
  TNovaObject(const TNovaObject&) = delete;
  TNovaObject& operator=(const TNovaObject&) = delete;
  virtual ~TNovaObject() = default;

  TNovaBaseList* Owner() const { return owner_; }
  const std::string& GetName() const { return name_; }
  const std::string& GetTag() const { return tag_; }
  int32_t GetPriority() const { return priority_; }
  int32_t GetPriorityOffset() const { return priority_offset_; }
  // A name that begins with the byte 0x01 marks a component of the system itself.
  bool IsSystem() const { return !name_.empty() && name_[0] == '\x01'; }

  // Scripts name components freely; a namesake is renamed (controls) or deleted (others).
  virtual void SetName(const std::string& name);
  // Replaces the name without the namesake rules (loading, renaming a namesake).
  void SetNameRaw(std::string name);
  // Resets the offset and resorts the siblings.
  void SetPriority(int32_t priority);
  // Set by motion films; resorts the siblings and repaints when it changes.
  void SetPriorityOffset(int32_t offset);
  void FreeLater();
  bool IsPendingDelete() const;
  // Still registered with its owner (remembered pointers are checked with this).
  bool IsAlive() const;

  // GetKind of an internal or abstract class is LT_NONE; afterimage variants answer their plain
  // class's kind.
  virtual uint8_t GetKind() const { return LT_NONE; }
  virtual TNovaControl* AsControl() { return nullptr; }
  virtual const TNovaControl* AsControl() const { return nullptr; }

  // Property access by id. An id outside 0-169 throws "GetPropエラー"/"SetPropエラー", as does
  // writing PR_APPEARX/PR_APPEARY. A property the kind does not honour reads its type's zero
  // (true for PR_REWINDONLOAD and PR_OVERLAY) and ignores writes; values convert to the
  // property's type.
  TPropValue GetProp(int id);
  void SetProp(int id, const TPropValue& value);
  // The property rows of the object's class, chained to its parent classes' rows.
  virtual const TPropTable& PropTable() const { return Props(); }

  // Once per frame; true when the component has finished and is to be destroyed.
  virtual bool Update() { return false; }
  // Persistent form: the common head, the control part with children, then the kind's own.
  void Save(BinaryWriter& w) const;
  void Load(BinaryReader& r, int version);
  void Sync(TSerializer& s);

  virtual bool EventsSuppressed() const { return false; }
  virtual bool IsPaused() const { return false; }
  virtual bool IsInCabinet() const { return false; }
  virtual const std::string& IdleHandler() const;
  virtual bool WantsDefaultName() const { return true; }
  virtual void ReleaseSurfaces() {}
  virtual void RestoreSurfaces() {}
  // Sounds and videos start playing.
  virtual void Play() {}
  // Menus, map images and preview menus close on a right click when this answers true.
  virtual bool TakeRightClick() { return false; }
  // Item operations of the choosing components. An index out of range reads false, 0 or the
  // empty text and changes nothing; kinds without items answer so for every index.
  virtual bool GetItemChecked(int) const { return false; }
  virtual void SetItemChecked(int, bool) {}
  virtual bool GetItemEnabled(int) const { return false; }
  virtual void SetItemEnabled(int, bool) {}
  virtual bool GetItemVisible(int) const { return false; }
  virtual void SetItemVisible(int, bool) {}
  virtual bool GetItemSelected(int) const { return false; }
  virtual void SetItemSelected(int, bool) {}
  virtual int32_t GetItemGroup(int) const { return 0; }
  virtual std::string GetItemText(int) const { return {}; }

protected:
  explicit TNovaObject(TNovaBaseList* owner) : owner_(owner) {}

  // Every class with properties of its own declares its rows here, chained to its parent's,
  // and answers them from PropTable.
  static const TPropTable& Props();
  // A write through the class's rows, without the honouring rules of SetProp (loaders); the
  // value must already have the property's type. False when no row takes it.
  bool WriteProp(int id, const TPropValue& value);
  virtual bool Honours(int id, bool write) const;
  // The parts of the persistent form below the common head, each one description that saves
  // and loads (base/serializer.h).
  virtual void SyncControl(TSerializer& s) {}
  virtual void SyncKind(TSerializer& s) {}
  // Queues an event of this component on the owner's queue.
  void QueueEvent(uint8_t type, const std::string& handler, std::vector<std::string> params = {});
  // The once rule: true when an event of this type for this component is queued.
  bool EventQueued(uint8_t type) const;

  TNovaBaseList* owner_;
  std::string name_;
  std::string tag_;
  int32_t priority_ = 0;
  int32_t priority_offset_ = 0;

  friend class TNovaBaseList;
};

// A component that takes part in persistence and events. Non-visual kinds derive from it.
class TNovaComponent : public TNovaObject {
protected:
  using TNovaObject::TNovaObject;
};

} // namespace nova
