// SPDX-License-Identifier: MIT
// Screen places are kept through a draw step or a hit test (and beyond); whatever changes
// geometry in the middle of one must still be seen by the rest of it.
#include <gtest/gtest.h>

#include <functional>

#include "scene_fixture.h"

namespace nova::test {
namespace {

// A control that runs a change from inside its own draw or hit test.
class TMidWalkControl : public TTestControl {
public:
  using TTestControl::TTestControl;
  void Draw() override {
    RunChange();
    TTestControl::Draw();
  }
  TNovaControl* HitTest(int32_t x, int32_t y, uint32_t accept_set) override {
    RunChange();
    return TTestControl::HitTest(x, y, accept_set);
  }
  // A kind that keeps its own geometry writes the fields and says so.
  void WriteLeftDirectly(int32_t v) {
    left_ = v;
    PlacementChanged();
  }
  std::function<void()> change;
  // Also runs just before the change.
  std::function<void()> after_change;

private:
  void RunChange() {
    if (!change)
      return;
    if (after_change)
      after_change();
    change();
    change = nullptr;
    if (after_change)
      after_change();
  }
};

// A changer drawn and hit-tested before an outer control, its child and grandchild. The outer
// control is the changer itself in the rows that change the control being walked.
struct Scene {
  TNovaBaseList list{300, 300};
  TMidWalkControl* outer = CreateComponent<TMidWalkControl>(&list);
  TMidWalkControl* target = CreateComponent<TMidWalkControl>(&list);
  TMidWalkControl* inner = CreateComponent<TMidWalkControl>(&list);
  TMidWalkControl* changer = CreateComponent<TMidWalkControl>(&list);
  TMidWalkControl* other_parent = CreateComponent<TMidWalkControl>(&list);
  Scene() {
    outer->SetParent(list.Front());
    outer->SetBounds(50, 50, 150, 150);
    outer->SetPriority(1);
    target->SetParent(outer);
    target->SetBounds(10, 10, 40, 40);
    target->SetAnchorX(8);
    inner->SetParent(target);
    inner->SetBounds(2, 3, 5, 5);
    other_parent->SetParent(list.Front());
    other_parent->SetBounds(120, 0, 150, 150);
    other_parent->SetPriority(2);
    // Drawn first (lowest), hit-tested first (highest).
    changer->SetParent(list.Front());
    changer->SetBounds(0, 0, 300, 300);
  }
};

struct MidWalkCase {
  const char* what;
  std::function<void(Scene&)> change;
};

const MidWalkCase kCases[] = {
    {"left", [](Scene& s) { s.target->SetLeft(30); }},
    {"top", [](Scene& s) { s.target->SetTop(25); }},
    {"bounds", [](Scene& s) { s.target->SetBounds(1, 2, 40, 40); }},
    {"width of a flipped control",
     [](Scene& s) {
       s.target->flip_h = true;
       s.target->SetWidth(60);
     }},
    {"anchor", [](Scene& s) { s.target->SetAnchorY(6); }},
    {"plus", [](Scene& s) { s.target->SetPlusX(-9); }},
    {"zoomed position",
     [](Scene& s) {
       s.target->zoom_x = 512;
       s.target->SetPosZoomed(true);
     }},
    {"zoom changed by a kind, then repainted",
     [](Scene& s) {
       s.target->zoom_x = 768;
       s.target->Invalidate();
     }},
    {"parent", [](Scene& s) { s.target->SetParent(s.other_parent); }},
    {"parent moves", [](Scene& s) { s.outer->SetLeft(90); }},
    {"parent scrolls",
     [](Scene& s) {
       s.outer->scroll_y = 7;
       s.outer->Invalidate();
     }},
    {"layer plus", [](Scene& s) { s.list.Front()->SetPlusX(13); }},
    {"motion starts",
     [](Scene& s) {
       UseFakeFilms(s.list);
       s.target->StartMotion("5.nmt");
     }},
    {"field written by the kind", [](Scene& s) { s.target->WriteLeftDirectly(70); }},
};

TEST(PlacementWalk, ChangeDuringDrawIsSeenByTheRestOfTheStep) {
  for (const MidWalkCase& c : kCases) {
    SCOPED_TRACE(c.what);
    Scene s;
    const TSceneRect target_before = s.target->ScreenBounds();
    const TSceneRect inner_before = s.inner->ScreenBounds();
    TSceneRect target_seen, inner_seen;
    s.changer->change = [&] { c.change(s); };
    // Asked for before and after the change, so that stale places would be at hand.
    s.changer->after_change = [&] {
      target_seen = s.target->ScreenBounds();
      inner_seen = s.inner->ScreenBounds();
    };
    s.list.Front()->InvalidateAll();
    s.list.DrawStep();
    ASSERT_FALSE(s.changer->change) << "the changer was not drawn";
    // The change took effect, and what the rest of the step saw is what is kept now.
    EXPECT_FALSE(s.target->ScreenBounds() == target_before &&
                 s.inner->ScreenBounds() == inner_before);
    EXPECT_EQ(target_seen, s.target->ScreenBounds());
    EXPECT_EQ(inner_seen, s.inner->ScreenBounds());
  }
}

TEST(PlacementWalk, ChangeDuringHitTestIsSeenByTheRestOfTheTest) {
  // The layer moves everything under the pointer while the changer, tested first, is tested.
  Scene s;
  s.changer->SetPriority(10);
  s.changer->SetProp(PR_IGNOREMOUSE, TPropValue::Int(IM_ALL));
  s.outer->SetProp(PR_IGNOREMOUSE, TPropValue::Int(IM_ALL));
  s.target->SetProp(PR_IGNOREMOUSE, TPropValue::Int(IM_ALL));
  s.other_parent->SetVisible(false);
  s.inner->SetHandler(chMouseIn, "in");
  const TSceneRect inner = s.inner->ScreenBounds();
  s.list.SetPointer(inner.Left + 40, inner.Top);
  Frame(s.list);
  EXPECT_TRUE(Drain(s.list).empty());
  s.changer->change = [&] { s.list.Front()->SetPlusX(40); };
  s.list.SetPointer(inner.Left + 40, inner.Top + 1);
  Frame(s.list);
  EXPECT_EQ(Drain(s.list), std::vector<std::string>{"in"});
}

} // namespace
} // namespace nova::test
