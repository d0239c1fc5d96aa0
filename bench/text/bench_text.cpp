// SPDX-License-Identifier: MIT
// The text stack: glyph cache hits and misses (against FreeType alone), drawing a cached glyph
// (plain, and outlined against an outline dilated afresh), composing a page of prose the same
// ways, laying out 10,000 characters, one reveal tick of a full page.
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "base/sjis.h"
#include "text/font_pixel_manager.h"
#include "text/private/sjis_unicode.h"
#include "text/zpword.h"

namespace nova {
namespace {

// 300 kanji codes: more than the cache holds, so cycling through them always misses.
std::vector<uint16_t> Kanji(size_t n) {
  std::vector<uint16_t> codes;
  for (uint16_t lead = 0x88; codes.size() < n; ++lead)
    for (uint16_t trail = 0x9F; trail <= 0xFC && codes.size() < n; ++trail)
      codes.push_back(lead * 256 + trail);
  return codes;
}

const std::string& Gothic() {
  static const std::string name = Utf8ToSjis("ＭＳ ゴシック");
  return name;
}

void BM_GlyphCacheHit(benchmark::State& state) {
  TFontPixelManager& fonts = FontPixels();
  fonts.SetLevel(3);
  const std::vector<uint16_t> codes = Kanji(64);
  for (uint16_t c : codes)
    fonts.GetGlyph(c, Gothic(), 0, 24);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&fonts.GetGlyph(codes[i], Gothic(), 0, 24));
    i = (i + 1) & 63;
  }
}
BENCHMARK(BM_GlyphCacheHit);

void BM_GlyphCacheMiss(benchmark::State& state) {
  TFontPixelManager& fonts = FontPixels();
  fonts.SetLevel(3);
  const std::vector<uint16_t> codes = Kanji(300);
  size_t i = 0;
  const uint64_t misses = fonts.MissCount();
  for (auto _ : state) {
    benchmark::DoNotOptimize(&fonts.GetGlyph(codes[i], Gothic(), 0, 24));
    if (++i == codes.size())
      i = 0;
  }
  state.counters["miss_ratio"] =
      static_cast<double>(fonts.MissCount() - misses) / state.iterations();
}
BENCHMARK(BM_GlyphCacheMiss);

// The peer: FreeType loading and rendering the same glyphs, nothing else.
void BM_GlyphCacheMiss_vs_freetype(benchmark::State& state) {
  const InstalledFace* face_info = FontPixels().FindInstalledFont(Gothic());
  FT_Library lib;
  FT_Face face;
  if (!face_info || FT_Init_FreeType(&lib) || FT_New_Face(lib, face_info->file.c_str(), 0, &face)) {
    state.SkipWithError("IPAGothic not available");
    return;
  }
  FT_Set_Pixel_Sizes(face, 0, 24);
  std::vector<uint32_t> unicode;
  for (uint16_t c : Kanji(300))
    unicode.push_back(SjisCodeToUnicode(c));
  size_t i = 0;
  for (auto _ : state) {
    FT_Load_Glyph(face, FT_Get_Char_Index(face, unicode[i]), FT_LOAD_NO_BITMAP);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
    if (++i == unicode.size())
      i = 0;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
}
BENCHMARK(BM_GlyphCacheMiss_vs_freetype);

// `copied`: a copy of the cached glyph, which keeps no outline, so every outline is dilated
// afresh (the peer of the outlined case).
void DrawCached(benchmark::State& state, int border, int shadow, bool copied = false) {
  TFontPixelManager& fonts = FontPixels();
  fonts.SetLevel(3);
  const TFontPixel& cached = fonts.GetGlyph(0x8ABF, Gothic(), 0, 24);
  const TFontPixel copy = cached;
  const TFontPixel& g = copied ? copy : cached;
  TextColorSurface color(800, 200, 32);
  CoverageSurface coverage(800, 200);
  ComposeArgs a;
  a.text_pixel = 0xFFFFFF;
  a.border = border;
  a.shadow = shadow;
  int x = 0;
  for (auto _ : state) {
    a.box = {x, 40, x + 24 + 2 * border + shadow, 64 + 2 * border + shadow};
    benchmark::DoNotOptimize(fonts.Compose(g, color, coverage, a));
    x = (x + 24) % 720;
  }
  state.counters["glyph_pixels"] = g.width * g.height;
}
void BM_DrawCachedGlyph24(benchmark::State& state) { DrawCached(state, 0, 0); }

// One page of 245 characters of prose (24 pixels, 30 a line) composed on cleared surfaces, as a
// message box draws it: the glyphs are cached and repeat as prose does. `copied` as above.
void ComposePage(benchmark::State& state, int border, int shadow, bool copied = false) {
  TFontPixelManager& fonts = FontPixels();
  fonts.SetLevel(3);
  const std::string text = Utf8ToSjis(
      "丘の上の古い天文台には、もう誰も来なくなっていた。それでも私は毎晩そこへ登り、錆びた"
      "望遠鏡の覆いを外して、星の名前をひとつずつ数えた。祖母が教えてくれた名前もあれば、"
      "自分で付けた名前もある。冬の空は澄んでいて、遠くの町の灯りさえ星のように見えた。"
      "ある夜、見たことのない光が北の空を横切った。流れ星にしては遅く、飛行機にしては静か"
      "すぎる。私は息を止めて、その光が丘の向こうへ消えるまで目を離さなかった。翌朝、"
      "麓の村では誰もその話をしていなかったけれど、郵便受けには差出人のない手紙が一通、"
      "雨にも濡れずに入っていた。");
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < text.size() && codes.size() < 245; i += CharBytes(text, i))
    codes.push_back(static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << 8 |
                                          static_cast<uint8_t>(text[i + 1])));
  std::vector<TFontPixel> copies;
  for (uint16_t code : codes)
    copies.push_back(fonts.GetGlyph(code, Gothic(), 0, 24));
  TextColorSurface color(800, 320, 32);
  CoverageSurface coverage(800, 320);
  ComposeArgs a;
  a.text_pixel = 0xFFFFFF;
  a.border_pixel = 0x203040;
  a.shadow_pixel = 0x101010;
  a.border = border;
  a.shadow = shadow;
  for (auto _ : state) {
    state.PauseTiming();
    color.Clear();
    coverage.Clear();
    state.ResumeTiming();
    for (size_t i = 0; i < codes.size(); ++i) {
      const TFontPixel& g = copied ? copies[i] : fonts.GetGlyph(codes[i], Gothic(), 0, 24);
      const int x = static_cast<int>(i % 30) * 24, y = static_cast<int>(i / 30) * 32;
      a.box = {x, y, x + 24 + 2 * border + shadow, y + 24 + 2 * border + shadow};
      benchmark::DoNotOptimize(fonts.Compose(g, color, coverage, a));
    }
  }
  state.counters["glyphs"] = static_cast<double>(codes.size());
}
void BM_ComposePage245(benchmark::State& state) { ComposePage(state, 0, 0); }
void BM_ComposePage245_Border2Shadow2(benchmark::State& state) { ComposePage(state, 2, 2); }
void BM_ComposePage245_Border2Shadow2_vs_fresh_outline(benchmark::State& state) {
  ComposePage(state, 2, 2, true);
}
BENCHMARK(BM_ComposePage245)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComposePage245_Border2Shadow2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComposePage245_Border2Shadow2_vs_fresh_outline)->Unit(benchmark::kMicrosecond);
void BM_DrawCachedGlyph24_Border2Shadow2(benchmark::State& state) { DrawCached(state, 2, 2); }
void BM_DrawCachedGlyph24_Border2Shadow2_vs_fresh_outline(benchmark::State& state) {
  DrawCached(state, 2, 2, true);
}
BENCHMARK(BM_DrawCachedGlyph24);
BENCHMARK(BM_DrawCachedGlyph24_Border2Shadow2);
BENCHMARK(BM_DrawCachedGlyph24_Border2Shadow2_vs_fresh_outline);

