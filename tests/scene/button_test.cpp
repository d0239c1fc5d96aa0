// SPDX-License-Identifier: MIT
#include "base/nova_error.h"
#include "expr/nova_parser.h"
#include "select_fixture.h"

namespace nova::test {
namespace {

class Buttons : public SelectScene {
protected:
  void SetUp() override {
    SelectScene::SetUp();
    WriteWisp("n.wsp", {SolidFrame(20, 10, 0x0000C8, 100, false)});
    WriteWisp("h.wsp", {SolidFrame(20, 10, 0x00C800, 100, false)});
    WriteWisp("p.wsp", {SolidFrame(20, 10, 0xC80000, 100, false)});
    WriteWisp("c.wsp",
              {SolidFrame(20, 10, 0xC8C800, 50, false), SolidFrame(20, 10, 0xC8C8C8, 50, false)});
  }
  TNovaButton* NewButton(const std::string& name, int x, int y, bool clicked_picture = true,
                         TNovaControl* parent = nullptr) {
    auto* b = NewImage<TNovaButton>(name, "n.wsp", x, y);
    if (parent)
      b->SetParent(parent);
    b->SetProp(PR_HOVERSOURCE, TPropValue::Str("h.wsp"));
    b->SetProp(PR_PRESSEDSOURCE, TPropValue::Str("p.wsp"));
    if (clicked_picture)
      b->SetProp(PR_CLICKEDSOURCE, TPropValue::Str("c.wsp"));
    b->SetProp(PR_ONNOTIFY, TPropValue::Str("notify:" + name));
    return b;
  }
};

TEST_F(Buttons, GroupKeepsOneSelectedUnlessAllUpIsAllowed) {
  struct Case {
    bool allow_all_up;
    std::vector<int> clicks;
    std::array<bool, 3> want;
  };
  const Case cases[] = {
      {false, {}, {true, false, false}},     // a group starts with its first member chosen
      {false, {0}, {true, false, false}},    // clicking the chosen one changes nothing
      {false, {2}, {false, false, true}},    // another takes the choice
      {false, {2, 1}, {false, true, false}}, //
      {true, {0}, {false, false, false}},    // all up: the chosen one lets go
      {true, {0, 0}, {true, false, false}},  //
      {true, {1, 2}, {false, false, true}},  //
  };
  for (const Case& c : cases) {
    List().Reset();
    TNovaBox* other = NewBox(List(), "other", 0, 0, 100, 100);
    TNovaButton* outsider = NewButton("x", 0, 0, true, other);
    outsider->SetProp(PR_GROUPINDEX, TPropValue::Int(1));
    std::array<TNovaButton*, 3> b{};
    for (int i = 0; i < 3; ++i) {
      b[i] = NewButton("b" + std::to_string(i), 30 * i, 0);
      b[i]->SetProp(PR_GROUPINDEX, TPropValue::Int(1));
    }
    if (c.allow_all_up)
      b[0]->SetProp(PR_ALLOWALLUP, TPropValue::Flag(true));
    for (int i : c.clicks)
      b[i]->Click();
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(b[i]->GetProp(PR_SELECTED).f, c.want[i]) << "button " << i;
      EXPECT_EQ(b[i]->GetStateIndex(), c.want[i] ? 2 : 0) << "a chosen member shows pressed";
      EXPECT_EQ(b[i]->GetProp(PR_ALLOWALLUP).f, c.allow_all_up) << "the whole group shares it";
    }
    EXPECT_TRUE(outsider->Selected()) << "a group is made of siblings only";
  }
}

TEST_F(Buttons, SelectingOutsideAGroupIsRefused) {
  TNovaButton* b = NewButton("b", 0, 0);
  b->SetProp(PR_SELECTED, TPropValue::Flag(true));
  EXPECT_FALSE(b->Selected());
  EXPECT_EQ(b->GetStateIndex(), 0);
}

TEST_F(Buttons, PressAndReleaseOverTheButtonClicks) {
  TNovaButton* b = NewButton("b", 10, 10, false);
  b->SetProp(PR_ONLBTNDOWN, TPropValue::Str("down"));
  PointAt(15, 15);
  EXPECT_EQ(b->GetStateIndex(), 1) << "hover";
  List().SetButtonHeld(false, true);
  List().PressButton(false);
  Frame(List());
  EXPECT_EQ(b->GetStateIndex(), 2);
  EXPECT_FALSE(List().Front()->left_click) << "the press is taken";
  EXPECT_TRUE(Drain(List()).empty()) << "no left-down event from a button";
  List().SetPointer(100, 100);
  Frame(List());
  EXPECT_EQ(b->GetStateIndex(), 0) << "dragged off, the button lets go of its pressed look";
  List().SetPointer(15, 15);
  Frame(List());
  EXPECT_EQ(b->GetStateIndex(), 2);
  List().SetButtonHeld(false, false);
  Frame(List());
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"notify:b"});
  EXPECT_EQ(b->GetStateIndex(), 0);

  // Released elsewhere: no click.
  Click(15, 15);
  Drain(List());
  List().SetButtonHeld(false, true);
  List().PressButton(false);
  Frame(List());
  List().SetPointer(100, 100);
  List().SetButtonHeld(false, false);
  Frame(List());
  EXPECT_TRUE(Drain(List()).empty());
}

