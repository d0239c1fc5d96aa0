// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>
#include <cstdint>

namespace nova {

// A native pixel: the value as stored in a surface (palette index, 5-5-5, 5-6-5 or 8-8-8 bits).
using TPixel = uint32_t;

// A rectangle in surface pixels; Right and Bottom are exclusive.
struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;

  // Saturated, so that any rectangle (even one spanning the whole integer range) has a size.
  constexpr int32_t Width() const { return Saturate(int64_t{Right} - Left); }
  constexpr int32_t Height() const { return Saturate(int64_t{Bottom} - Top); }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool operator==(const TRect&) const = default;

private:
  static constexpr int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  }
};

// Intersection; empty (all zero) when the rectangles do not overlap. Computed in 64 bits so
// that rectangles near the integer limits cannot overflow.
TRect Intersect(const TRect& a, const TRect& b);
// Smallest rectangle holding both; an empty operand is ignored.
TRect Union(const TRect& a, const TRect& b);

// Mirroring of a source while drawing.
enum TFlip : uint8_t { FlipNone = 0, FlipH = 1, FlipV = 2, FlipHV = 3 };
constexpr bool HasFlipH(TFlip f) { return (f & FlipH) != 0; }
constexpr bool HasFlipV(TFlip f) { return (f & FlipV) != 0; }
constexpr TFlip MakeFlip(bool flipV, bool flipH) {
  return static_cast<TFlip>((flipH ? FlipH : 0) | (flipV ? FlipV : 0));
}

// Whether pixels equal to the source's transparent colour are skipped.
enum class TKeyMode : uint8_t { Ignore, Use };

// One palette entry of a 1-, 2-, 4- or 8-bit surface, in memory order.
struct TPaletteEntry {
  uint8_t Blue = 0, Green = 0, Red = 0, Reserved = 0;
  constexpr bool operator==(const TPaletteEntry&) const = default;
};

} // namespace nova
