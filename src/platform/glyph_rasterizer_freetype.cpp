// SPDX-License-Identifier: MIT
// The FreeType glyph rasteriser: sizes by cell height and synthesises missing styles.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "platform/glyph_rasterizer.h"

namespace nova {
namespace {

int RoundDiv(long num, long den) {
  return static_cast<int>(std::lround(static_cast<double>(num) / static_cast<double>(den)));
}

class FreeTypeRasterizer final : public GlyphRasterizer {
public:
  FreeTypeRasterizer() {
    if (FT_Init_FreeType(&library_) != 0)
      library_ = nullptr;
  }
  ~FreeTypeRasterizer() override {
    for (auto& [key, face] : faces_)
      FT_Done_Face(face);
    if (library_)
      FT_Done_FreeType(library_);
  }

  bool Select(const std::string& file, int face_index, bool bold_face, int cell_height,
              FontWeight weight, FontSlant slant, double cell_ascent) override {
    face_ = nullptr;
    if (!library_ || cell_height <= 0 || cell_height > 4096)
      return false;
    FT_Face face = OpenFace(file, face_index);
    if (!face || !FT_IS_SCALABLE(face))
      return false;
    // A positive cell height covers ascent plus descent; the em is the part of it that the
    // face's Windows metrics (or, lacking them, its horizontal header) reserve for the design.
    long asc = face->ascender, desc = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      asc = os2->usWinAscent;
      desc = os2->usWinDescent;
    }
    if (cell_ascent > 0 && cell_ascent < 1) {
      asc = std::lround(cell_ascent * face->units_per_EM);
      desc = face->units_per_EM - asc;
    }
    if (asc + desc <= 0)
      return false;
    int ppem =
        std::max(1, RoundDiv(static_cast<long>(cell_height) * face->units_per_EM, asc + desc));
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0)
      return false;
    face_ = face;
    ppem_ = ppem;
    embolden_ =
        weight == FontWeight::kBold && !bold_face && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    oblique_ = slant == FontSlant::kItalic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    metrics_ = {};
    metrics_.ascent = RoundDiv(asc * cell_height, asc + desc);
    metrics_.descent = cell_height - metrics_.ascent;
    const long upem = face->units_per_EM;
    metrics_.underline_size = std::max(1, RoundDiv(face->underline_thickness * ppem, upem));
    metrics_.underline_position = RoundDiv(face->underline_position * ppem, upem);
    metrics_.strike_size = metrics_.underline_size;
    metrics_.strike_position = metrics_.ascent * 2 / 5;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF) {
      if (os2->yStrikeoutSize > 0)
        metrics_.strike_size = std::max(1, RoundDiv(os2->yStrikeoutSize * ppem, upem));
      if (os2->yStrikeoutPosition > 0)
        metrics_.strike_position = RoundDiv(os2->yStrikeoutPosition * ppem, upem);
      metrics_.average_width = RoundDiv(os2->xAvgCharWidth * ppem, upem);
    }
    return true;
  }

  const RasterFontMetrics& Metrics() const override { return metrics_; }

  bool Render(uint32_t unicode, int level, RasterGlyph& out) override {
    // The caller's pixel buffer keeps its capacity: misses need no allocation once warm.
    out.width = out.height = out.origin_x = out.origin_y = out.advance = 0;
    out.pixels.clear();
    if (!LoadOutline(unicode, level == 0 ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL))
      return false;
    FT_GlyphSlot slot = face_->glyph;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points == 0)
      return true;
    if (FT_Render_Glyph(slot, level == 0 ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
      return false;
    const FT_Bitmap& bm = slot->bitmap;
    out.width = static_cast<int>(bm.width);
    out.height = static_cast<int>(bm.rows);
    out.origin_x = slot->bitmap_left;
    out.origin_y = slot->bitmap_top;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    const int maximum = LevelMaximum(level);
    for (int y = 0; y < out.height; ++y) {
      const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
      uint8_t* dst = out.pixels.data() + static_cast<size_t>(y) * out.width;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        for (int x = 0; x < out.width; ++x)
          dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
      } else {
        // (v × maximum + 127) / 255, with the division as shifts (exact below 65535) so that
        // the loop runs on vectors.
        const uint32_t m = static_cast<uint32_t>(maximum);
        for (int x = 0; x < out.width; ++x) {
          const uint32_t t = src[x] * m + 127u;
          dst[x] = static_cast<uint8_t>((t + 1 + (t >> 8)) >> 8);
        }
      }
    }
    return true;
  }

  int Advance(uint32_t unicode) override {
    if (!LoadOutline(unicode, FT_LOAD_TARGET_NORMAL))
      return 0;
    return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
  }

  AbcWidths Abc(uint32_t unicode) override {
    if (!LoadOutline(unicode, FT_LOAD_TARGET_NORMAL))
      return {};
    const FT_Glyph_Metrics& m = face_->glyph->metrics;
    AbcWidths abc;
    abc.a = static_cast<int>(std::floor(m.horiBearingX / 64.0));
    abc.b = static_cast<int>(std::ceil((m.horiBearingX + m.width) / 64.0)) - abc.a;
    abc.c = static_cast<int>((face_->glyph->advance.x + 32) >> 6) - abc.a - abc.b;
    return abc;
  }

private:
  FT_Face OpenFace(const std::string& file, int index) {
    auto key = std::make_pair(file, index);
    if (auto it = faces_.find(key); it != faces_.end())
      return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, file.c_str(), index, &face) != 0)
      return nullptr;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    faces_[key] = face;
    return face;
  }

  bool LoadOutline(uint32_t unicode, FT_Int32 target) {
    if (!face_)
      return false;
    FT_UInt index = FT_Get_Char_Index(face_, unicode);
    if (index == 0 && unicode != 0x20)
      return false;
    if (FT_Load_Glyph(face_, index, FT_LOAD_NO_BITMAP | target) != 0)
      return false;
    if (embolden_)
      FT_GlyphSlot_Embolden(face_->glyph);
    if (oblique_)
      FT_GlyphSlot_Oblique(face_->glyph);
    return true;
  }

  FT_Library library_ = nullptr;
  std::map<std::pair<std::string, int>, FT_Face> faces_;
  FT_Face face_ = nullptr;
  int ppem_ = 0;
  bool embolden_ = false;
  bool oblique_ = false;
  RasterFontMetrics metrics_;
};

} // namespace

std::unique_ptr<GlyphRasterizer> CreateFreeTypeRasterizer() {
  return std::make_unique<FreeTypeRasterizer>();
}

} // namespace nova
