// SPDX-License-Identifier: MIT
#include "platform/private/ui_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace nova {

namespace {

// Decodes one UTF-8 character at `i`, advancing it; U+FFFD for bad bytes.
char32_t NextChar(const std::string& s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
  if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k)
    cp = cp << 6 | (b(i + k) & 0x3F);
  i += extra + 1;
  return cp;
}

} // namespace

std::string FindUiFontFile() {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config)
    return {};
  std::string file;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=ja"));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
    FcChar8* path = nullptr;
    FcLangSet* langs = nullptr;
    // A font without Japanese would draw boxes; better to draw nothing.
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
        FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
        FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang)
      file = reinterpret_cast<const char*>(path);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  return file;
}

TCoverageBitmap RenderUiText(const std::string& utf8, int pixel_height) {
  TCoverageBitmap out;
  const std::string file = FindUiFontFile();
  FT_Library library;
  if (file.empty() || FT_Init_FreeType(&library) != 0)
    return out;
  FT_Face face;
  if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
    FT_Set_Pixel_Sizes(face, 0, pixel_height);
    const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    const int height =
        static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
    // First pass measures, second draws.
    for (int pass = 0; pass < 2; ++pass) {
      int pen = 0;
      for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = NextChar(utf8, i);
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0)
          continue;
        const FT_GlyphSlot g = face->glyph;
        if (pass == 1) {
          for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            const int y = ascent - g->bitmap_top + static_cast<int>(row);
            if (y < 0 || y >= out.height)
              continue;
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
              const int x = pen + g->bitmap_left + static_cast<int>(col);
              if (x < 0 || x >= out.width)
                continue;
              uint8_t& dst = out.coverage[static_cast<size_t>(y) * out.width + x];
              dst = std::max(dst, g->bitmap.buffer[row * g->bitmap.pitch + col]);
            }
          }
        }
        pen += static_cast<int>(g->advance.x >> 6);
      }
      if (pass == 0) {
        out.width = pen;
        out.height = height;
        out.coverage.assign(static_cast<size_t>(pen) * height, 0);
      }
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return out;
}

} // namespace nova
