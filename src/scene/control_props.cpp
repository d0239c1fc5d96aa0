// SPDX-License-Identifier: MIT
// The properties every control stores.
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"
#include "scene/nova_motion.h"

namespace nova {
namespace {

int HandlerOf(int id) {
  switch (id) {
  case PR_ONMOUSEMOVE:
    return chMouseMove;
  case PR_ONMOUSEIN:
    return chMouseIn;
  case PR_ONMOUSEOUT:
    return chMouseOut;
  case PR_ONLBTNDOWN:
    return chLBtnDown;
  case PR_ONLBTNUP:
    return chLBtnUp;
  case PR_ONRBTNDOWN:
    return chRBtnDown;
  case PR_ONRBTNUP:
    return chRBtnUp;
  case PR_ONWHEELDOWN:
    return chWheelDown;
  case PR_ONWHEELUP:
    return chWheelUp;
  case PR_ONKEYDOWN:
    return chKeyDown;
  case PR_ONKEYUP:
    return chKeyUp;
  case PR_ONKEYREPEAT:
    return chKeyRepeat;
  case PR_ONFOCUSIN:
    return chFocusIn;
  case PR_ONFOCUSOUT:
    return chFocusOut;
  default:
    return -1;
  }
}

} // namespace

bool TNovaControl::ReadProp(int id, TPropValue& out) {
  if (int h = HandlerOf(id); h >= 0) {
    out = TPropValue::Str(handlers_[static_cast<size_t>(h)]);
    return true;
  }
  switch (id) {
  case PR_PARENT: {
    std::string v;
    if (parent_ && owner_ && parent_ == owner_->Back()) {
      v = "\x01";
    } else if (parent_ && !(owner_ && parent_ == owner_->Front())) {
      v = parent_->GetName();
    }
    out = TPropValue::Str(std::move(v));
    return true;
  }
  case PR_LEFT:
    out = TPropValue::Int(left_);
    return true;
  case PR_TOP:
    out = TPropValue::Int(top_);
    return true;
  case PR_WIDTH:
    out = TPropValue::Int(GetWidth());
    return true;
  case PR_HEIGHT:
    out = TPropValue::Int(GetHeight());
    return true;
  case PR_COLOR:
    out = TPropValue::Int(color_);
    return true;
  case PR_OFFSETX:
    out = TPropValue::Int(anchor_x_);
    return true;
  case PR_OFFSETY:
    out = TPropValue::Int(anchor_y_);
    return true;
  case PR_VISIBLE:
    out = TPropValue::Flag(visible_ != 0);
    return true;
  case PR_IGNOREMOUSE:
    out = TPropValue::Int(ignore_mouse_);
    return true;
  case PR_CURSOR:
    out = TPropValue::Str(cursor_);
    return true;
  case PR_POSZOOMED:
    out = TPropValue::Flag(pos_zoomed_ != 0);
    return true;
  case PR_CLIPLEFT:
    out = TPropValue::Int(clip_left_);
    return true;
  case PR_CLIPTOP:
    out = TPropValue::Int(clip_top_);
    return true;
  case PR_CLIPWIDTH:
    out = TPropValue::Int(clip_width_);
    return true;
  case PR_CLIPHEIGHT:
    out = TPropValue::Int(clip_height_);
    return true;
  case PR_PLUSX:
    out = TPropValue::Int(plus_x_);
    return true;
  case PR_PLUSY:
    out = TPropValue::Int(plus_y_);
    return true;
  case PR_ANIPAUSED:
    out = TPropValue::Flag(ani_paused_ != 0);
    return true;
  case PR_HANDLEKEY:
    out = TPropValue::Flag(handle_key_ != 0);
    return true;
  case PR_PLAYING:
    out = TPropValue::Flag(motion_ && !motion_->Finished() && !ani_paused_);
    return true;
  default:
    return TNovaComponent::ReadProp(id, out);
  }
}

bool TNovaControl::WriteProp(int id, const TPropValue& v) {
  if (int h = HandlerOf(id); h >= 0) {
    handlers_[static_cast<size_t>(h)] = v.s;
    return true;
  }
  switch (id) {
  case PR_PARENT:
    if (!IsLayer() && owner_)
      if (TNovaControl* p = owner_->FindControl(v.s))
        SetParent(p);
    return true;
  case PR_LEFT:
    SetLeft(v.i);
    return true;
  case PR_TOP:
    SetTop(v.i);
    return true;
  case PR_WIDTH:
    SetWidth(v.i);
    return true;
  case PR_HEIGHT:
    SetHeight(v.i);
    return true;
  case PR_COLOR:
    SetColor(v.i);
    return true;
  case PR_OFFSETX:
    SetAnchorX(v.i);
    return true;
  case PR_OFFSETY:
    SetAnchorY(v.i);
    return true;
  case PR_VISIBLE:
    SetVisible(v.f);
    return true;
  case PR_IGNOREMOUSE:
    ignore_mouse_ = static_cast<uint8_t>(v.i);
    return true;
  case PR_CURSOR:
    cursor_ = v.s;
    return true;
  case PR_POSZOOMED:
    SetPosZoomed(v.f);
    return true;
  case PR_CLIPLEFT:
  case PR_CLIPTOP:
  case PR_CLIPWIDTH:
  case PR_CLIPHEIGHT:
    SetClip(static_cast<TNovaProp>(id), v.i);
    return true;
  case PR_PLUSX:
    SetPlusX(v.i);
    return true;
  case PR_PLUSY:
    SetPlusY(v.i);
    return true;
  case PR_ANIPAUSED:
    ani_paused_ = v.f ? 1 : 0;
    return true;
  case PR_HANDLEKEY:
    handle_key_ = v.f ? 1 : 0;
    return true;
  default:
    return TNovaComponent::WriteProp(id, v);
  }
}

} // namespace nova
