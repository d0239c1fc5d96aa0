// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace nova {

// The two layers of the scene: input routing treats the front one specially.
enum class TSceneLayer : uint8_t { Front, Back };

// Where the shell routes keyboard and mouse input: the scene's base list implements it and the
// shell calls it on the main thread as window events arrive. Key codes are 0-255 (virtual-key
// codes); the wheel arrives as its own flags, not as keys.
class ISceneInput {
public:
  virtual ~ISceneInput() = default;
  virtual void SetKeyState(int key, bool down) = 0;
  // The key went down this frame (a click of the key).
  virtual void SetKeyClicked(int key) = 0;
  // Every key up, as when the application loses focus.
  virtual void ReleaseKeys() = 0;
  virtual void SetMouseHeld(TSceneLayer layer, bool left, bool right) = 0;
  virtual void SetMousePressed(TSceneLayer layer, bool left, bool right) = 0;
  virtual void SetWheelPressed(TSceneLayer layer, bool wheel_up) = 0;
  // Pointer position relative to the scene.
  virtual void SetMousePos(TSceneLayer layer, int x, int y) = 0;
};

} // namespace nova
