// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

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
