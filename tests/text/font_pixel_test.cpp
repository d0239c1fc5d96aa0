// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>

#include "base/nova_error.h"
#include "text/coverage_tables.h"
#include "text/font_pixel_manager.h"
#include "text_test_util.h"

namespace nova {
namespace {

using test::S;

class FontPixels_ : public ::testing::Test {
protected:
  void SetUp() override { ResetFontPixels(); }
  void TearDown() override { ResetFontPixels(); }
  TFontPixelManager& fonts() { return FontPixels(); }
};

TEST(CoverageTables, Levels) {
  auto l3 = CoverageTable(3);
  EXPECT_EQ(l3.size(), 65u);
  EXPECT_EQ(l3[64], 255);
  EXPECT_EQ(l3[8], 55);
  EXPECT_EQ(l3[7], 36);
  EXPECT_EQ(l3[1], 18);
  EXPECT_EQ(l3[23], 100);
  EXPECT_EQ(l3[24], 119);
  EXPECT_EQ(l3[39], 164);
  EXPECT_EQ(l3[40], 183);
  EXPECT_EQ(std::vector<uint8_t>(CoverageTable(1).begin(), CoverageTable(1).end()),
            (std::vector<uint8_t>{0, 79, 127, 207, 255}));
  auto l2 = CoverageTable(2);
  EXPECT_EQ(l2.size(), 17u);
  EXPECT_EQ(l2[7], 115);
  EXPECT_EQ(l2[8], 159);
  EXPECT_EQ(std::vector<uint8_t>(CoverageTable(0).begin(), CoverageTable(0).end()),
            (std::vector<uint8_t>{0, 255}));
}

TEST_F(FontPixels_, LevelsUseTheirTables) {
  for (int level = 0; level <= 3; ++level) {
    fonts().SetLevel(level);
    const TFontPixel& g = fonts().GetGlyph(0x8AbF /* 漢 */, S("ＭＳ ゴシック"), 0, 24);
    ASSERT_FALSE(g.Empty()) << level;
    auto table = CoverageTable(level);
    for (uint8_t v : g.bitmap)
      EXPECT_TRUE(std::find(table.begin(), table.end(), v) != table.end())
          << level << " " << int(v);
    EXPECT_EQ(*std::max_element(g.bitmap.begin(), g.bitmap.end()), 255) << level;
    EXPECT_LE(g.y_offset + g.height, 24);
  }
}

TEST_F(FontPixels_, MostRecentlyUsedEviction) {
  const std::string face = S("ＭＳ ゴシック");
  for (uint16_t c = 0; c < 256; ++c)
    fonts().GetGlyph(0x8140 + c % 188 + (c / 188) * 256, face, 0, 12);
  EXPECT_EQ(fonts().CachedCount(), 256u);
  const uint64_t misses = fonts().MissCount();
  fonts().GetGlyph(0x8140, face, 0, 12); // the oldest becomes the newest: a hit
  EXPECT_EQ(fonts().MissCount(), misses);
  fonts().GetGlyph('A', face, 0, 12); // the 257th evicts the least recently used (0x8141)
  EXPECT_EQ(fonts().CachedCount(), 256u);
  fonts().GetGlyph(0x8140, face, 0, 12);
  EXPECT_EQ(fonts().MissCount(), misses + 1);
  fonts().GetGlyph(0x8141, face, 0, 12); // evicted: rasterised again
  EXPECT_EQ(fonts().MissCount(), misses + 2);
  // The same code in another style, size or level is another glyph.
  fonts().GetGlyph(0x8140, face, kStyleBold, 12);
  fonts().GetGlyph(0x8140, face, 0, 13);
  fonts().SetLevel(0);
  fonts().GetGlyph(0x8140, face, 0, 12);
  EXPECT_EQ(fonts().MissCount(), misses + 5);
}

TEST_F(FontPixels_, UnknownFaceRendersInTheStandardFace) {
  const TFontPixel a = fonts().GetGlyph(0x82A0, S("ＭＳ ゴシック"), 0, 20);
  const TFontPixel b = fonts().GetGlyph(0x82A0, "NoSuchFace", 0, 20);
  EXPECT_EQ(a.bitmap, b.bitmap);
  EXPECT_EQ(b.font_name, "NoSuchFace");
}

TEST_F(FontPixels_, SpaceIsBlankWithAnAdvance) {
  const TFontPixel& g = fonts().GetGlyph(' ', S("ＭＳ ゴシック"), 0, 24);
  EXPECT_TRUE(g.Empty());
  EXPECT_EQ(g.extra_advance, 12); // half of the cell of the fixed-pitch face
  EXPECT_EQ(fonts().Metrics(0x8140, S("ＭＳ ゴシック"), 0, 24).Total(), 24);
}

TEST_F(FontPixels_, UnderlineAndStrikeMetricsByStyle) {
  const TFontPixel& u = fonts().GetGlyph('a', S("ＭＳ 明朝"), kStyleUnderline, 24);
  EXPECT_GT(u.underline_size, 0);
  EXPECT_EQ(u.strike_size, 0);
  const TFontPixel& s = fonts().GetGlyph('a', S("ＭＳ 明朝"), kStyleStrike, 24);
  EXPECT_GT(s.strike_size, 0);
  EXPECT_GT(s.strike_position, 0);
  EXPECT_LT(s.strike_position, 24);
}

PackedFontContent SamplePacked(int size, uint8_t style) {
  PackedFontContent c;
  c.face_name = "Pix";
  c.size = size;
  c.style = style;
  c.metrics = {20, 2, 8, 1};
  PackedFontGlyph g;
  g.code = 'A';
  g.record = {3, 2, 1, 18, 6, 0, 0};
  g.coverage = {10, 20, 30, 40, 50, 60};
  c.glyphs.push_back(g);
  return c;
}

TEST_F(FontPixels_, PackedFontsByKey) {
  ASSERT_NE(PixelFonts().RegisterBytes("pix.nft", WritePackedFont(SamplePacked(24, 1))), nullptr);
  EXPECT_EQ(PixelFonts().RegisterBytes("pix.nft", WritePackedFont(SamplePacked(24, 1))), nullptr);
  EXPECT_EQ(PixelFonts().RegisterBytes("other.nft", WritePackedFont(SamplePacked(24, 1))), nullptr);
  for (uint8_t style : {uint8_t(kStyleBold), uint8_t(kStyleBold | kStyleUnderline)}) {
    const TFontPixel& g = fonts().GetGlyph('A', "Pix", style, 24);
    EXPECT_EQ(g.bitmap, (std::vector<uint8_t>{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(g.x_offset, 1);
    EXPECT_EQ(g.y_offset, 2);
    EXPECT_EQ(g.extra_advance, 2);
    EXPECT_EQ(g.underline_size, style & kStyleUnderline ? 1 : 0);
  }
  // Regular 24 is not packed: the standard face draws it.
  EXPECT_NE(fonts().GetGlyph('A', "Pix", 0, 24).bitmap.size(), 6u);
  std::vector<std::string> names;
  fonts().FontList(names, false);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Pix"), 1);
}

TEST_F(FontPixels_, DamagedPackedFontsAreRefused) {
  const std::vector<uint8_t> good = WritePackedFont(SamplePacked(24, 0));
  std::vector<std::vector<uint8_t>> bad;
  bad.emplace_back(good.begin(), good.begin() + 20); // truncated header
  bad.push_back(good);
  bad.back()[0] = 'X'; // signature
  bad.push_back(good);
  bad.back()[14 + 88] = 0xFF; // glyph count beyond the index
  bad.push_back(good);
  bad.back()[14 + 4 + 3] = 0x7F; // index larger than the file
  bad.push_back(good);
  bad.back()[14 + 308 + 2] ^= 0xFF; // index does not inflate
  // Metrics no font has: they would overflow the outline and strike-line arithmetic.
  for (const PackedFontMetrics m :
       {PackedFontMetrics{0x7FFFFFF0, 2, 8, 1}, PackedFontMetrics{20, INT32_MIN, 8, 1},
        PackedFontMetrics{20, 2, -0x40000000, 1}, PackedFontMetrics{20, 2, 8, 5000}}) {
    PackedFontContent c = SamplePacked(24, 0);
    c.metrics = m;
    bad.push_back(WritePackedFont(c));
  }
  bad.push_back(WritePackedFont(SamplePacked(1 << 30, 0))); // size
  for (size_t i = 0; i < bad.size(); ++i) {
    try {
      PixelFonts().RegisterBytes("bad.nft", bad[i]);
      ADD_FAILURE() << i;
    } catch (const ENovaError& e) {
      EXPECT_EQ(SjisToUtf8(e.what()), "bad.nft\r\nフォントファイルが破壊されています") << i;
    }
  }
  // A record pointing outside the glyph data draws nothing instead of reading past the file.
  PackedFontContent c = SamplePacked(30, 0);
  c.glyphs[0].record.height = 2;
  std::vector<uint8_t> bytes = WritePackedFont(c);
  bytes.resize(bytes.size() - 4);
  ASSERT_NE(PixelFonts().RegisterBytes("short.nft", bytes), nullptr);
  EXPECT_NE(fonts().GetGlyph('A', "Pix", 0, 30).bitmap.size(), 6u);
}

TEST_F(FontPixels_, StandardFontsOnly) {
  fonts().KeepStandardFontsOnly();
  std::vector<std::string> names;
  fonts().FontList(names, false);
  std::vector<std::string> expected = {S("ＭＳ Ｐゴシック"), S("ＭＳ Ｐ明朝"), S("ＭＳ ゴシック"),
                                       S("ＭＳ 明朝")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  names.clear();
  fonts().FontList(names, true);
  EXPECT_EQ(names, (std::vector<std::string>{S("ＭＳ ゴシック"), S("ＭＳ 明朝")}));
  EXPECT_EQ(fonts().CharsetOfFont(S("ＭＳ ゴシック")), 128);
  EXPECT_EQ(fonts().CharsetOfFont("Arial"), 1);
}

// A 2 x 2 glyph of full coverage: no font needed, and no centring (the cell is no wider).
TFontPixel Block(uint8_t corner = 128) {
  TFontPixel g;
  g.code = 'x';
  g.font_name = "block";
  g.size = 2;
  g.width = g.height = 2;
  g.bitmap = {255, 255, 255, corner};
  return g;
}

TEST_F(FontPixels_, ComposeWithBorderAndShadow) {
  for (int bpp : {32, 16}) {
    TextColorSurface color(8, 8, bpp);
    CoverageSurface coverage(8, 8);
    ComposeArgs a;
    a.text_pixel = color.ColorToPixel(0xFFFFFF);
    a.border_pixel = color.ColorToPixel(0x0000FF);
    a.shadow_pixel = color.ColorToPixel(0x00FF00);
    a.border = 1;
    a.shadow = 2;
    a.box = {0, 0, 2, 2};
    const TextRect out = fonts().Compose(Block(255), color, coverage, a);
    EXPECT_EQ(out, (TextRect{0, 0, 6, 6})) << bpp;
    TextRect covered;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if (coverage.At(x, y))
          covered = covered.Union({x, y, x + 1, y + 1});
    EXPECT_EQ(covered, (TextRect{0, 0, 6, 6})) << bpp; // w + 2B + S by h + 2B + S
    EXPECT_EQ(color.Pixel(1, 1), a.text_pixel) << bpp;
    EXPECT_EQ(color.Pixel(0, 0), a.border_pixel) << bpp;
    EXPECT_EQ(color.Pixel(3, 2), a.border_pixel) << bpp; // the outline lies over the shadow
    EXPECT_EQ(color.Pixel(5, 5), a.shadow_pixel) << bpp;
    EXPECT_EQ(coverage.At(0, 5), 0) << bpp;
    EXPECT_EQ(coverage.At(2, 2), 255) << bpp;
    // A half-covered glyph pixel mixes text and outline colours by its coverage.
    fonts().Compose(Block(128), color, coverage, a);
    const uint32_t mixed = color.PixelToColor(color.Pixel(2, 2));
    if (bpp == 32)
      EXPECT_EQ(mixed, 0x7F7FFEu);
  }
}

// An outline costs the glyph's area times its square: large characters get narrower ones, so a
// damaged size and width cannot make one glyph take endless work. Usual sizes keep their width.
TEST_F(FontPixels_, OutlinesOfLargeCharactersAreNarrowed) {
  const struct {
    int size, border, drawn;
  } cases[] = {
      {24, 3, 3},  {64, 64, 64},  {65, 64, 63},          {128, 64, 31},
      {512, 9, 7}, {4096, 64, 0}, {4096, 2147483647, 0}, {16, -5, 0},
  };
  for (const auto& c : cases) {
    TFontPixel g = Block(255);
    g.size = c.size;
    TextColorSurface color(8, 8, 32);
    CoverageSurface coverage(8, 8);
    ComposeArgs a;
    a.border = c.border;
    a.box = {0, 0, 2, 2};
    const TextRect out = fonts().Compose(g, color, coverage, a);
    EXPECT_EQ(out.Width(), 2 + 2 * c.drawn) << c.size << " " << c.border;
  }
}

TEST_F(FontPixels_, ComposePlainTextTakesTheLargerCoverage) {
  TextColorSurface color(4, 4, 32);
  CoverageSurface coverage(4, 4);
  coverage.Fill({0, 0, 4, 4}, 200);
  ComposeArgs a;
  a.text_pixel = 0x123456;
  a.box = {0, 0, 2, 2};
  fonts().Compose(Block(), color, coverage, a);
  EXPECT_EQ(coverage.At(0, 0), 255);
  EXPECT_EQ(coverage.At(1, 1), 200);
  EXPECT_EQ(color.Pixel(1, 1), 0x123456u);
  a.solid = true;
  fonts().Compose(Block(), color, coverage, a);
  EXPECT_EQ(coverage.At(1, 1), 128); // solid copies
}

// A w x h glyph of pseudo-random coverage, about a quarter of it empty; size 0 keeps it at the
// cell's left edge without asking a font.
TFontPixel Noise(int w, int h, uint32_t seed) {
  TFontPixel g;
  g.code = 'n';
  g.font_name = "noise";
  g.width = w;
  g.height = h;
  for (int i = 0; i < w * h; ++i) {
    seed = seed * 1103515245u + 12345u;
    const uint8_t v = static_cast<uint8_t>(seed >> 16);
    g.bitmap.push_back(v < 64 ? 0 : v);
  }
  return g;
}

// Plain glyphs of every width and both depths: colour under every covered pixel, the larger
// coverage, nothing outside the glyph touched.
TEST_F(FontPixels_, PlainGlyphsOfEveryWidthFollowTheRule) {
  for (int bpp : {32, 16}) {
    for (int w = 1; w <= 40; ++w) {
      const TFontPixel g = Noise(w, 3, static_cast<uint32_t>(w * bpp));
      TextColorSurface color(48, 5, bpp);
      CoverageSurface coverage(48, 5);
      const TFontPixel under = Noise(48, 5, 99);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 48; ++x) {
          coverage.Row(y)[x] = under.bitmap[y * 48 + x];
          color.SetPixel(x, y, 0x0100u * (x + y));
        }
      ComposeArgs a;
      a.text_pixel = bpp == 32 ? 0xABCDEF : 0x1234;
      a.box = {3, 1, 3 + w, 4};
      fonts().Compose(g, color, coverage, a);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 48; ++x) {
          const bool in = x >= 3 && x < 3 + w && y >= 1 && y < 4;
          const uint8_t q = in ? g.bitmap[(y - 1) * w + (x - 3)] : 0;
          const uint8_t was = under.bitmap[y * 48 + x];
          ASSERT_EQ(coverage.At(x, y), std::max(was, q)) << bpp << " w" << w << " " << x;
          ASSERT_EQ(color.Pixel(x, y), q ? a.text_pixel : 0x0100u * (x + y))
              << bpp << " w" << w << " " << x;
        }
    }
  }
}

// An outline wholly inside a 32-bit surface and the same outline cut by the surface's edge take
// different paths; where both have pixels they must agree exactly.
TEST_F(FontPixels_, OutlinesInsideAndAtTheEdgeAgree) {
  const TFontPixel g = Noise(12, 10, 7);
  ComposeArgs a;
  a.text_pixel = 0xF0E0D0;
  a.border_pixel = 0x102030;
  a.shadow_pixel = 0x405060;
  a.border = 2;
  a.shadow = 1;
  auto draw = [&](int at, TextColorSurface& color, CoverageSurface& coverage) {
    color.Fill({0, 0, 40, 40}, 0x406080);
    coverage.Fill({0, 0, 40, 40}, 90);
    a.box = {at, at, at + 12, at + 10};
    fonts().Compose(g, color, coverage, a);
  };
  TextColorSurface inside(40, 40, 32), edge(40, 40, 32);
  CoverageSurface inside_cov(40, 40), edge_cov(40, 40);
  draw(10, inside, inside_cov);
  draw(-1, edge, edge_cov);
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 29; ++x) {
      ASSERT_EQ(edge.Pixel(x, y), inside.Pixel(x + 11, y + 11)) << x << "," << y;
      ASSERT_EQ(edge_cov.At(x, y), inside_cov.At(x + 11, y + 11)) << x << "," << y;
    }
}

// A glyph of the cache keeps its outline and the outline's colours; drawing through them must
// match drawing the same glyph afresh, pixel for pixel, over empty and over earlier coverage,
// for more colours than are kept and for a second outline width, drawn again over the same
// and over different pixels.
TEST_F(FontPixels_, CachedOutlinesDrawAsFreshOnes) {
  const TFontPixel& cached = fonts().GetGlyph(0x8AbF /* 漢 */, S("ＭＳ ゴシック"), 0, 24);
  const TFontPixel fresh = cached; // a copy is no glyph of the cache: drawn the long way
  const TFontPixel under = Noise(64, 48, 5);
  auto draw = [&](const TFontPixel& g, int border, uint32_t colour, uint32_t shade,
                  TextColorSurface& color, CoverageSurface& coverage) {
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        // The left half over nothing, the right half over earlier text.
        coverage.Row(y)[x] = x < 32 ? 0 : under.bitmap[y * 64 + x];
        color.SetPixel(x, y, shade * static_cast<uint32_t>(x + y));
      }
    ComposeArgs a;
    a.text_pixel = 0xFFFFFF;
    a.border_pixel = colour;
    a.shadow_pixel = colour ^ 0x808080;
    a.border = border;
    a.shadow = 2;
    a.box = {18, 10, 42, 34};
    return fonts().Compose(g, color, coverage, a);
  };
  for (int border : {2, 1})
    for (uint32_t colour : {0x000000u, 0x102030u, 0x123456u, 0xFF00FFu, 0x7F7F7Fu, 0x102030u}) {
      for (uint32_t shade : {0x010203u, 0x010203u, 0x030201u}) {
        TextColorSurface want(64, 48, 32), got(64, 48, 32);
        CoverageSurface want_cov(64, 48), got_cov(64, 48);
        EXPECT_EQ(draw(cached, border, colour, shade, got, got_cov),
                  draw(fresh, border, colour, shade, want, want_cov));
        for (int y = 0; y < 48; ++y)
          for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(got.Pixel(x, y), want.Pixel(x, y))
                << border << " " << colour << " " << x << "," << y;
            ASSERT_EQ(got_cov.At(x, y), want_cov.At(x, y))
                << border << " " << colour << " " << x << "," << y;
          }
      }
    }
}

} // namespace
} // namespace nova
