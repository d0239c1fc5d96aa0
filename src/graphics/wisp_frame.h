// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/wisp_bitmap.h"

namespace nova {

class TCustomDIBX;

// Ordered dithering when a truecolour frame is copied onto a 15- or 16-bit surface.
enum class WispDither { kOff, kOn };

// One layer of a frame as read from a file; layers live only while their file is being read.
struct TWispLayer {
  std::string name;
  TWispPicture picture;
  bool visible = true;
  int32_t transparent = -1; // raw pixel value, -1 none
  int32_t opacity = 255;
  bool mask_over_key = false; // with an alpha plane, the transparent value is ignored
};

// One frame (animation cell): the composite picture of its layers, its key and regions.
class TWispFrame {
public:
  std::string name;
  int32_t transparent = -1; // raw value in the picture's format, -1 none
  int32_t key_color = -1;   // 0x00BBGGRR derived from `transparent`, -1 none
  int32_t display_time = 100;
  uint8_t kept = 0; // carried from file to file, never interpreted
  TWispPicture picture;
  std::vector<TRect> visible_regions;
  std::vector<TRect> opaque_regions;
  std::vector<TWispLayer> layers;

  int32_t Width() const { return picture.color.width(); }
  int32_t Height() const { return picture.color.height(); }
  int32_t BitCount() const { return picture.color.bit_count(); }
  bool HasAlpha() const { return picture.has_alpha; }
  // Raises when index is out of range.
  TWispLayer& Layer(int index);

  // Sets the transparent value and the key colour derived from it.
  void SetTransparent(int32_t raw);
  // Gives a frame without alpha an opaque alpha plane, with 0 where a pixel equals the key.
  void MakeMask();
  // Crops to the content; returns its top-left as the drawing offset ((0, 0) when unchanged).
  WispPoint Trim();
  // Sizes `surface` to the frame at the surface's own bit count and converts the picture into
  // it (24 and 32 bits into 32 bits by direct loops, keeping the low 24 bits). Dithering never
  // touches frames that have a key but no alpha, so their key stays exact.
  void CopyTo(TCustomDIBX& surface, WispDither dither = WispDither::kOff) const;
  // Sizes `mask` to the frame at 8 bits and copies the alpha plane (255 throughout without one).
  void CopyAlphaTo(TCustomDIBX& mask) const;

private:
  bool ContentRect(TRect& rect) const;
};

} // namespace nova
