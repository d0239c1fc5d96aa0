// SPDX-License-Identifier: MIT
// The system variables whose state the scene and the screen own: mouse and key state, the
// scene size, the frame count, full screen and display modes, sound and the focused component.
#pragma once
#include <functional>

#include "expr/expr_hosts.h"

namespace nova {

class TNovaBaseList;
class TScreenManager;

// What only the shell can do when scripts write these variables.
struct TSceneShellActions {
  std::function<bool()> is_full_screen;
  std::function<void(bool full)> set_full_screen;
  std::function<void(int x, int y)> warp_pointer;
  // Passes the sound switch on to the media managers.
  std::function<void(bool on)> set_sound_on;
  // @DisplayModeIndex chose another mode: in full screen it is set at once.
  std::function<void()> screen_mode_selected;
};

// Serves @LClick, @RClick, @LPush, @RPush, @MouseX, @MouseY, @ScrWidth, @ScrHeight,
// @UpdateCount, @FullScr, @KeyPush, @KeyClick, @KeyRepeat, @DisplayModeCount,
// @DisplayModeIndex, @SoundON, @ActiveCompo, @WheelDown, @WheelUp, @HistoryCount and
// @HistoryMaxCount (the default message history); other indices go to
// `next` (the other hosts, chained), or read their zero value.
class TSceneSystemVars : public ISystemVarHost {
public:
  TSceneSystemVars(TNovaBaseList& scene, TScreenManager* screen, TSceneShellActions actions,
                   ISystemVarHost* next = nullptr);
  bool ReadSystem(int index, int32_t element, TSysValue& out) override;
  void WriteSystem(int index, const TSysValue& value) override;
  int32_t SystemCount(int index) override;

private:
  TNovaBaseList& scene_;
  TScreenManager* screen_;
  TSceneShellActions actions_;
  ISystemVarHost* next_;
};

} // namespace nova
