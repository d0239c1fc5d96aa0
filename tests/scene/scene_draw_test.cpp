// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "graphics/dibx.h"
#include "golden_compare.h"
#include "scene/color_tables.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

uint32_t Rgb(TCustomDIBX& s, int x, int y) { return s.PixelToColor(s.GetPixel(x, y)); }

constexpr uint32_t Color(int r, int g, int b) {
  return static_cast<uint32_t>(r | (g << 8) | (b << 16));
}

class SceneDraw : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    list.SetScreenSurface(&screen);
  }
  TDIBX screen{160, 120, 32};
  TNovaBaseList list{160, 120};
};

TEST_F(SceneDraw, BoxOpacityModesAndBorders) {
  list.Front()->SetColor(Color(10, 20, 30));
  auto* copy = NewBox(list, "copy", 0, 0, 20, 20);
  copy->SetColor(Color(200, 100, 50));
  auto* add = NewBox(list, "add", 30, 0, 20, 20);
  add->SetColor(Color(200, 100, 50));
  add->SetProp(PR_ALPHA, TPropValue::Int(300));
  auto* blend = NewBox(list, "blend", 60, 0, 20, 20);
  blend->SetColor(Color(210, 110, 60));
  blend->SetProp(PR_ALPHA, TPropValue::Int(128));
  auto* frame = NewBox(list, "frame", 90, 0, 20, 20);
  frame->SetColor(-1);
  frame->SetProp(PR_BORDERWIDTH, TPropValue::Int(4));
  frame->SetProp(PR_BORDERCOLOR, TPropValue::Int(Color(255, 255, 255)));
  auto* inner = NewBox(list, "inner", 120, 0, 20, 20);
  inner->SetColor(Color(0, 255, 0));
  inner->SetProp(PR_BORDERWIDTH, TPropValue::Int(4));
  auto* none = NewBox(list, "none", 0, 30, 20, 20);
  none->SetProp(PR_ALPHA, TPropValue::Int(0));
  list.DrawStep();
  EXPECT_EQ(Rgb(screen, 5, 5), Color(200, 100, 50));
  // Additive with strength 44: each channel × 44 >> 8 added to the background.
  EXPECT_EQ(Rgb(screen, 35, 5), Color(10 + 34, 20 + 17, 30 + 8));
  EXPECT_EQ(Rgb(screen, 65, 5), Color((10 * 127 + 210 * 128) >> 8, (20 * 127 + 110 * 128) >> 8,
                                      (30 * 127 + 60 * 128) >> 8));
  EXPECT_EQ(Rgb(screen, 91, 1), Color(255, 255, 255));
  EXPECT_EQ(Rgb(screen, 100, 10), Color(10, 20, 30)) << "fill -1: only the frame";
  EXPECT_EQ(Rgb(screen, 121, 1), Color(10, 20, 30)) << "border colour -1: only the inner fill";
  EXPECT_EQ(Rgb(screen, 130, 10), Color(0, 255, 0));
  EXPECT_EQ(Rgb(screen, 5, 35), Color(10, 20, 30)) << "alpha 0 draws nothing";
}

TEST_F(SceneDraw, OnlyChangedRectanglesAreRedrawn) {
  auto* box = NewBox(list, "b", 10, 10, 10, 10);
  box->SetColor(Color(255, 0, 0));
  list.DrawStep();
  list.ClearDirty();
  screen.SetPixel(100, 100, screen.ColorToPixel(Color(1, 2, 3)));
  box->SetLeft(40);
  list.DrawStep();
  EXPECT_EQ(Rgb(screen, 15, 15), 0u) << "the old place is repainted";
  EXPECT_EQ(Rgb(screen, 45, 15), Color(255, 0, 0));
  EXPECT_EQ(Rgb(screen, 100, 100), Color(1, 2, 3)) << "untouched areas are not redrawn";
}

TEST_F(SceneDraw, ChildrenClipAndBackLayer) {
  auto* parent = NewBox(list, "p", 10, 10, 40, 40);
  parent->SetColor(Color(0, 0, 255));
  auto* child = NewBox(list, "c", 30, 30, 40, 40, parent);
  child->SetColor(Color(255, 255, 0));
  auto* clipped = NewBox(list, "k", 0, 0, 40, 40, parent);
  clipped->SetColor(Color(0, 255, 255));
  clipped->SetProp(PR_CLIPWIDTH, TPropValue::Int(5));
  clipped->SetProp(PR_CLIPHEIGHT, TPropValue::Int(5));
  auto* back = NewBox(list, "back", 0, 0, 8, 8, list.Back());
  back->SetColor(Color(255, 0, 255));
  list.DrawStep();
  EXPECT_EQ(Rgb(screen, 45, 45), Color(255, 255, 0));
  EXPECT_EQ(Rgb(screen, 55, 55), 0u) << "children are limited to the parent";
  EXPECT_EQ(Rgb(screen, 12, 12), Color(0, 255, 255));
  EXPECT_EQ(Rgb(screen, 20, 12), Color(0, 0, 255)) << "outside the child's clip";
  EXPECT_EQ(Rgb(screen, 2, 2), 0u) << "the back layer draws into its own surface";
  EXPECT_EQ(Rgb(*list.Back()->OwnSurface(), 2, 2), Color(255, 0, 255));
  // Flipping without transition shows the other layer.
  list.SetFront(1, 0, {}, true, 0, 0);
  list.DrawStep();
  EXPECT_EQ(Rgb(screen, 2, 2), Color(255, 0, 255));
}

