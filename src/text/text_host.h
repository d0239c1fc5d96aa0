// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "text/text_surfaces.h"

namespace nova {

// How a glyph list evaluates its embedded expressions (VAR, HISTCHAR). The expression layer
// implements it; without one, variables expand to nothing.
class TextExpressionHost {
public:
  virtual ~TextExpressionHost() = default;
  // Compiles and runs `source` (already trimmed, not empty); false on any error.
  virtual bool EvaluateText(const std::string& source, std::string& value) = 0;
  // Runs an operation list in its serialised form, as old glyph-list streams store it; false
  // when it fails or yields no value.
  virtual bool ExecuteCompiled(std::span<const uint8_t> operations, std::string& value) = 0;
};

// Inline images of a text (IMG tags): measured and painted by their owner, who loads them
// through the virtual files. Without one, images are 0 x 0 and draw nothing.
class TextImageHost {
public:
  virtual ~TextImageHost() = default;
  // Size of the image's first frame; false when the file does not exist.
  virtual bool Measure(const std::string& file_name, int& width, int& height) = 0;
  // Paints the current frame at a screen position with an opacity (0..511, as surfaces take it).
  virtual void Paint(const std::string& file_name, int x, int y, int opacity) = 0;
  // Display times in milliseconds of the image's frames, read when the text is laid out. An
  // image of more than one frame animates while its page shows it; by default images are still.
  virtual std::vector<int> FrameTimes(const std::string& file_name) { return {}; }
  // Paints frame `frame` (0-based) of an animated image; by default as Paint does.
  virtual void PaintFrame(const std::string& file_name, int frame, int x, int y, int opacity) {
    Paint(file_name, x, y, opacity);
  }
};

// Where a page paints: the owner's destination surface, behind the operations the work
// surfaces need.
class TextPaintTarget {
public:
  virtual ~TextPaintTarget() = default;
  // Draws `colorref` through the coverage in `src` at (x, y) with alpha 0..255.
  virtual void DrawColorMask(int x, int y, const CoverageSurface& mask, const TextRect& src,
                             uint32_t colorref, int alpha) = 0;
  // Draws the colour surface through the coverage in `src` at (x, y) with alpha 0..255.
  virtual void DrawMask(int x, int y, const TextColorSurface& color, const CoverageSurface& mask,
                        const TextRect& src, int alpha) = 0;
};

} // namespace nova
