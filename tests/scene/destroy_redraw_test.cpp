// SPDX-License-Identifier: MIT
// A component that goes away leaves nothing of itself on the screen.
#include <gtest/gtest.h>

#include "scene_fixture.h"

namespace nova::test {
namespace {

TEST(DestroyRedraw, TheAreaOfADestroyedControlIsDrawnAgain) {
  struct Case {
    const char* what;
    bool parent; // delete the parent (with its child), else the child alone
    TSceneRect area;
  } const cases[] = {{"child", false, {30, 30, 60, 60}}, {"parent", true, {10, 10, 130, 70}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TNovaBaseList list(200, 100);
    auto* parent = NewBox(list, "p", 10, 10, 120, 60);
    auto* child = NewBox(list, "c", 20, 20, 30, 30, parent);
    list.ClearDirty();
    (c.parent ? static_cast<TNovaControl*>(parent) : child)->FreeLater();
    list.UpdateStep();
    EXPECT_EQ(list.Front()->DirtyRects().Rects(), std::vector<TSceneRect>{c.area});
  }
}

} // namespace
} // namespace nova::test
