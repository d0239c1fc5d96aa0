// SPDX-License-Identifier: MIT
// The scene's part of the save data.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/serializer.h"
#include "scene/component_factory.h"
#include "scene/nova_base_list.h"
#include "scene/private/component_records.h"

namespace nova {
namespace {

// A scene larger than any display is damaged data; surfaces are allocated from it.
constexpr int32_t kMaxSceneSide = 4096;
// A queued event is at least its handler, sender, type, level and parameter count.
constexpr size_t kMinEventBytes = 4 + 4 + 1 + 1 + 4;
// Scenes from this version on keep an event's level, before it only whether it had started.
constexpr Since kEventLevelSaved{114};
// Scenes from this version on name the focused component.
constexpr Since kFocusSaved{119};

bool SavedAtTopLevel(const TNovaBaseList& list, const TNovaObject* o) {
  return !o->AsControl() && !list.IsPendingDelete(o) && o->GetKind() != LT_NONE && !o->IsSystem();
}

// A component by name: empty when there is none or it has left the scene.
std::string SavedName(const TNovaBaseList& list, const TNovaObject* o) {
  return o && list.IsAlive(o) ? o->GetName() : std::string();
}

void SyncEvent(TSerializer& s, TTimerData& e, const TNovaBaseList& list) {
  s.String(e.handler);
  std::string sender = SavedName(list, e.component);
  s.String(sender);
  if (s.Loading())
    e.component = sender.empty() ? nullptr : list.FindByName(sender);
  s.U8(e.type);
  if (s.Has(kEventLevelSaved))
    s.I32(e.level);
  else
    e.level = s.Reader().U8() != 0 ? 1 : 0;
  s.StringList(e.params);
}

} // namespace

void TNovaBaseList::SaveScene(BinaryWriter& w) const {
  TSerializer s(w);
  // Saving only reads what the description names.
  const_cast<TNovaBaseList*>(this)->SyncScene(s);
}

void TNovaBaseList::LoadScene(BinaryReader& r, int version) {
  try {
    Reset();
    TSerializer s(r, version);
    SyncScene(s);
  } catch (...) {
    // A damaged record leaves an empty scene, never a half-built one.
    Reset();
    throw;
  }
}

void TNovaBaseList::SyncScene(TSerializer& s) {
  int32_t width = width_, height = height_;
  s.I32(width);
  s.I32(height);
  if (s.Loading()) {
    if (width < 0 || height < 0 || width > kMaxSceneSide || height > kMaxSceneSide)
      s.Reader().Fail("scene size " + std::to_string(width) + "x" + std::to_string(height));
    SetSceneSize(width, height);
  }
  s.I32(front_);
  if (s.Loading())
    front_ &= 1;
  for (int i = 0; i < 2; ++i) {
    TNovaBase& layer = *layers_[static_cast<size_t>(i)];
    layer.Sync(s);
    if (s.Saving())
      continue;
    // The layers keep their fixed names and the scene's size whatever the record says.
    layer.name_ = i == 0 ? std::string("\x01"
                                       "BASE0")
                         : std::string("\x01"
                                       "BASE1");
    layer.width_ = width_;
    layer.height_ = height_;
    layer.InvalidateAll();
  }
  // The components outside the layers; the visual ones are their layers' children.
  SyncComponents(
      s, objects_, "component count",
      [this](const TNovaObject* o) { return SavedAtTopLevel(*this, o); },
      [this, &s](int32_t i, uint8_t kind) {
        TNovaObject* obj = CreateByKind(this, kind);
        if (!obj)
          s.Reader().Fail("component " + std::to_string(i) + " has kind " + std::to_string(kind) +
                          ", which names no class");
        if (obj->AsControl()) {
          Destroy(obj);
          s.Reader().Fail("component " + std::to_string(i) + " of kind " + std::to_string(kind) +
                          " is visual but stored outside the layers");
        }
        return obj;
      });
  std::vector<TTimerData> events;
  for (int i = 0; s.Saving() && i < events_.Count(); ++i)
    events.push_back(events_.At(i));
  s.List(events, kMinEventBytes, "event count",
         [&s, this](TTimerData& e) { SyncEvent(s, e, *this); });
  if (s.Loading()) {
    for (TTimerData& e : events)
      events_.Append(std::move(e));
    // Components were placed while their parents and pictures were still arriving.
    ForgetPlacements();
  }
  std::string focus = SavedName(*this, focus_);
  s.String(focus, kFocusSaved);
  if (s.Saving())
    return;
  if (TNovaControl* f = focus.empty() ? nullptr : FindControl(focus)) {
    focus_ = f;
    f->FocusGained();
    refocus_requested_ = false;
  }
}

} // namespace nova
