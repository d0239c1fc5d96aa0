// SPDX-License-Identifier: MIT
#include "scene/scene_system_vars.h"

#include "base/run_state.h"
#include "expr/param_system.h"
#include "graphics/screen_manager.h"
#include "scene/message_records.h"
#include "scene/nova_base_list.h"

namespace nova {

TSceneSystemVars::TSceneSystemVars(TNovaBaseList& scene, TScreenManager* screen,
                                   TSceneShellActions actions, ISystemVarHost* next)
    : scene_(scene), screen_(screen), actions_(std::move(actions)), next_(next) {}

bool TSceneSystemVars::ReadSystem(int index, int32_t element, TSysValue& out) {
  TNovaBase& front = *scene_.Front();
  switch (index) {
  case svLClick:
    out.b = front.left_click;
    return true;
  case svRClick:
    out.b = front.right_click;
    return true;
  case svLPush:
    out.b = front.left_held && !(front.capture & kCaptureLeft);
    return true;
  case svRPush:
    out.b = front.right_held && !(front.capture & kCaptureRight);
    return true;
  case svMouseX:
    out.i = front.pointer_x;
    return true;
  case svMouseY:
    out.i = front.pointer_y;
    return true;
  case svScrWidth:
    out.i = scene_.SceneWidth();
    return true;
  case svScrHeight:
    out.i = scene_.SceneHeight();
    return true;
  case svUpdateCount:
    out.i = static_cast<int32_t>(RunState().FrameCounter);
    return true;
  case svFullScr:
    out.b = actions_.is_full_screen ? actions_.is_full_screen() : screen_ && screen_->FullScreen();
    return true;
  case svKeyPush:
    out.b = scene_.KeyDown(element);
    return true;
  case svKeyClick:
    out.b = scene_.KeyClickedBefore(element);
    return true;
  case svKeyRepeat:
    out.b = scene_.KeyRepeatBefore(element);
    return true;
  case svDisplayModeCount:
    out.i = screen_ ? screen_->ModeCount() : 0;
    return true;
  case svDisplayModeIndex:
    out.i = screen_ ? screen_->ChosenMode() : -1;
    return true;
  case svSoundON:
    out.b = scene_.SoundOn();
    return true;
  case svActiveCompo: {
    TNovaControl* f = scene_.Focus();
    out.s = f && f->IsAlive() ? f->GetName() : std::string();
    return true;
  }
  case svWheelDown:
    out.b = front.wheel_down;
    return true;
  case svWheelUp:
    out.b = front.wheel_up;
    return true;
  case svHistoryCount:
    out.i = scene_.MessageRecords().formats.Default().History().Count();
    return true;
  case svHistoryMaxCount:
    out.i = scene_.MessageRecords().formats.Default().History().MaxCount();
    return true;
  default:
    return next_ && next_->ReadSystem(index, element, out);
  }
}

void TSceneSystemVars::WriteSystem(int index, const TSysValue& v) {
  TNovaBase& front = *scene_.Front();
  switch (index) {
  case svLClick:
    front.left_click = v.b;
    return;
  case svRClick:
    front.right_click = v.b;
    return;
  case svMouseX:
  case svMouseY: {
    const int x = index == svMouseX ? v.i : front.pointer_x;
    const int y = index == svMouseY ? v.i : front.pointer_y;
    if (actions_.warp_pointer)
      actions_.warp_pointer(x, y);
    scene_.SetPointer(x, y);
    return;
  }
  case svFullScr:
    if (actions_.set_full_screen)
      actions_.set_full_screen(v.b);
    return;
  case svDisplayModeIndex:
    if (screen_)
      screen_->SelectMode(v.i);
    if (actions_.screen_mode_selected)
      actions_.screen_mode_selected();
    return;
  case svSoundON:
    scene_.SetSoundOn(v.b);
    if (actions_.set_sound_on)
      actions_.set_sound_on(v.b);
    return;
  case svActiveCompo:
    scene_.FocusByName(v.s);
    return;
  case svHistoryMaxCount:
    scene_.MessageRecords().formats.Default().History().SetMaxCount(v.i);
    return;
  case svHistoryCount:
    return;
  case svLPush:
  case svRPush:
  case svScrWidth:
  case svScrHeight:
  case svUpdateCount:
  case svKeyPush:
  case svKeyClick:
  case svKeyRepeat:
  case svDisplayModeCount:
  case svWheelDown:
  case svWheelUp:
    return;
  default:
    if (next_)
      next_->WriteSystem(index, v);
  }
}

int32_t TSceneSystemVars::SystemCount(int index) {
  if (index == svKeyPush || index == svKeyClick || index == svKeyRepeat)
    return 258;
  return next_ ? next_->SystemCount(index) : -1;
}

} // namespace nova
