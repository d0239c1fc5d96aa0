// SPDX-License-Identifier: MIT
// The selectable areas of a map image and the map file they are read from.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/scene_types.h"

namespace nova {

struct TMapPoint {
  int32_t x = 0, y = 0;
};

// One area in the picture's own pixels: a rectangle (kind 0) or an ellipse (kind 1) given by
// inclusive edges, or a polygon (any other kind) filled with the winding rule.
struct TMapArea {
  std::string name;
  uint8_t kind = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::vector<TMapPoint> points;

  bool IsPolygon() const { return kind > 1; }
  // Whether the pixel at (x, y) belongs to the area (tested at the pixel's centre).
  bool Contains(int32_t x, int32_t y) const;
  // The smallest rectangle holding every pixel of the area (right and bottom exclusive).
  TSceneRect Bounds() const;
};

// Reads a map file: int32 area count, then per area its name (int32 length and bytes), a kind
// byte and its shape. Damaged data throws ENovaError naming `file` and what is wrong.
std::vector<TMapArea> ReadMapFile(std::span<const uint8_t> bytes, const std::string& file);
// The writer of the same form (tools and tests).
std::vector<uint8_t> WriteMapFile(const std::vector<TMapArea>& areas);

} // namespace nova
