// SPDX-License-Identifier: MIT
#include "scene/kinds/map_file.h"

#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"

namespace nova {
namespace {

// Smallest stored area: a name length, the kind and a polygon's point count.
constexpr size_t kMinAreaBytes = 4 + 1 + 4;
constexpr size_t kPointBytes = 8;

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

bool TMapArea::Contains(int32_t x, int32_t y) const {
  if (!IsPolygon()) {
    if (x < left || x > right || y < top || y > bottom)
      return false;
    if (kind == 0)
      return true;
    // The ellipse inscribed in (left, top) - (right + 1, bottom + 1), in doubled units so the
    // pixel centre is whole.
    const double cx = (double(left) + double(right) + 1) / 2,
                 cy = (double(top) + double(bottom) + 1) / 2;
    const double rx = (double(right) + 1 - double(left)) / 2,
                 ry = (double(bottom) + 1 - double(top)) / 2;
    const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  }
  if (points.size() < 3)
    return false;
  // Non-zero winding number at the pixel centre.
  const double px = x + 0.5, py = y + 0.5;
  int winding = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const TMapPoint& a = points[i];
    const TMapPoint& b = points[(i + 1) % points.size()];
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y;
    const double cross = (bx - ax) * (py - ay) - (px - ax) * (by - ay);
    if (ay <= py) {
      if (by > py && cross > 0)
        ++winding;
    } else if (by <= py && cross < 0) {
      --winding;
    }
  }
  return winding != 0;
}

TSceneRect TMapArea::Bounds() const {
  if (!IsPolygon()) {
    if (right < left || bottom < top)
      return {};
    return {left, top, Saturate(int64_t{right} + 1), Saturate(int64_t{bottom} + 1)};
  }
  if (points.empty())
    return {};
  TSceneRect r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const TMapPoint& p : points) {
    r.Left = std::min(r.Left, p.x);
    r.Top = std::min(r.Top, p.y);
    r.Right = std::max(r.Right, p.x);
    r.Bottom = std::max(r.Bottom, p.y);
  }
  return r;
}

std::vector<TMapArea> ReadMapFile(std::span<const uint8_t> bytes, const std::string& file) {
  BinaryReader r(bytes, file);
  const int32_t count = r.I32();
  r.CheckCount(count, kMinAreaBytes, "area count");
  std::vector<TMapArea> areas;
  areas.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    TMapArea a;
    a.name = r.String();
    a.kind = r.U8();
    if (!a.IsPolygon()) {
      a.left = r.I32();
      a.top = r.I32();
      a.right = r.I32();
      a.bottom = r.I32();
    } else {
      const int32_t n = r.I32();
      r.CheckCount(n, kPointBytes, "polygon point count");
      a.points.resize(static_cast<size_t>(n));
      for (TMapPoint& p : a.points) {
        p.x = r.I32();
        p.y = r.I32();
      }
    }
    areas.push_back(std::move(a));
  }
  return areas;
}

std::vector<uint8_t> WriteMapFile(const std::vector<TMapArea>& areas) {
  BinaryWriter w;
  w.I32(static_cast<int32_t>(areas.size()));
  for (const TMapArea& a : areas) {
    w.String(a.name);
    w.U8(a.kind);
    if (!a.IsPolygon()) {
      for (int32_t v : {a.left, a.top, a.right, a.bottom})
        w.I32(v);
    } else {
      w.I32(static_cast<int32_t>(a.points.size()));
      for (const TMapPoint& p : a.points) {
        w.I32(p.x);
        w.I32(p.y);
      }
    }
  }
  return w.Take();
}

} // namespace nova
