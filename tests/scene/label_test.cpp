// SPDX-License-Identifier: MIT
// Text captions drawn with the platform font, and the text rules they share.
#include <gtest/gtest.h>

#include "base/sjis.h"
#include "scene_fixture.h"
#include "text/font_pixel_manager.h"

namespace nova::test {
namespace {

TEST(CaptionText, LinesSplitAtEveryBreakAndATrailingBreakAddsNone) {
  const struct {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\r\n", {""}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitCaptionLines(c.text), c.lines) << c.text;
  EXPECT_EQ(JoinLinesCrLf({"a", "b"}), "a\r\nb");
}

class CaptionTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    list.SetScreenSurface(&screen);
  }
  TNovaLabel* NewLabel(const std::string& text) {
    auto* l = CreateComponent<TNovaLabel>(&list);
    l->SetParent(list.Front());
    l->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
    l->SetProp(PR_TEXT, TPropValue::Str(text));
    return l;
  }
  TDIBX screen{200, 100, 32};
  TNovaBaseList list{200, 100};
};

TEST_F(CaptionTest, SizeIsTheWidestLineByTheLinePitchTimesTheZoom) {
  TNovaLabel* one = NewLabel("WWW");
  TNovaLabel* two = NewLabel("WWW\r\nW\r\n");
  EXPECT_EQ(two->Lines().size(), 2u);
  EXPECT_EQ(two->TextWidth(), one->TextWidth());
  EXPECT_EQ(two->TextHeight(), 2 * 12);
  two->SetProp(PR_LINESPACE, TPropValue::Int(3));
  EXPECT_EQ(two->GetHeight(), 2 * 15);
  two->SetProp(PR_FLOATZOOMX, TPropValue::Real(2.0L));
  EXPECT_EQ(two->GetWidth(), 2 * two->TextWidth());
  EXPECT_EQ(two->GetProp(PR_ZOOMX).i, 512);
  two->SetProp(PR_ZOOMY, TPropValue::Int(128));
  EXPECT_EQ(two->GetHeight(), 15);
}

TEST_F(CaptionTest, DrawsInkOnlyInsideItsLineRectangles) {
  TNovaLabel* label = NewLabel("I");
  if (label->TextWidth() == 0)
    GTEST_SKIP() << "no font face on this machine";
  ASSERT_EQ(label->LineRects().size(), 1u);
  const TSceneRect ink = label->LineRects()[0];
  ASSERT_FALSE(ink.Empty());
  list.DrawStep();
  int lit = 0;
  for (int y = 0; y < label->GetHeight(); ++y)
    for (int x = 0; x < label->GetWidth(); ++x)
      if (screen.PixelToColor(screen.GetPixel(x, y)) != 0) {
        ++lit;
        EXPECT_TRUE(ink.Contains(x, y)) << x << "," << y;
      }
  EXPECT_GT(lit, 0);
}

// Turned (by a vanishing angle) and zoomed, a caption's anchor is a point of the text picture,
// mirrored with the flips, as for pictures: moving the anchor by (6, 4) at zoom 2 moves the
// drawing by (12, 8), the other way when flipped.
TEST_F(CaptionTest, RotatedAnchorIsAPointOfTheTextPicture) {
  const auto ink = [this](bool flip, int anchor_x, int anchor_y) {
    TNovaLabel* label = NewLabel("IL");
    label->SetProp(PR_LEFT, TPropValue::Int(100));
    label->SetProp(PR_TOP, TPropValue::Int(50));
    label->SetProp(PR_OFFSETX, TPropValue::Int(anchor_x));
    label->SetProp(PR_OFFSETY, TPropValue::Int(anchor_y));
    label->SetProp(PR_FLOATZOOMX, TPropValue::Real(2.0L));
    label->SetProp(PR_FLOATZOOMY, TPropValue::Real(2.0L));
    label->SetProp(PR_FLIPH, TPropValue::Int(flip));
    label->SetProp(PR_FLIPV, TPropValue::Int(flip));
    label->SetProp(PR_FLOATANGLE, TPropValue::Real(1e-9L));
    EXPECT_TRUE(label->Rotated());
    screen.Clear(0);
    list.Front()->InvalidateAll();
    list.DrawStep();
    TSceneRect r;
    for (int y = 0; y < screen.Height(); ++y)
      for (int x = 0; x < screen.Width(); ++x)
        if (screen.GetPixel(x, y) != 0)
          r = r.Empty() ? TSceneRect{x, y, x + 1, y + 1} : r.Union({x, y, x + 1, y + 1});
    list.Destroy(label);
    return r;
  };
  TNovaLabel* probe = NewLabel("IL");
  const bool no_font = probe->TextWidth() == 0;
  list.Destroy(probe);
  if (no_font)
    GTEST_SKIP() << "no font face on this machine";
  for (bool flip : {false, true}) {
    SCOPED_TRACE(flip);
    const TSceneRect at_origin = ink(flip, 0, 0);
    const TSceneRect moved = ink(flip, 6, 4);
    ASSERT_FALSE(at_origin.Empty());
    EXPECT_EQ(moved.Left - at_origin.Left, flip ? 12 : -12);
    EXPECT_EQ(moved.Top - at_origin.Top, flip ? 8 : -8);
  }
}

TEST_F(CaptionTest, AnEmptyFontNameRendersWithTheFallbackFace) {
  TNovaLabel* named = NewLabel("abc");
  TNovaLabel* empty = NewLabel("abc");
  named->SetProp(PR_FONTNAME, TPropValue::Str(Utf8ToSjis("ＭＳ ゴシック")));
  empty->SetProp(PR_FONTNAME, TPropValue::Str(""));
  EXPECT_EQ(empty->TextWidth(), named->TextWidth());
  EXPECT_EQ(empty->GetProp(PR_FONTNAME).s, "");
}

TEST_F(CaptionTest, AngleAndZoomHaveWholeAndRealForms) {
  TNovaLabel* label = NewLabel("x");
  label->SetProp(PR_ANGLE, TPropValue::Int(64));
  EXPECT_NEAR(static_cast<double>(label->GetProp(PR_FLOATANGLE).r), 64 / 255.0 * 2 * 3.14159265,
              1e-6);
  EXPECT_EQ(label->GetProp(PR_ANGLE).i, 64);
  EXPECT_TRUE(label->Rotated());
  label->SetProp(PR_FLOATANGLE, TPropValue::Real(0));
  EXPECT_FALSE(label->Rotated());
  label->SetProp(PR_FLOATZOOMY, TPropValue::Real(1.5L));
  EXPECT_EQ(label->GetProp(PR_ZOOMY).i, 384);
}

} // namespace
} // namespace nova::test
