// SPDX-License-Identifier: MIT
// The control part of the persistent form, with the children.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"
#include "scene/component_factory.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"

namespace nova {
namespace {

// Deeper nesting than any title builds means damaged data.
constexpr int kMaxLoadDepth = 200;
// A child needs at least its kind byte and the smallest common head.
constexpr size_t kMinChildBytes = 1 + 4 + 4;

constexpr TControlHandler kStoredOrder1[] = {chMouseOut, chLBtnDown,  chLBtnUp, chRBtnDown,
                                             chRBtnUp,   chWheelDown, chWheelUp};
constexpr TControlHandler kStoredOrder2[] = {chKeyDown, chKeyUp, chKeyRepeat, chFocusIn,
                                             chFocusOut};

bool SavedAsChild(const TNovaControl* c) {
  return !c->IsPendingDelete() && c->GetKind() != LT_NONE && !c->IsSystem();
}

void SaveChildren(const std::vector<TNovaControl*>& children, BinaryWriter& w) {
  int32_t n = 0;
  for (const TNovaControl* c : children)
    n += SavedAsChild(c) ? 1 : 0;
  w.I32(n);
  for (const TNovaControl* c : children) {
    if (!SavedAsChild(c))
      continue;
    w.U8(c->GetKind());
    c->Save(w);
  }
}

} // namespace

void TNovaControl::SyncControl(TSerializer& s) {
  for (int32_t* v : {&left_, &top_, &width_, &height_, &anchor_x_, &anchor_y_})
    s.I32(*v);
  s.U8(pos_zoomed_);
  for (int32_t* v : {&motion_x_, &motion_y_, &plus_x_, &plus_y_})
    s.I32(*v, Since{130});
  for (int32_t* v : {&clip_left_, &clip_top_, &clip_width_, &clip_height_})
    s.I32(*v, Since{104});
  s.U8(ani_paused_, Since{104});
  s.U8(visible_);
  s.I32(color_);
  for (int32_t* v : {&reserved_.Left, &reserved_.Top, &reserved_.Right, &reserved_.Bottom})
    s.I32(*v);
  s.U8(ignore_mouse_);
  s.String(cursor_);
  s.String(handlers_[chMouseMove]);
  s.String(handlers_[chMouseIn], Since{102});
  for (TControlHandler h : kStoredOrder1)
    s.String(handlers_[h]);
  s.U8(handle_key_, Since{118});
  for (TControlHandler h : kStoredOrder2)
    s.String(handlers_[h], Since{118});
  if (s.Saving())
    SaveChildren(children_, s.Writer());
  else
    LoadChildren(s.Reader(), s.Version());
}

void TNovaControl::LoadChildren(BinaryReader& r, int version) {
  const int32_t n = r.I32();
  r.CheckCount(n, kMinChildBytes, "child count");
  if (!owner_)
    r.Fail("a component without scene holds children");
  int& depth = owner_->LoadDepth();
  if (depth >= kMaxLoadDepth)
    r.Fail("components nested too deeply");
  ++depth;
  try {
    for (int32_t i = 0; i < n; ++i) {
      const uint8_t kind = r.U8();
      TNovaObject* child = CreateByKind(owner_, kind);
      TNovaControl* control = child ? child->AsControl() : nullptr;
      if (!control) {
        if (child)
          owner_->Destroy(child);
        r.Fail("child " + std::to_string(i) + " has kind " + std::to_string(kind) +
               ", which is no visual component");
      }
      control->SetParent(this);
      control->Load(r, version);
    }
  } catch (...) {
    --depth;
    throw;
  }
  --depth;
  SortChildren();
}

} // namespace nova