std::string MixedText(size_t chars) {
  const std::string jp =
      Utf8ToSjis("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。");
  const std::string en = "It was a bright cold day in April, and the clocks were striking. ";
  std::string out;
  size_t n = 0;
  while (n < chars) {
    const std::string& part = (n / 40) % 2 ? en : jp;
    for (size_t i = 0; i < part.size() && n < chars; i += CharBytes(part, i), ++n)
      out.append(part, i, CharBytes(part, i));
  }
  return out;
}

void BM_Layout10000Chars40Columns(benchmark::State& state) {
  TZpWord word;
  word.settings.default_size = 24;
  word.settings.wrap_width = 40 * 24;
  word.settings.page_height = 200;
  word.Parse({MixedText(10000)});
  for (auto _ : state) {
    word.settings.wrap_width = 40 * 24;
    PageList pages;
    word.Layout(pages);
    benchmark::DoNotOptimize(pages.data());
  }
  state.counters["chars_per_ms"] =
      benchmark::Counter(10000.0 * state.iterations() / 1000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Layout10000Chars40Columns)->Unit(benchmark::kMicrosecond);

// A page of 800 x 200 at 24 pixels, ready to reveal.
struct FullPage {
  TZpWord word;
  PageList pages;
  FullPage() {
    word.settings.default_size = 24;
    word.settings.wrap_width = 800;
    word.settings.page_height = 200;
    word.settings.speed = 0;
    word.Parse({MixedText(400)});
    word.Layout(pages);
    word.Render(*pages[0]);
  }
};

// The tick that reveals every glyph of the page at once (speed 0).
void BM_RevealTickFullPage800x200(benchmark::State& state) {
  FullPage f;
  TWdPage& page = *f.pages[0];
  size_t glyphs = 0;
  for (auto& row : page.rows)
    glyphs += row->glyphs.size();
  for (auto _ : state) {
    state.PauseTiming();
    f.word.ResetReveal(page);
    f.word.RevealTick(page, 16); // the tick skipped after a reset
    state.ResumeTiming();
    f.word.RevealTick(page, 16);
  }
  state.counters["glyphs"] = static_cast<double>(glyphs);
}
BENCHMARK(BM_RevealTickFullPage800x200)->Unit(benchmark::kMicrosecond);

// The following tick, which fades every glyph in and collects their dirty rectangles.
void BM_FadeTickFullPage800x200(benchmark::State& state) {
  FullPage f;
  TWdPage& page = *f.pages[0];
  for (auto _ : state) {
    state.PauseTiming();
    f.word.ResetReveal(page);
    f.word.RevealTick(page, 16);
    f.word.RevealTick(page, 16);
    state.ResumeTiming();
    f.word.RevealTick(page, 16);
  }
}
BENCHMARK(BM_FadeTickFullPage800x200)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace nova

BENCHMARK_MAIN();