TEST_F(Buttons, ClickedAnimationEndsByAutoScrapOrReturnState) {
  struct Case {
    bool clicked_picture, auto_scrap;
    int updates_to_end;
    bool destroyed, play_end;
  };
  const Case cases[] = {
      {true, true, 7, true, false},    // destroyed after the animation, without play-end
      {true, false, 7, false, true},   // play-end, then the state asked for meanwhile
      {false, true, 1, true, false},   // nothing to play: destroyed at the next update
      {false, false, 1, false, false}, // nothing to play: back to normal at once
  };
  for (const Case& c : cases) {
    List().Reset();
    TNovaButton* b = NewButton("b", 0, 0, c.clicked_picture);
    b->SetProp(PR_AUTOSCRAP, TPropValue::Flag(c.auto_scrap));
    b->SetProp(PR_ONPLAYEND, TPropValue::Str("end"));
    b->Click();
    EXPECT_EQ(b->GetStateIndex(), c.clicked_picture ? 3 : 0);
    EXPECT_EQ(b->GetProp(PR_REPEAT).f, !c.clicked_picture) << "the clicked state plays once";
    b->SetState(1);
    Drain(List());
    int updates = 0;
    do {
      Frame(List(), 16);
      ++updates;
    } while (List().IndexOf(b) >= 0 && b->GetStateIndex() == 3 && updates < 50);
    EXPECT_EQ(updates, c.updates_to_end);
    EXPECT_EQ(List().IndexOf(b) < 0, c.destroyed);
    if (!c.destroyed)
      EXPECT_EQ(b->GetStateIndex(), 1) << "the state asked for during the animation follows";
    const std::vector<std::string> events = Drain(List());
    EXPECT_EQ(!events.empty() && events[0] == "end", c.play_end);
  }
}

TEST_F(Buttons, CaptionIsDrawnCentredOverThePicture) {
  TNovaButton* b = NewButton("b", 0, 0);
  b->SetProp(PR_TEXT, TPropValue::Str("I"));
  b->SetProp(PR_FONTHEIGHT, TPropValue::Int(8));
  b->SetProp(PR_FONTCOLOR, TPropValue::Int(Rgb(255, 255, 255)));
  List().DrawStep();
  int inked = 0, first = kW, last = -1;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      if (At(x, y) != Rgb(0, 0, 200)) {
        ++inked;
        first = std::min(first, x);
        last = std::max(last, x);
      }
  EXPECT_GT(inked, 0);
  EXPECT_GE(first, 5) << "a narrow caption sits in the middle";
  EXPECT_LE(last, 14);
  EXPECT_EQ(At(25, 5), 0u) << "nothing outside the button";
}

