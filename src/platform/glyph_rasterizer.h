// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nova {

// Font-wide metrics of the selected face and size, in pixels.
struct RasterFontMetrics {
  int ascent = 0;  // baseline below the cell top
  int descent = 0; // cell height = ascent + descent
  int average_width = 0;
  int underline_size = 0;
  int underline_position = 0; // above the baseline (negative: below)
  int strike_size = 0;
  int strike_position = 0; // above the baseline
};

// One rasterised glyph. `pixels` is width x height bytes, top row first, no padding; each byte
// is a coverage level 0..LevelMaximum(level).
struct RasterGlyph {
  int width = 0;
  int height = 0;
  int origin_x = 0; // black box left, relative to the pen position
  int origin_y = 0; // black box top, above the baseline
  int advance = 0;  // cell advance in pixels
  std::vector<uint8_t> pixels;
};

// Horizontal extents of one character: A (left bearing), B (black box), C (right bearing).
struct AbcWidths {
  int a = 0;
  int b = 0;
  int c = 0;
};

// Coverage quantisation of the four anti-aliasing levels: level 0 is one bit (0 or 1), levels
// 1, 2, 3 give 0..4, 0..16 and 0..64.
constexpr int LevelMaximum(int level) {
  return level <= 0 ? 1 : level == 1 ? 4 : level == 2 ? 16 : 64;
}

enum class FontWeight { kRegular, kBold };
enum class FontSlant { kUpright, kItalic };

// Turns characters of one selected face into coverage bitmaps. One instance per user; not
// thread-safe. Sizes are cell heights (ascent + descent), as a positive LOGFONT height asks.
class GlyphRasterizer {
public:
  virtual ~GlyphRasterizer() = default;
  // Selects face, cell height and style; bold and italic come from the file when it has them
  // and are synthesised otherwise. `cell_ascent` above 0 makes the em fill the cell with that
  // part of it above the baseline; 0 sizes by the face's own ascent and descent. False when the
  // file cannot be opened or sized.
  virtual bool Select(const std::string& file, int face_index, bool bold_face, int cell_height,
                      FontWeight weight, FontSlant slant, double cell_ascent = 0) = 0;
  virtual const RasterFontMetrics& Metrics() const = 0;
  // Rasterises a Unicode character at `level` (0..3). False when the face cannot render it.
  virtual bool Render(uint32_t unicode, int level, RasterGlyph& out) = 0;
  // Advance of a character without rasterising; 0 when the face lacks it.
  virtual int Advance(uint32_t unicode) = 0;
  virtual AbcWidths Abc(uint32_t unicode) = 0;
};

// The FreeType rasteriser.
std::unique_ptr<GlyphRasterizer> CreateFreeTypeRasterizer();

} // namespace nova
