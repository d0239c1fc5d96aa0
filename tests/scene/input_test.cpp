// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "scene_fixture.h"

namespace nova::test {
namespace {

class SceneInput : public ::testing::Test {
protected:
  void SetUp() override { ResetRunState(); }
  TNovaBaseList list{640, 480};
};

TEST_F(SceneInput, KeyRepeatOnTheFrameClock) {
  auto* box = NewBox(list, "k", 0, 0, 10, 10);
  box->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
  box->SetProp(PR_ONKEYDOWN, TPropValue::Str("down"));
  box->SetProp(PR_ONKEYREPEAT, TPropValue::Str("rep"));
  box->SetProp(PR_ONKEYUP, TPropValue::Str("up"));
  Frame(list);
  ASSERT_EQ(list.Focus(), box);
  list.SetKeyState(65, true);
  list.SetKeyClicked(65);
  // Frames of 10 ms: the first repeat 300 ms after the press, then every 50 ms.
  std::vector<int> repeat_times;
  std::vector<std::string> first;
  for (int t = 0; t <= 420; t += 10) {
    Frame(list, 10);
    std::vector<std::string> ev = Drain(list);
    if (t == 0)
      first = ev;
    if (t > 0 && !ev.empty())
      repeat_times.push_back(t);
    if (t == 0)
      EXPECT_TRUE(list.KeyClickedBefore(65));
    if (t == 10)
      EXPECT_FALSE(list.KeyClickedBefore(65));
  }
  EXPECT_EQ(first, (std::vector<std::string>{"down 65", "rep 65"}));
  // The timer runs out in the input step 300 ms of frames after the press; the repeat event
  // goes out with the frame after that.
  EXPECT_EQ(repeat_times, (std::vector<int>{300, 350, 400}));
  EXPECT_TRUE(list.KeyDown(65));
  list.SetKeyState(65, false);
  Frame(list, 10);
  EXPECT_EQ(Drain(list), std::vector<std::string>{"up 65"});
}

TEST_F(SceneInput, PressAndReleaseInOneFrame) {
  auto* box = NewBox(list, "k", 0, 0, 10, 10);
  box->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
  box->SetProp(PR_ONKEYDOWN, TPropValue::Str("down"));
  box->SetProp(PR_ONKEYUP, TPropValue::Str("up"));
  Frame(list);
  list.SetKeyState(13, true);
  list.SetKeyState(13, false);
  list.SetKeyState(32, true);
  Frame(list);
  EXPECT_EQ(Drain(list), (std::vector<std::string>{"down 13 32", "up 13"}));
  list.ReleaseKeys();
  EXPECT_FALSE(list.KeyDown(32));
}

TEST_F(SceneInput, AcceptSetsDecideWhoIsHit) {
  auto* under = NewBox(list, "under", 0, 0, 100, 100);
  auto* over = NewBox(list, "over", 0, 0, 100, 100);
  over->SetPriority(1);
  auto* inner = NewBox(list, "inner", 50, 50, 10, 10, over);
  struct Case {
    uint8_t mode;
    uint32_t accept;
    TNovaControl* want_at_10;
  } cases[] = {
      {IM_NONE, kAcceptLeftPress, over},
      {IM_ALL, kAcceptLeftPress, under},
      {IM_ALL, kAcceptHover, under},
      {IM_RCLICK, kAcceptLeftPress, over},
      {IM_RCLICK, kAcceptRightPress, under},
      {IM_LCLICK, kAcceptLeftPress, under},
      {IM_CLICK, kAcceptHover, over},
      {IM_CLICK, kAcceptRightPress, under},
      {77, kAcceptHover, under},
  };
  for (const Case& c : cases) {
    over->SetProp(PR_IGNOREMOUSE, TPropValue::Int(c.mode));
    EXPECT_EQ(list.Front()->HitTest(10, 10, c.accept), c.want_at_10) << int(c.mode);
    EXPECT_EQ(list.Front()->HitTest(55, 55, c.accept), inner) << "children of any mode are hit";
  }
  over->SetVisible(false);
  EXPECT_EQ(list.Front()->HitTest(55, 55, kAcceptHover), under);
  EXPECT_EQ(list.Front()->HitTest(100, 100, kAcceptHover), list.Front());
}

TEST_F(SceneInput, ClickTakenByComponentAndDragCapture) {
  auto* box = NewBox(list, "b", 10, 10, 20, 20);
  box->SetProp(PR_ONLBTNDOWN, TPropValue::Str("down"));
  box->SetProp(PR_ONLBTNUP, TPropValue::Str("up"));
  box->SetProp(PR_ONMOUSEMOVE, TPropValue::Str("move"));
  box->SetProp(PR_ONMOUSEIN, TPropValue::Str("in"));
  box->SetProp(PR_ONMOUSEOUT, TPropValue::Str("out"));
  list.SetPointer(15, 16);
  Frame(list);
  EXPECT_EQ(Drain(list), (std::vector<std::string>{"in", "move 5 6"}));
  list.SetButtonHeld(false, true);
  list.PressButton(false);
  Frame(list);
  EXPECT_FALSE(list.Front()->left_click) << "the box took the press";
  EXPECT_EQ(Drain(list), std::vector<std::string>{"down 5 6"});
  // Dragging outside: moves and the release still go to the box, with negative positions.
  list.SetPointer(0, 2);
  Frame(list);
  EXPECT_EQ(Drain(list), std::vector<std::string>{"move -10 -8"});
  list.SetButtonHeld(false, false);
  Frame(list);
  EXPECT_EQ(Drain(list), std::vector<std::string>{"up -10 -8"});
  Frame(list);
  EXPECT_EQ(Drain(list), std::vector<std::string>{"out"});
  // A press on the bare layer stays a click of the scene.
  list.PressButton(false);
  Frame(list);
  EXPECT_TRUE(list.Front()->left_click);
}

TEST_F(SceneInput, OnceRuleAndHandlersWithoutEvents) {
  auto* box = NewBox(list, "b", 0, 0, 50, 50);
  box->SetProp(PR_ONMOUSEMOVE, TPropValue::Str("move"));
  for (int i = 0; i < 3; ++i) {
    list.SetPointer(i + 1, 1);
    Frame(list);
  }
  ASSERT_EQ(list.Events().Count(), 1) << "a waiting move event blocks the next ones";
  list.Events().Start(0, 1);
  list.SetPointer(9, 9);
  Frame(list);
  EXPECT_EQ(list.Events().Count(), 1) << "a started event of the same type still blocks";
  list.Events().RemoveLevel(1);
  list.SetPointer(8, 8);
  Frame(list);
  EXPECT_EQ(Drain(list), std::vector<std::string>{"move 8 8"});
  // A left press on a component without handler is still taken.
  list.PressButton(false);
  Frame(list);
  EXPECT_FALSE(list.Front()->left_click);
  Frame(list); // the release of that press ends the capture
  // A paused box does not take it.
  box->SetProp(PR_PAUSED, TPropValue::Flag(true));
  list.PressButton(false);
  Frame(list);
  EXPECT_FALSE(list.Front()->left_click) << "not taken, but cleared as an accepted press";
}

TEST_F(SceneInput, WheelAndFocusHandOver) {
  auto* a = NewBox(list, "a", 0, 0, 50, 50);
  auto* b = NewBox(list, "b", 60, 0, 50, 50);
  for (TNovaBox* x : {a, b}) {
    x->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
    x->SetProp(PR_ONFOCUSIN, TPropValue::Str(x->GetName() + "+"));
    x->SetProp(PR_ONFOCUSOUT, TPropValue::Str(x->GetName() + "-"));
  }
  a->SetProp(PR_ONWHEELDOWN, TPropValue::Str("wheel"));
  Frame(list);
  EXPECT_EQ(list.Focus(), b) << "the last focusable child is found first";
  EXPECT_EQ(Drain(list), std::vector<std::string>{"b+"});
  list.SetPointer(10, 10);
  list.TurnWheel(true);
  Frame(list);
  EXPECT_TRUE(list.KeyDown(VkmWheelDown));
  EXPECT_EQ(Drain(list), std::vector<std::string>{"wheel"});
  list.PressButton(false);
  Frame(list);
  EXPECT_EQ(list.Focus(), a);
  EXPECT_EQ(Drain(list), (std::vector<std::string>{"b-", "a+"}));
  a->SetVisible(false);
  Frame(list);
  EXPECT_EQ(list.Focus(), b) << "hiding the focus hands it on";
  EXPECT_TRUE(list.FocusByName("b"));
  EXPECT_FALSE(list.FocusByName("a")) << "hidden controls cannot take the focus";
}

TEST_F(SceneInput, RightClickClosesSelectionFirst) {
  struct TClosingMenu : TNovaMenu {
    using TNovaMenu::TNovaMenu;
    bool TakeRightClick() override {
      ++taken;
      return true;
    }
    int taken = 0;
  };
  auto* menu = CreateComponent<TClosingMenu>(&list);
  menu->SetParent(list.Front());
  menu->SetBounds(0, 0, 10, 10);
  auto* box = NewBox(list, "b", 0, 0, 100, 100);
  box->SetProp(PR_ONRBTNDOWN, TPropValue::Str("rdown"));
  list.SetPointer(50, 50);
  list.PressButton(true);
  Frame(list);
  EXPECT_EQ(menu->taken, 0) << "only menus with right-click scrap";
  EXPECT_EQ(Drain(list), std::vector<std::string>{"rdown 50 50"});
  list.SetButtonHeld(true, false);
  Frame(list);
  Drain(list);
  menu->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
  list.PressButton(true);
  Frame(list);
  EXPECT_EQ(menu->taken, 1);
  EXPECT_TRUE(Drain(list).empty());
}

TEST_F(SceneInput, DeletingFromOwnHandlerAndDestroyedSenders) {
  auto* box = NewBox(list, "b", 0, 0, 50, 50);
  box->SetProp(PR_ONLBTNDOWN, TPropValue::Str("down"));
  box->SetProp(PR_ONMOUSEMOVE, TPropValue::Str("move"));
  list.SetButtonHeld(false, true);
  list.PressButton(false);
  Frame(list);
  ASSERT_EQ(list.Events().Count(), 2);
  // The handler of the first event runs and deletes its own sender.
  list.Events().Start(0, 1);
  box->FreeLater();
  EXPECT_EQ(list.Events().At(1).component, box) << "waiting events run until the update step";
  list.UpdateStep();
  EXPECT_EQ(list.Events().Count(), 1) << "the waiting event of the destroyed sender is dropped";
  EXPECT_EQ(list.Events().At(0).component, nullptr) << "the running one keeps no dangling sender";
  list.SetButtonHeld(false, false);
  Frame(list);
  EXPECT_EQ(list.Front()->pointer_target, list.Front());
}

} // namespace
} // namespace nova::test