// The two layers (front on the screen above, back in its own surface below), boxes of every
// opacity mode, borders and a clipped child, compared with the committed picture
// (regenerated with NOVA_UPDATE_GOLDEN=1).
TEST_F(SceneDraw, GoldenBoxesOnBothLayers) {
  list.Front()->SetColor(Color(24, 32, 48));
  const int32_t colours[] = {Color(230, 60, 60), Color(60, 200, 90), Color(70, 110, 240)};
  const int32_t alphas[] = {255, 160, 320};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      auto* b =
          NewBox(list, "b" + std::to_string(i * 3 + j), 10 + j * 35 + i * 8, 10 + i * 30, 40, 40);
      b->SetColor(colours[j]);
      b->SetProp(PR_ALPHA, TPropValue::Int(alphas[i]));
      b->SetProp(PR_PRIORITY, TPropValue::Int(i));
      if (j == 1) {
        b->SetProp(PR_BORDERWIDTH, TPropValue::Int(3));
        b->SetProp(PR_BORDERCOLOR, TPropValue::Int(Color(250, 250, 250)));
      }
    }
  auto* back_box = NewBox(list, "underlay", 20, 20, 120, 60, list.Back());
  back_box->SetColor(Color(255, 200, 0));
  back_box->SetProp(PR_BORDERWIDTH, TPropValue::Int(6));
  back_box->SetProp(PR_BORDERCOLOR, TPropValue::Int(Color(120, 40, 160)));
  NewBox(list, "child", 50, 30, 100, 20, back_box)->SetColor(Color(40, 160, 220));
  list.Back()->SetColor(Color(64, 64, 64));
  list.DrawStep();
  // The front layer's picture on the screen above the back layer's own surface.
  TDIBX sheet(160, 240, 32);
  sheet.Draw(0, 0, FlipNone, TKeyMode::Ignore, screen.Bounds(), screen);
  TDIBX& back = *list.Back()->OwnSurface();
  sheet.Draw(0, 120, FlipNone, TKeyMode::Ignore, back.Bounds(), back);
  CompareWithGolden(sheet, "scene_boxes");
}

TEST_F(SceneDraw, AfterimagesFadeAndGo) {
  auto* box = NewBox(list, "b", 0, 0, 10, 10);
  box->SetProp(PR_ALPHA, TPropValue::Int(300));
  box->SetProp(PR_BLURSPAN, TPropValue::Int(32));
  box->SetProp(PR_BLURDELAY, TPropValue::Int(64));
  Frame(list, 16);
  box->SetLeft(5);
  Frame(list, 16);
  auto* blur = dynamic_cast<TNovaBox*>(list.FindByName("b0"));
  ASSERT_NE(blur, nullptr) << "an afterimage named after the box";
  // Half the alpha without the additive mode (150), already aged by its first update:
  // 150 − round(16 / 64 × 150), the half rounding to even.
  EXPECT_EQ(blur->Alpha(), 150 - 38);
  EXPECT_EQ(blur->GetPriority(), -1);
  EXPECT_EQ(blur->Left(), 5);
  Frame(list, 16);
  EXPECT_EQ(blur->Alpha(), 150 - 75);
  Frame(list, 16);
  Frame(list, 16);
  EXPECT_EQ(list.FindByName("b0"), nullptr) << "gone after its lifetime";
}

} // namespace
} // namespace nova::test

namespace nova::test {
namespace {

TEST(ColourTables, GreyLevelsAsNativePixels) {
  const TGreyTables t16 = BuildGreyTables(16), t15 = BuildGreyTables(15), t32 = BuildGreyTables(32);
  EXPECT_EQ(t16.pixel16[255], 0xFFFF);
  EXPECT_EQ(t16.pixel16[128], 0x8410);
  EXPECT_EQ(t15.pixel16[255], 0x7FFF);
  EXPECT_EQ(t15.pixel16[8], 0x0421);
  EXPECT_EQ(t32.pixel32[0x80], 0x808080u);
  TNovaBaseList list(8, 8);
  TDIBX screen15(8, 8, 15);
  list.SetScreenSurface(&screen15);
  EXPECT_EQ(list.GreyTables().pixel16[255], 0x7FFF);
}

} // namespace
} // namespace nova::test
