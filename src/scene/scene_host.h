// SPDX-License-Identifier: MIT
// What the scene needs from the program around it: title files, the pointer position and the
// cursor. The shell implements it; tests use a small stand-in.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nova {

struct TCursorImage;

class ISceneHost {
public:
  virtual ~ISceneHost() = default;
  // The bytes of a title file, nothing when it cannot be read.
  virtual std::optional<std::vector<uint8_t>> ReadTitleFile(const std::string& name) = 0;
  // The default cursor file of the title (@Cursor), empty for none.
  virtual std::string DefaultCursorFile() = 0;
  // Shows a decoded custom cursor, or the normal arrow when `cursor` is null.
  virtual void ShowCursor(const TCursorImage* cursor) = 0;
  // The pointer position in scene coordinates.
  virtual void PointerPosition(int32_t& x, int32_t& y) = 0;
};

} // namespace nova
