// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "scene/clip_list.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

TEST(ChangedRects, MergeWithinTwentyPixels) {
  struct Case {
    const char* what;
    std::vector<TSceneRect> added;
    std::vector<TSceneRect> want;
  } cases[] = {
      {"15 apart merge", {{0, 0, 10, 10}, {25, 0, 35, 10}}, {{0, 0, 35, 10}}},
      {"25 apart stay", {{0, 0, 10, 10}, {35, 0, 45, 10}}, {{0, 0, 10, 10}, {35, 0, 45, 10}}},
      {"exactly 20 apart merge", {{0, 0, 10, 10}, {30, 0, 40, 10}}, {{0, 0, 40, 10}}},
      {"inside adds nothing", {{0, 0, 100, 100}, {10, 10, 20, 20}}, {{0, 0, 100, 100}}},
      {"diagonal gap", {{0, 0, 10, 10}, {25, 35, 30, 40}}, {{0, 0, 10, 10}, {25, 35, 30, 40}}},
      {"union merges on", {{0, 0, 10, 10}, {100, 0, 110, 10}, {25, 0, 85, 10}}, {{0, 0, 110, 10}}},
      {"empty ignored", {{5, 5, 5, 9}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TClipList list;
    for (const TSceneRect& r : c.added)
      list.Add(r);
    EXPECT_EQ(list.Rects(), c.want);
  }
}

TEST(ChangedRects, LayerClampsAndControlsReportTheirArea) {
  TNovaBaseList list(200, 100);
  list.ClearDirty();
  TNovaBase& layer = *list.Front();
  layer.AddDirtyRect({-50, -50, 10, 10});
  layer.AddDirtyRect({300, 0, 400, 10});
  EXPECT_EQ(layer.DirtyRects().Rects(), (std::vector<TSceneRect>{TSceneRect{0, 0, 10, 10}}));
  list.ClearDirty();
  auto* parent = NewBox(list, "p", 100, 50, 50, 30);
  list.ClearDirty();
  auto* child = NewBox(list, "c", 40, 20, 30, 30, parent);
  // Limited to the parent's area.
  EXPECT_EQ(layer.DirtyRects().Rects(), (std::vector<TSceneRect>{TSceneRect{140, 70, 150, 80}}));
  list.ClearDirty();
  child->SetClip(PR_CLIPWIDTH, 0);
  EXPECT_TRUE(layer.DirtyRects().Empty()) << "unchanged values invalidate nothing";
  child->SetVisible(false);
  list.ClearDirty();
  child->SetLeft(0);
  EXPECT_TRUE(layer.DirtyRects().Empty()) << "hidden controls report nothing";
  auto* off_layer = CreateComponent<TNovaBox>(&list);
  off_layer->SetBounds(0, 0, 10, 10);
  EXPECT_TRUE(layer.DirtyRects().Empty()) << "a control without layer reports nothing";
}

} // namespace
} // namespace nova::test
