// SPDX-License-Identifier: MIT
#include "scene/scene_input_router.h"

#include "scene/nova_base_list.h"

namespace nova {
namespace {

TNovaBase& Layer(TNovaBaseList& scene, TSceneLayer layer) {
  return layer == TSceneLayer::Front ? *scene.Front() : *scene.Back();
}

} // namespace

void TSceneInputRouter::SetKeyState(int key, bool down) { scene_.SetKeyState(key, down); }
void TSceneInputRouter::SetKeyClicked(int key) { scene_.SetKeyClicked(key); }
void TSceneInputRouter::ReleaseKeys() { scene_.ReleaseKeys(); }

void TSceneInputRouter::SetMouseHeld(TSceneLayer layer, bool left, bool right) {
  TNovaBase& l = Layer(scene_, layer);
  l.left_held = left;
  l.right_held = right;
}

void TSceneInputRouter::SetMousePressed(TSceneLayer layer, bool left, bool right) {
  TNovaBase& l = Layer(scene_, layer);
  l.left_pressed = l.left_pressed || left;
  l.right_pressed = l.right_pressed || right;
}

void TSceneInputRouter::SetWheelPressed(TSceneLayer layer, bool wheel_up) {
  TNovaBase& l = Layer(scene_, layer);
  (wheel_up ? l.wheel_up_pressed : l.wheel_down_pressed) = true;
}

void TSceneInputRouter::SetMousePos(TSceneLayer layer, int x, int y) {
  TNovaBase& l = Layer(scene_, layer);
  if (l.pointer_x != x || l.pointer_y != y)
    l.pointer_moved = true;
  l.pointer_x = x;
  l.pointer_y = y;
}

} // namespace nova
