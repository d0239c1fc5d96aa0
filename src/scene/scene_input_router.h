// SPDX-License-Identifier: MIT
// The shell's input routing into the scene's base list.
#pragma once
#include <cstdint> // scene_input.h uses uint8_t without including it

#include "platform/scene_input.h"

namespace nova {

class TNovaBaseList;

class TSceneInputRouter : public ISceneInput {
public:
  explicit TSceneInputRouter(TNovaBaseList& scene) : scene_(scene) {}
  void SetKeyState(int key, bool down) override;
  void SetKeyClicked(int key) override;
  void ReleaseKeys() override;
  void SetMouseHeld(TSceneLayer layer, bool left, bool right) override;
  void SetMousePressed(TSceneLayer layer, bool left, bool right) override;
  void SetWheelPressed(TSceneLayer layer, bool wheel_up) override;
  void SetMousePos(TSceneLayer layer, int x, int y) override;

private:
  TNovaBaseList& scene_;
};

} // namespace nova
