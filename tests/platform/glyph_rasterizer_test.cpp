// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/sjis.h"
#include "platform/font_list.h"
#include "platform/glyph_rasterizer.h"

namespace nova {
namespace {

const InstalledFace* Find(const std::vector<InstalledFace>& faces, const std::string& name) {
  for (const InstalledFace& f : faces)
    if (f.name == name)
      return &f;
  return nullptr;
}

class Rasterizer : public ::testing::Test {
protected:
  void SetUp() override {
    faces_ = EnumerateInstalledFaces(BuiltinFaceSubstitutes());
    ipa_ = Find(faces_, "IPAGothic");
    gothic_ = Find(faces_, Utf8ToSjis("ＭＳ ゴシック"));
    ASSERT_NE(ipa_, nullptr) << "fonts-ipafont-gothic is installed by scripts/install-deps";
    ASSERT_NE(gothic_, nullptr);
  }
  std::vector<InstalledFace> faces_;
  const InstalledFace* ipa_ = nullptr;
  const InstalledFace* gothic_ = nullptr; // IPAGothic standing in, em filling the cell
  std::unique_ptr<GlyphRasterizer> r_ = CreateFreeTypeRasterizer();
};

TEST_F(Rasterizer, CellHeightIsAscentPlusDescent) {
  for (int cell : {12, 16, 24, 33}) {
    ASSERT_TRUE(r_->Select(gothic_->file, gothic_->face_index, false, cell, FontWeight::kRegular,
                           FontSlant::kUpright, gothic_->cell_ascent));
    const RasterFontMetrics& m = r_->Metrics();
    EXPECT_EQ(m.ascent + m.descent, cell);
    EXPECT_EQ(m.ascent, static_cast<int>(std::lround(cell * 220.0 / 256)));
    EXPECT_GE(m.underline_size, 1);
    EXPECT_GE(m.strike_size, 1);
    EXPECT_EQ(r_->Advance(0x6F22 /* 漢 */), cell); // the full-width cell of a fixed face
    // By its own metrics the face reserves part of the cell for line gap: a smaller em.
    ASSERT_TRUE(r_->Select(ipa_->file, ipa_->face_index, false, cell, FontWeight::kRegular,
                           FontSlant::kUpright));
    EXPECT_EQ(r_->Metrics().ascent + r_->Metrics().descent, cell);
    EXPECT_LE(r_->Advance(0x6F22), cell);
  }
}

TEST_F(Rasterizer, LevelsQuantiseCoverage) {
  ASSERT_TRUE(r_->Select(gothic_->file, gothic_->face_index, false, 24, FontWeight::kRegular,
                         FontSlant::kUpright, gothic_->cell_ascent));
  for (int level = 0; level <= 3; ++level) {
    RasterGlyph g;
    ASSERT_TRUE(r_->Render(0x6F22, level, g));
    ASSERT_EQ(g.pixels.size(), static_cast<size_t>(g.width * g.height));
    EXPECT_EQ(*std::max_element(g.pixels.begin(), g.pixels.end()), LevelMaximum(level)) << level;
    EXPECT_GT(g.origin_y, 0);
    EXPECT_LE(g.origin_y, r_->Metrics().ascent + 1);
  }
  RasterGlyph space;
  ASSERT_TRUE(r_->Render(' ', 3, space));
  EXPECT_EQ(space.width, 0);
  EXPECT_EQ(space.advance, 12);
  EXPECT_FALSE(r_->Render(0x10FFFD, 3, space)); // not in the face
}

TEST_F(Rasterizer, StylesAreSynthesised) {
  RasterGlyph regular, bold, italic;
  ASSERT_TRUE(r_->Select(gothic_->file, 0, false, 24, FontWeight::kRegular, FontSlant::kUpright));
  r_->Render('l', 3, regular);
  ASSERT_TRUE(r_->Select(gothic_->file, 0, false, 24, FontWeight::kBold, FontSlant::kUpright));
  r_->Render('l', 3, bold);
  ASSERT_TRUE(r_->Select(gothic_->file, 0, false, 24, FontWeight::kRegular, FontSlant::kItalic));
  r_->Render('l', 3, italic);
  EXPECT_GT(bold.width, regular.width);
  EXPECT_GT(italic.width, regular.width); // slanted strokes widen the black box
  AbcWidths abc = r_->Abc('l');
  EXPECT_GT(abc.b, 0);
}

TEST_F(Rasterizer, BadRequestsFail) {
  EXPECT_FALSE(
      r_->Select("/no/such/font.ttf", 0, false, 24, FontWeight::kRegular, FontSlant::kUpright));
  EXPECT_FALSE(r_->Select(gothic_->file, 0, false, 0, FontWeight::kRegular, FontSlant::kUpright));
  RasterGlyph g;
  EXPECT_FALSE(r_->Render('a', 3, g));
}

} // namespace
} // namespace nova
