// SPDX-License-Identifier: MIT
// The properties every control keeps.
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"
#include "scene/nova_motion.h"
#include "scene/prop_rows.h"

namespace nova {
namespace {

template <TControlHandler H> constexpr TPropRow HandlerRow(TNovaProp id) {
  return props::Custom<TNovaControl>(
      id, peNone, [](const TNovaControl& c) { return TPropValue::Str(c.Handler(H)); },
      [](TNovaControl& c, const TPropValue& v) { c.SetHandler(H, v.s); });
}

template <TNovaProp Id> constexpr TPropRow ClipRow() {
  return props::Custom<TNovaControl>(
      Id, peGeometry, [](const TNovaControl& c) { return TPropValue::Int(c.Clip(Id)); },
      [](TNovaControl& c, const TPropValue& v) { c.SetClip(Id, v.i); });
}

} // namespace

const TPropTable& TNovaControl::Props() {
  using T = TNovaControl;
  using namespace props;
  static constexpr std::array kRows{
      HandlerRow<chMouseMove>(PR_ONMOUSEMOVE),
      HandlerRow<chMouseIn>(PR_ONMOUSEIN),
      HandlerRow<chMouseOut>(PR_ONMOUSEOUT),
      HandlerRow<chLBtnDown>(PR_ONLBTNDOWN),
      HandlerRow<chLBtnUp>(PR_ONLBTNUP),
      HandlerRow<chRBtnDown>(PR_ONRBTNDOWN),
      HandlerRow<chRBtnUp>(PR_ONRBTNUP),
      HandlerRow<chWheelDown>(PR_ONWHEELDOWN),
      HandlerRow<chWheelUp>(PR_ONWHEELUP),
      HandlerRow<chKeyDown>(PR_ONKEYDOWN),
      HandlerRow<chKeyUp>(PR_ONKEYUP),
      HandlerRow<chKeyRepeat>(PR_ONKEYREPEAT),
      HandlerRow<chFocusIn>(PR_ONFOCUSIN),
      HandlerRow<chFocusOut>(PR_ONFOCUSOUT),
      // The layer behind reads "\x01", the front layer and no parent the empty name.
      Custom<T>(
          PR_PARENT, peGeometry,
          [](const T& c) {
            std::string v;
            if (c.parent_ && c.owner_ && c.parent_ == c.owner_->Back())
              v = "\x01";
            else if (c.parent_ && !(c.owner_ && c.parent_ == c.owner_->Front()))
              v = c.parent_->GetName();
            return TPropValue::Str(std::move(v));
          },
          [](T& c, const TPropValue& v) {
            if (!c.IsLayer() && c.owner_)
              if (TNovaControl* p = c.owner_->FindControl(v.s))
                c.SetParent(p);
          }),
      Access<&T::Left, &T::SetLeft>(PR_LEFT, peGeometry),
      Access<&T::Top, &T::SetTop>(PR_TOP, peGeometry),
      Access<&T::GetWidth, &T::SetWidth>(PR_WIDTH, peGeometry),
      Access<&T::GetHeight, &T::SetHeight>(PR_HEIGHT, peGeometry),
      Access<&T::Color, &T::SetColor>(PR_COLOR, pePicture),
      Access<&T::AnchorX, &T::SetAnchorX>(PR_OFFSETX, peGeometry),
      Access<&T::AnchorY, &T::SetAnchorY>(PR_OFFSETY, peGeometry),
      Access<&T::Visible, &T::SetVisible>(PR_VISIBLE, pePicture),
      Field<&T::ignore_mouse_>(PR_IGNOREMOUSE),
      Field<&T::cursor_>(PR_CURSOR),
      Stored<&T::pos_zoomed_, &T::SetPosZoomed>(PR_POSZOOMED, peGeometry),
      Stored<&T::plus_x_, &T::SetPlusX>(PR_PLUSX, peGeometry),
      Stored<&T::plus_y_, &T::SetPlusY>(PR_PLUSY, peGeometry),
      ClipRow<PR_CLIPLEFT>(),
      ClipRow<PR_CLIPTOP>(),
      ClipRow<PR_CLIPWIDTH>(),
      ClipRow<PR_CLIPHEIGHT>(),
      Flag<&T::ani_paused_>(PR_ANIPAUSED),
      Flag<&T::handle_key_>(PR_HANDLEKEY),
      Custom<T>(
          PR_PLAYING, peNone,
          [](const T& c) {
            return TPropValue::Flag(c.motion_ && !c.motion_->Finished() && !c.ani_paused_);
          },
          nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaComponent::Props, kRows);
  return kTable;
}

} // namespace nova
