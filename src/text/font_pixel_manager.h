// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/font_list.h"
#include "platform/glyph_rasterizer.h"
#include "text/font_pixel.h"
#include "text/pixel_font_manager.h"
#include "text/text_surfaces.h"

namespace nova {

class TGlyphOutline;

// Advance parts of a glyph, for measuring without drawing.
struct GlyphAdvance {
  int width = 0;
  int x_offset = 0;
  int extra_advance = 0;
  int Total() const { return width + x_offset + extra_advance; }
};

// Where and how Compose draws one glyph.
struct ComposeArgs {
  bool solid = false;        // the glyph owns its box: fill instead of blending
  uint32_t shadow_pixel = 0; // native pixels of the colour surface
  uint32_t border_pixel = 0;
  uint32_t text_pixel = 0;
  bool run_end = true;   // no outlined neighbour to the right
  bool run_start = true; // no outlined neighbour to the left
  int shadow = 0;
  int border = 0;
  TextRect box; // the character's cell from layout
};

// The process-wide glyph cache: 256 buckets by the code's low byte over at most 256 glyphs, the
// least recently used evicted first. Main thread only. Installed faces come from the platform's
// font list, packed faces from the packed-font manager.
class TFontPixelManager {
public:
  static constexpr size_t kCapacity = 256;

  TFontPixelManager(std::vector<InstalledFace> faces, std::unique_ptr<GlyphRasterizer> rasterizer,
                    TPixelFontManager* packed);
  ~TFontPixelManager();
  TFontPixelManager(const TFontPixelManager&) = delete;
  TFontPixelManager& operator=(const TFontPixelManager&) = delete;

  int level() const { return level_; }
  // Callers set the level before each request; a failed anti-aliased rasterisation drops it to 0.
  void SetLevel(int level) { level_ = level < 0 ? 0 : level > 3 ? 3 : level; }

  // The glyph at the current level. Throws "標準フォントがインストールされていません" when neither
  // the face nor the standard face is available. The reference stays valid until the next call.
  const TFontPixel& GetGlyph(uint16_t code, const std::string& font_name, uint8_t style, int size);
  GlyphAdvance Metrics(uint16_t code, const std::string& font_name, uint8_t style, int size);
  // ABC widths in the face, style and size (the standard face when the face is unknown).
  AbcWidths Abc(uint16_t code, const std::string& font_name, uint8_t style, int size);

  const InstalledFace* FindInstalledFont(const std::string& name) const;
  uint8_t CharsetOfFont(const std::string& name) const;
  // Appends installed names (fixed pitch only on request), then listed packed faces not yet in.
  void FontList(std::vector<std::string>& out, bool fixed_only) const;
  // The font list as `@Fonts` / `@FixedFonts` read it: names joined by CR LF.
  std::string FontNamesText(bool fixed_only) const;
  // Drops every installed face except the four standard Japanese ones.
  void KeepStandardFontsOnly();
  TPixelFontManager* packed() const { return packed_; }

  // Draws a glyph with its shadow, outline and bars into the work surfaces; returns the
  // rectangle touched (empty for an empty glyph). A glyph of this cache keeps its outline for
  // the next time.
  TextRect Compose(const TFontPixel& glyph, TextColorSurface& color, CoverageSurface& coverage,
                   const ComposeArgs& args);

  size_t CachedCount() const { return count_; }
  // Rasterisations since creation (tests and benchmarks see hits and misses by it).
  uint64_t MissCount() const { return misses_; }

private:
  // What a lookup compares, apart from the pixels: kept together and small, so that a hit
  // walks a few kilobytes.
  struct Slot {
    uint64_t key = 0;         // code, style, level and size
    uint32_t name = 0;        // index into names_
    int16_t bucket_next = -1; // slot index, -1 for none
  };
  static constexpr uint32_t kNoName = UINT32_MAX;

  int Insert(uint16_t code, const std::string& name, uint8_t style, int size);
  uint32_t FindName(const std::string& name);
  uint32_t AcquireName(const std::string& name);
  void Fill(TFontPixel& g, const InstalledFace* face, const TPixelFontSection* section);
  bool FillPacked(TFontPixel& g, const TPixelFontSection& section);
  void FillInstalled(TFontPixel& g, const InstalledFace& face);
  bool SelectFace(const InstalledFace& face, int size, uint8_t style);
  const InstalledFace& FaceOrStandard(const std::string& name) const;

  std::unordered_map<std::string, InstalledFace> installed_;
  std::unique_ptr<GlyphRasterizer> rasterizer_;
  RasterGlyph raster_;
  std::array<std::array<uint8_t, 256>, 4> coverage_{}; // rasteriser value → coverage, per level
  TPixelFontManager* packed_;
  int level_ = 3;
  std::array<Slot, kCapacity> slots_{};
  std::vector<TFontPixel> glyphs_; // kCapacity of them, never moved
  // Beside each glyph, its outline once one was drawn (null until then).
  std::vector<std::unique_ptr<TGlyphOutline>> outlines_;
  TGlyphOutline* OutlineOf(const TFontPixel& g, int border);
  std::array<int16_t, 256> buckets_;
  // The most-recently-used order as use stamps: a hit only stores the next stamp, and the
  // least recently used glyph is the one with the smallest.
  std::array<uint64_t, kCapacity> used_{};
  uint64_t clock_ = 0;
  // Face names of cached glyphs with their use counts; unused ones are reused.
  std::vector<std::string> names_;
  std::vector<uint32_t> name_uses_;
  uint32_t last_name_ = kNoName;
  size_t count_ = 0;
  uint64_t misses_ = 0;
  const InstalledFace* selected_face_ = nullptr;
  int selected_size_ = 0;
  uint8_t selected_style_ = 0;
  bool selected_ok_ = false;
};

// The one glyph cache of the process and its packed fonts, created on first use from the
// machine's faces (with the built-in and user substitutes) and the FreeType rasteriser.
TFontPixelManager& FontPixels();
TPixelFontManager& PixelFonts();
// Frees both (tests, and shutdown).
void ResetFontPixels();

} // namespace nova
