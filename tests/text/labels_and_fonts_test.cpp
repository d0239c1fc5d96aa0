// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/nova_error.h"
#include "text/font_installer.h"
#include "text/font_pixel_manager.h"
#include "text/label_list.h"
#include "text/pixel_font_manager.h"
#include "text_test_util.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

class LabelsAndFonts : public ::testing::Test {
protected:
  void SetUp() override { ResetFontPixels(); }
  void TearDown() override {
    ResetFontPixels();
    ResetFileManager();
  }
};

PackedFontContent OneGlyph(const char* face) {
  PackedFontContent c;
  c.face_name = face;
  c.size = 16;
  c.metrics.ascent = 14;
  PackedFontGlyph g;
  g.code = 'Z';
  g.record = {2, 2, 0, 14, 4, 0, 0};
  g.coverage = {255, 255, 255, 255};
  c.glyphs.push_back(g);
  return c;
}

TEST_F(LabelsAndFonts, TitleFontsInTheBaseFolderAreInstalled) {
  const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "nft_title";
  std::filesystem::create_directories(dir);
  auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };
  write("a.NFT", WritePackedFont(OneGlyph("TitleFace")));
  write("notes.txt", {'x'});
  FileManager().SetBaseFolder(dir.string());
  EXPECT_EQ(InstallTitleFonts(nullptr, PixelFonts()), (std::vector<std::string>{"a.NFT"}));
  EXPECT_NE(PixelFonts().Find("TitleFace", 16, 0), nullptr);
  EXPECT_TRUE(InstallTitleFonts(nullptr, PixelFonts()).empty()); // already registered
  write("b.nft", {'b', 'a', 'd'});
  EXPECT_THROW(InstallTitleFonts(nullptr, PixelFonts()), ENovaError);
  std::filesystem::remove_all(dir);
}

TEST_F(LabelsAndFonts, LabelsMeasureAndRender) {
  TZpLabelList labels;
  labels.face = test::S("ＭＳ ゴシック");
  labels.size = 16;
  labels.border = 1;
  labels.shadow = 1;
  labels.SetLines({test::S("はい"), "OK"});
  labels.Measure();
  TZpLabelDIB& yes = labels.At(0);
  EXPECT_EQ(yes.height, 16 + 2 + 1);
  ASSERT_EQ(yes.advances.size(), 2u);
  EXPECT_EQ(yes.advances[0], 16 + 3); // a full-width cell plus outline and shadow
  EXPECT_EQ(labels.Width(), std::max(yes.width, labels.At(1).width));
  labels.Render(16);
  EXPECT_EQ(yes.color.bpp(), 16);
  int covered = 0;
  for (int y = 0; y < yes.coverage.height(); ++y)
    for (int x = 0; x < yes.coverage.width(); ++x)
      covered += yes.coverage.At(x, y) > 0;
  EXPECT_GT(covered, 20);
}

TEST_F(LabelsAndFonts, LabelStreamVersions) {
  TZpLabelList a;
  a.level = 2;
  a.shadow = 4;
  a.face = "f";
  BinaryWriter w;
  a.Save(w);
  const std::vector<uint8_t> bytes = w.Take();
  struct Case {
    int version, level, shadow;
  } cases[] = {{122, 2, 4}, {121, 2, 0}, {108, 3, 0}};
  for (const Case& c : cases) {
    TZpLabelList b;
    BinaryReader r(bytes, "label");
    b.Load(r, c.version);
    EXPECT_EQ(b.level, c.level) << c.version;
    EXPECT_EQ(b.shadow, c.shadow) << c.version;
    EXPECT_EQ(b.face, "f");
  }
}

} // namespace
} // namespace nova
