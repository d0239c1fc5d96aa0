// SPDX-License-Identifier: MIT
// The control part of the persistent form, with the children.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"
#include "scene/component_factory.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"
#include "scene/private/component_records.h"

namespace nova {
namespace {

// Deeper nesting than any title builds means damaged data.
constexpr int kMaxLoadDepth = 200;

constexpr TControlHandler kStoredOrder1[] = {chMouseOut, chLBtnDown,  chLBtnUp, chRBtnDown,
                                             chRBtnUp,   chWheelDown, chWheelUp};
constexpr TControlHandler kStoredOrder2[] = {chKeyDown, chKeyUp, chKeyRepeat, chFocusIn,
                                             chFocusOut};

bool SavedAsChild(const TNovaControl* c) {
  return !c->IsPendingDelete() && c->GetKind() != LT_NONE && !c->IsSystem();
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
  SyncChildren(s);
}

void TNovaControl::SyncChildren(TSerializer& s) {
  int* depth = nullptr;
  if (s.Loading()) {
    if (!owner_)
      s.Reader().Fail("a component without scene holds children");
    depth = &owner_->LoadDepth();
    if (*depth >= kMaxLoadDepth)
      s.Reader().Fail("components nested too deeply");
    ++*depth;
  }
  try {
    SyncComponents(s, children_, "child count", SavedAsChild, [this, &s](int32_t i, uint8_t kind) {
      TNovaObject* child = CreateByKind(owner_, kind);
      TNovaControl* control = child ? child->AsControl() : nullptr;
      if (!control) {
        if (child)
          owner_->Destroy(child);
        s.Reader().Fail("child " + std::to_string(i) + " has kind " + std::to_string(kind) +
                        ", which is no visual component");
      }
      control->SetParent(this);
      return control;
    });
  } catch (...) {
    if (depth)
      --*depth;
    throw;
  }
  if (s.Saving())
    return;
  --*depth;
  SortChildren();
}

} // namespace nova
