// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "text/text_host.h"

namespace nova {

// A plain 32-bit picture that pages paint onto, for tools and tests that look at text without
// a screen: pixels 0x00RRGGBB, opaque.
class TextCanvas final : public TextPaintTarget {
 public:
  TextCanvas(int width, int height, uint32_t background_colorref);
  int width() const { return width_; }
  int height() const { return height_; }
  // Pixel as 0x00BBGGRR.
  uint32_t ColorAt(int x, int y) const;

  void DrawColorMask(int x, int y, const CoverageSurface& mask, const TextRect& src,
                     uint32_t colorref, int alpha) override;
  void DrawMask(int x, int y, const TextColorSurface& color, const CoverageSurface& mask,
                const TextRect& src, int alpha) override;

  // Writes an 8-bit RGB PNG; throws ENovaError naming the path on failure.
  void SavePng(const std::string& path) const;

 private:
  void Blend(int x, int y, uint32_t colorref, int weight);
  int width_, height_;
  std::vector<uint32_t> pixels_;  // 0x00BBGGRR
};

}  // namespace nova