TEST_F(Buttons, EnterOrSpaceClicksTheFocusedButton) {
  for (int key : {13, 32}) {
    List().Reset();
    TNovaButton* b = NewButton("b", 0, 0, false);
    b->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
    Frame(List());
    ASSERT_EQ(List().Focus(), b);
    Key(key);
    EXPECT_EQ(Drain(List()), std::vector<std::string>{"notify:b"});
  }
}

TEST_F(Buttons, SaveFormRoundTripsAndRestoresTheGroupChoice) {
  TNovaButton* a = NewButton("a", 0, 0);
  TNovaButton* b = NewButton("b", 30, 0);
  a->SetProp(PR_GROUPINDEX, TPropValue::Int(2));
  b->SetProp(PR_GROUPINDEX, TPropValue::Int(2));
  b->Click();
  b->SetProp(PR_ONIDLE, TPropValue::Str("idle"));
  b->SetProp(PR_FONTHEIGHT, TPropValue::Int(20));
  b->SetProp(PR_FONTCOLOR, TPropValue::Int(0x123456));
  const std::vector<uint8_t> bytes = SaveOf(*b);
  TNovaButton* copy = Reload<TNovaButton>(bytes);
  EXPECT_EQ(SaveOf(*copy), bytes);
  for (int id : {PR_HOVERSOURCE, PR_PRESSEDSOURCE, PR_CLICKEDSOURCE, PR_ONNOTIFY, PR_ONIDLE})
    EXPECT_EQ(copy->GetProp(id), b->GetProp(id)) << PropInfo(id).name;
  EXPECT_EQ(copy->GetProp(PR_GROUPINDEX).i, 2);
  EXPECT_TRUE(copy->Selected());
  EXPECT_EQ(copy->GetStateIndex(), 2) << "the selected state comes back through its setter";
  EXPECT_EQ(copy->GetProp(PR_FONTHEIGHT).i, 20);
  EXPECT_EQ(copy->GetProp(PR_FONTCOLOR).i, 0x123456);
}

TEST_F(Buttons, OlderSaveFormsLackIdleClickedAndCaption) {
  for (int version : {103, 104, 136}) {
    BinaryWriter w;
    WriteControlHead(w, version, "old", 5, 6);
    w.I32(200); // alpha
    w.I32(256); // zoom X
    w.I32(0);   // angle
    w.U8(0);    // flip H
    w.U8(0);    // flip V
    w.U8(0);    // capture mask
    if (version > 103)
      w.I32(256);             // zoom Y
    w.I32(0);                 // countdown
    w.I32(0);                 // frame index
    w.I32(0);                 // brightness
    w.U8(0);                  // paused
    TNovaParser().SaveOps(w); // last-frame wait
    w.U8(0);                  // repeat
    w.U8(0);                  // auto scrap
    w.String("n.wsp");        // source
    w.String("");             // play end
    if (version > 103)
      w.String("idle"); // idle (image part)
    w.String("h.wsp");  // hover source
    w.String("p.wsp");  // pressed source
    w.I32(0);           // group
    w.U8(0);            // selected
    w.U8(0);            // allow all up
    w.String("click");  // notify
    if (version > 103) {
      w.String("idle");  // idle
      w.String("c.wsp"); // clicked source
    }
    const std::vector<uint8_t> bytes = w.Take();
    BinaryReader r(bytes, "old button");
    auto* b = CreateComponent<TNovaButton>(&List());
    b->Load(r, version);
    EXPECT_TRUE(r.at_end()) << version;
    EXPECT_EQ(b->GetProp(PR_ALPHA).i, 200);
    EXPECT_EQ(b->GetProp(PR_PRESSEDSOURCE).s, "p.wsp");
    EXPECT_EQ(b->GetProp(PR_ONNOTIFY).s, "click");
    EXPECT_EQ(b->GetProp(PR_CLICKEDSOURCE).s, version > 103 ? "c.wsp" : "");
    EXPECT_EQ(b->GetProp(PR_ONIDLE).s, version > 103 ? "idle" : "");
    EXPECT_EQ(b->GetProp(PR_WIDTH).i, 20) << "the normal picture is loaded again";
  }
}

} // namespace
} // namespace nova::test
