// SPDX-License-Identifier: MIT
// The scene's part of the save data.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "scene/component_factory.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

// A scene larger than any display is damaged data; surfaces are allocated from it.
constexpr int32_t kMaxSceneSide = 4096;

bool SavedAtTopLevel(const TNovaBaseList& list, const TNovaObject* o) {
  return !o->AsControl() && !list.IsPendingDelete(o) && o->GetKind() != LT_NONE && !o->IsSystem();
}

} // namespace

void TNovaBaseList::SaveScene(BinaryWriter& w) const {
  w.I32(width_);
  w.I32(height_);
  w.I32(front_);
  layers_[0]->Save(w);
  layers_[1]->Save(w);
  int32_t n = 0;
  for (const TNovaObject* o : objects_)
    n += SavedAtTopLevel(*this, o) ? 1 : 0;
  w.I32(n);
  for (const TNovaObject* o : objects_) {
    if (!SavedAtTopLevel(*this, o))
      continue;
    w.U8(o->GetKind());
    o->Save(w);
  }
  w.I32(events_.Count());
  for (int i = 0; i < events_.Count(); ++i) {
    const TTimerData& e = events_.At(i);
    w.String(e.handler);
    w.String(e.component && IsAlive(e.component) ? e.component->GetName() : std::string());
    w.U8(e.type);
    w.I32(e.level);
    w.I32(static_cast<int32_t>(e.params.size()));
    for (const std::string& p : e.params)
      w.String(p);
  }
  w.String(focus_ && IsAlive(focus_) ? focus_->GetName() : std::string());
}

void TNovaBaseList::LoadScene(BinaryReader& r, int version) {
  try {
    Reset();
    const int32_t width = r.I32();
    const int32_t height = r.I32();
    if (width < 0 || height < 0 || width > kMaxSceneSide || height > kMaxSceneSide)
      r.Fail("scene size " + std::to_string(width) + "x" + std::to_string(height));
    SetSceneSize(width, height);
    front_ = r.I32() & 1;
    for (int i = 0; i < 2; ++i) {
      TNovaBase& layer = *layers_[static_cast<size_t>(i)];
      layer.Load(r, version);
      // The layers keep their fixed names and the scene's size whatever the record says.
      layer.name_ = i == 0 ? std::string("\x01"
                                         "BASE0")
                           : std::string("\x01"
                                         "BASE1");
      layer.width_ = width_;
      layer.height_ = height_;
      layer.InvalidateAll();
    }
    const int32_t n = r.I32();
    r.CheckCount(n, 1 + 4 + 4, "component count");
    for (int32_t i = 0; i < n; ++i) {
      const uint8_t kind = r.U8();
      TNovaObject* obj = CreateByKind(this, kind);
      if (!obj)
        r.Fail("component " + std::to_string(i) + " has kind " + std::to_string(kind) +
               ", which names no class");
      if (obj->AsControl()) {
        Destroy(obj);
        r.Fail("component " + std::to_string(i) + " of kind " + std::to_string(kind) +
               " is visual but stored outside the layers");
      }
      obj->Load(r, version);
    }
    const int32_t m = r.I32();
    r.CheckCount(m, 4 + 4 + 1 + 1 + 4, "event count");
    for (int32_t i = 0; i < m; ++i) {
      TTimerData e;
      e.handler = r.String();
      const std::string sender = r.String();
      e.component = sender.empty() ? nullptr : FindByName(sender);
      e.type = r.U8();
      e.level = version > 113 ? r.I32() : (r.U8() != 0 ? 1 : 0);
      const int32_t params = r.I32();
      r.CheckCount(params, 4, "event parameter count");
      for (int32_t p = 0; p < params; ++p)
        e.params.push_back(r.String());
      events_.Append(std::move(e));
    }
    // Components were placed while their parents and pictures were still arriving.
    ForgetPlacements();
    if (version > 118) {
      const std::string focus = r.String();
      if (TNovaControl* f = focus.empty() ? nullptr : FindControl(focus)) {
        focus_ = f;
        f->FocusGained();
        refocus_requested_ = false;
      }
    }
  } catch (...) {
    // A damaged record leaves an empty scene, never a half-built one.
    Reset();
    throw;
  }
}

} // namespace nova
