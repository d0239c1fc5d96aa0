// SPDX-License-Identifier: MIT
// The control part of the persistent form, with the children.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
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

} // namespace

void TNovaControl::SaveControl(BinaryWriter& w) const {
  for (int32_t v : {left_, top_, width_, height_, anchor_x_, anchor_y_})
    w.I32(v);
  w.U8(pos_zoomed_);
  for (int32_t v : {motion_x_, motion_y_, plus_x_, plus_y_})
    w.I32(v);
  for (int32_t v : {clip_left_, clip_top_, clip_width_, clip_height_})
    w.I32(v);
  w.U8(ani_paused_);
  w.U8(visible_);
  w.I32(color_);
  for (int32_t v : {reserved_.Left, reserved_.Top, reserved_.Right, reserved_.Bottom})
    w.I32(v);
  w.U8(ignore_mouse_);
  w.String(cursor_);
  w.String(handlers_[chMouseMove]);
  w.String(handlers_[chMouseIn]);
  for (TControlHandler h : kStoredOrder1)
    w.String(handlers_[h]);
  w.U8(handle_key_);
  for (TControlHandler h : kStoredOrder2)
    w.String(handlers_[h]);
  int32_t n = 0;
  for (const TNovaControl* c : children_)
    n += SavedAsChild(c) ? 1 : 0;
  w.I32(n);
  for (const TNovaControl* c : children_) {
    if (!SavedAsChild(c))
      continue;
    w.U8(c->GetKind());
    c->Save(w);
  }
}

void TNovaControl::LoadControl(BinaryReader& r, int version) {
  left_ = r.I32();
  top_ = r.I32();
  width_ = r.I32();
  height_ = r.I32();
  anchor_x_ = r.I32();
  anchor_y_ = r.I32();
  pos_zoomed_ = r.U8();
  if (version >= 130) {
    motion_x_ = r.I32();
    motion_y_ = r.I32();
    plus_x_ = r.I32();
    plus_y_ = r.I32();
  }
  if (version > 103) {
    clip_left_ = r.I32();
    clip_top_ = r.I32();
    clip_width_ = r.I32();
    clip_height_ = r.I32();
    ani_paused_ = r.U8();
  }
  visible_ = r.U8();
  color_ = r.I32();
  reserved_.Left = r.I32();
  reserved_.Top = r.I32();
  reserved_.Right = r.I32();
  reserved_.Bottom = r.I32();
  ignore_mouse_ = r.U8();
  cursor_ = r.String();
  handlers_[chMouseMove] = r.String();
  if (version > 101)
    handlers_[chMouseIn] = r.String();
  for (TControlHandler h : kStoredOrder1)
    handlers_[h] = r.String();
  if (version > 117) {
    handle_key_ = r.U8();
    for (TControlHandler h : kStoredOrder2)
      handlers_[h] = r.String();
  }
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
