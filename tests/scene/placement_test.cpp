// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "scene_fixture.h"

namespace nova::test {
namespace {

struct PlacementCase {
  const char* what;
  int left, anchor, width, zoom;
  bool flip, pos_zoomed;
  int parent_left, parent_scroll, plus;
  bool motion;
  int motion_x;
  int want_screen_left, want_left_in_parent;
};

// Horizontal placement; the vertical axis runs the same code with the other fields.
const PlacementCase kCases[] = {
    {"plain", 100, 0, 50, 256, false, false, 0, 0, 0, false, 0, 100, 100},
    {"anchor", 100, 10, 50, 256, false, false, 0, 0, 0, false, 0, 90, 90},
    {"zoomed anchor in parent", 100, 10, 50, 512, false, false, 20, 0, 0, false, 0, 100, 80},
    {"flipped zoomed anchor", 100, 10, 50, 512, true, false, 20, 0, 0, false, 0, 91, 70},
    {"flip at 100%", 100, 10, 50, 256, true, false, 0, 0, 0, false, 0, 61, 60},
    {"parent scroll", 100, 0, 50, 256, false, false, 20, 30, 0, false, 0, 90, 100},
    {"plus", 100, 0, 50, 256, false, false, 0, 0, 7, false, 0, 107, 107},
    {"position zoomed", 100, 0, 50, 384, false, true, 0, 0, 0, false, 0, 150, 150},
    {"zoom truncates toward zero", -3, 0, 50, 384, false, true, 0, 0, 0, false, 0, -4, -4},
    {"negative anchor product truncates", 0, -3, 50, 384, false, false, 0, 0, 0, false, 0, 4, 4},
    {"motion replaces left", 100, 5, 50, 256, false, true, 10, 0, 2, true, 40, 47, 37},
};

TEST(Placement, TableOfAxisCases) {
  for (const PlacementCase& c : kCases) {
    SCOPED_TRACE(c.what);
    TNovaBaseList list(640, 480);
    auto* parent = CreateComponent<TTestControl>(&list);
    parent->SetParent(list.Front());
    parent->SetBounds(c.parent_left, 0, 400, 400);
    parent->scroll_x = c.parent_scroll;
    parent->PlacementChanged();
    auto* ctl = CreateComponent<TTestControl>(&list);
    ctl->SetParent(parent);
    ctl->SetBounds(c.left, 0, c.width, 10);
    ctl->SetAnchorX(c.anchor);
    ctl->zoom_x = c.zoom;
    ctl->flip_h = c.flip;
    ctl->PlacementChanged();
    ctl->SetPosZoomed(c.pos_zoomed);
    ctl->SetPlusX(c.plus);
    UseFakeFilms(list);
    if (c.motion) {
      ctl->StartMotion("100.nmt");
      ctl->SetMotionX(c.motion_x);
    }
    EXPECT_EQ(ctl->ScreenLeft(), c.want_screen_left);
    EXPECT_EQ(ctl->LeftInParent(), c.want_left_in_parent);
  }
}

// A child that follows its parent's picture scale.
TEST(Placement, ChildFollowsParentPictureScale) {
  TNovaBaseList list(640, 480);
  auto* parent = CreateComponent<TTestControl>(&list);
  parent->SetParent(list.Front());
  parent->SetBounds(30, 0, 100, 100); // shown at half the size of its 200-pixel picture
  parent->surface_w = 200;
  parent->surface_h = 200;
  auto* child = CreateComponent<TTestControl>(&list);
  child->SetParent(parent);
  child->SetBounds(50, 0, 20, 20);
  child->surface_w = 20;
  child->surface_h = 20;
  parent->PlacementChanged();
  child->SetPosZoomed(true);
  // ratio = 2 × 65536; 50 / 2 = 25.
  EXPECT_EQ(child->ScreenLeft(), 30 + 25);
  child->flip_h = true;
  child->SetLeft(40);
  // n = (200 + 0 − 40 − 20) × 65536 → 70.
  EXPECT_EQ(child->ScreenLeft(), 30 + 70);
  // A different zoom than the parent's uses the ordinary rule.
  child->flip_h = false;
  child->zoom_x = 512;
  child->PlacementChanged();
  EXPECT_EQ(child->ScreenLeft(), 30 + 80);
}

TEST(Placement, VerticalAxisAndClip) {
  TNovaBaseList list(640, 480);
  auto* ctl = CreateComponent<TTestControl>(&list);
  ctl->SetParent(list.Front());
  ctl->SetBounds(10, 100, 40, 50);
  ctl->SetAnchorY(10);
  ctl->zoom_y = 512;
  ctl->flip_v = true;
  ctl->PlacementChanged();
  EXPECT_EQ(ctl->ScreenTop(), 100 - (50 - 1 - 20));
  EXPECT_TRUE(ctl->ScreenClip().Empty());
  ctl->SetClip(PR_CLIPLEFT, 2);
  ctl->SetClip(PR_CLIPTOP, 3);
  EXPECT_TRUE(ctl->ScreenClip().Empty()) << "no clip while clip width and height are 0";
  ctl->SetClip(PR_CLIPWIDTH, 5);
  ctl->SetClip(PR_CLIPHEIGHT, 6);
  EXPECT_EQ(ctl->ScreenClip(), TSceneRect::FromSize(12, ctl->ScreenTop() + 3, 5, 6));
  int32_t x = 0, y = 0;
  ctl->AnchorOnScreen(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 100);
}

TEST(Placement, ExtremeValuesSaturate) {
  TNovaBaseList list(640, 480);
  auto* parent = NewBox(list, "p", INT32_MAX, INT32_MAX, INT32_MAX, 10);
  auto* child = NewBox(list, "c", INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, parent);
  child->SetPlusX(INT32_MAX);
  child->SetPosZoomed(true);
  EXPECT_EQ(child->ScreenLeft(), INT32_MAX);
  EXPECT_EQ(child->ScreenBounds().Right, INT32_MAX);
  child->Invalidate();
  EXPECT_TRUE(list.Front()->DirtyRects().Rects().size() <= 1);
}

} // namespace
} // namespace nova::test
