// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "text/text_host.h"
#include "text/text_surfaces.h"

namespace nova {

class TFontPixelManager;

// One caption line with its own pair of surfaces.
struct TZpLabelDIB {
  std::string text; // Shift-JIS
  bool dirty = true;
  std::vector<int> advances; // per character
  int width = 0;
  int height = 0;
  TextColorSurface color;
  CoverageSurface coverage;
  int rendered_bpp = 0;
};

// Single-line labels of buttons and list boxes, drawn through the glyph cache.
class TZpLabelList {
public:
  int32_t level = 3;
  int32_t border = 0;
  int32_t alpha = 255;
  int32_t size = 12;
  std::string face; // "ＭＳ Ｐゴシック" unless set
  int32_t color = 0xFFFFFF;
  int32_t border_color = 0;
  uint8_t style = 0;
  int32_t shadow = 0;
  int32_t shadow_color = 0;
  TFontPixelManager* font_pixels = nullptr; // default: the process-wide cache

  TZpLabelList();
  void SetLines(const std::vector<std::string>& lines);
  size_t Count() const { return labels_.size(); }
  TZpLabelDIB& At(size_t i) { return *labels_[i]; }
  // Measures every line; the list's width is the widest line.
  void Measure();
  int Width() const { return width_; }
  // Renders the lines that are dirty or were rendered at another depth.
  void Render(int screen_bpp = 32);
  void Paint(size_t line, TextPaintTarget& target, int x, int y);
  void Save(BinaryWriter& w) const;
  void Load(BinaryReader& r, int owner_version);

private:
  TFontPixelManager& Fonts() const;
  std::vector<std::unique_ptr<TZpLabelDIB>> labels_;
  int width_ = 0;
};

} // namespace nova
