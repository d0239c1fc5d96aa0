// SPDX-License-Identifier: MIT
#include "select_fixture.h"
#include "text/label_list.h"

namespace nova::test {
namespace {

constexpr int kRow = 10; // font height with no border or shadow: one item row

class Menus : public SelectScene {
protected:
  void SetUp() override {
    SelectScene::SetUp();
    // Seven 10 × 10 scroll cells: up, up lit, down, down lit, track, track lit, thumb.
    WriteWisp("scroll.wsp", {SolidFrame(70, 10, 0x808080, 100, false)});
  }
  // An open menu at (0, 0) with `items` ("A", "B", …), rows of 10 pixels.
  TNovaMenu* NewMenu(int items, int rows, const std::string& name = "m") {
    auto* m = CreateComponent<TNovaMenu>(&List());
    m->SetName(name);
    m->SetParent(List().Front());
    m->SetProp(PR_FONTHEIGHT, TPropValue::Int(kRow));
    m->SetProp(PR_MARGINX, TPropValue::Int(10));
    m->SetProp(PR_ROWCOUNT, TPropValue::Int(rows));
    std::string text;
    for (int i = 0; i < items; ++i)
      text += (i ? "\r\n" : "") + std::string(1, static_cast<char>('A' + i));
    m->SetProp(PR_TEXT, TPropValue::Str(text));
    for (int id : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT, PR_ONOPENING, PR_ONOPENED, PR_ONCLOSING,
                   PR_ONCLOSED})
      m->SetProp(id, TPropValue::Str(PropInfo(id).name + 5));
    m->SetPlayState(TNovaMenu::psOpen);
    PointAt(150, 100);
    Drain(List());
    return m;
  }
  void Tick(int ms = 16) {
    RunState().GameClock += ms;
    Frame(List(), ms);
  }
};

TEST_F(Menus, ItemsComeFromTheTextLines) {
  struct Case {
    const char* text;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"\r\nA\r\nB\r\n", {"A", "B"}},
      {"A", {"A"}},
      {"", {}},
      {"\x01\tA\r\n\r\nB\t", {"A", "", "B"}},
      {"A\nB\rC", {"A", "B", "C"}},
  };
  TNovaMenu* m = NewMenu(0, 3);
  for (const Case& c : cases) {
    m->SetProp(PR_TEXT, TPropValue::Str(c.text));
    EXPECT_EQ(m->GetProp(PR_COUNT).i, static_cast<int>(c.items.size())) << c.text;
    for (size_t i = 0; i < c.items.size(); ++i)
      EXPECT_EQ(m->GetItemText(static_cast<int>(i)), c.items[i]);
    EXPECT_EQ(m->GetItemText(static_cast<int>(c.items.size())), "");
  }
}

TEST_F(Menus, HoverQueuesMapEventsAndForgetsTheChoice) {
  TNovaMenu* m = NewMenu(3, 3);
  m->SetProp(PR_INDEX, TPropValue::Int(1));
  ASSERT_GT(m->GetWidth(), 20);
  ASSERT_EQ(m->GetHeight(), 3 * kRow);
  PointAt(12, 15);
  EXPECT_EQ(m->HoverItem(), 1);
  EXPECT_EQ(m->GetProp(PR_INDEX).i, -1) << "a hover change forgets the last choice";
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"MAPIN B 1"});
  PointAt(12, 25);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"MAPIN C 2"})
      << "moving between items announces only the new item";
  PointAt(12, 5);
  PointAt(12, 15);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"MAPIN A 0"}) << "one map-in waits at a time";
  PointAt(150, 100);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"MAPOUT B 1"}) << "with the last item";
  EXPECT_EQ(m->HoverItem(), -1);
}

TEST_F(Menus, ArrowKeysMoveTheHoverWithoutChoosing) {
  struct Case {
    int start, key, want;
  };
  const Case cases[] = {
      {-1, 40, 0}, // Down from nothing: the first item
      {-1, 38, 7}, // Up from nothing: the last item
      {0, 38, 0},  // Up on the first item stays
      {7, 40, 7},  // Down on the last item stays
      {1, 34, 6},  // Page Down: a page of rows further
      {6, 33, 1},  // Page Up
      {2, 33, 0},  // Page Up stops at the first
  };
  for (const Case& c : cases) {
    List().Reset();
    TNovaMenu* m = NewMenu(8, 5);
    m->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
    List().SetFocus(m);
    PointAt(150, 100);
    m->SetHoverItem(c.start);
    Drain(List());
    Key(c.key);
    EXPECT_EQ(m->HoverItem(), c.want) << c.start << " key " << c.key;
    if (c.start != c.want) {
      EXPECT_LE(m->TopIndex(), c.want) << "the hover item is scrolled into view";
      EXPECT_GT(m->TopIndex() + m->Rows(), c.want);
    }
    for (const std::string& e : Drain(List()))
      EXPECT_NE(e.rfind("SELECT", 0), 0u) << "keys that move never choose";
  }
}

TEST_F(Menus, ScrollBarWidensTheMenuAndLimitsTheTopIndex) {
  TNovaMenu* fits = NewMenu(5, 5, "fits");
  fits->SetProp(PR_SCROLLSOURCE, TPropValue::Str("scroll.wsp"));
  Tick();
  TNovaMenu* scrolls = NewMenu(8, 5, "scrolls");
  scrolls->SetProp(PR_SCROLLSOURCE, TPropValue::Str("scroll.wsp"));
  Tick();
  EXPECT_FALSE(fits->ScrollBarShown());
  EXPECT_TRUE(scrolls->ScrollBarShown());
  EXPECT_EQ(scrolls->GetWidth(), fits->GetWidth() + 10) << "one scroll cell wider";
  EXPECT_EQ(scrolls->GetHeight(), 5 * kRow);
  scrolls->SetProp(PR_TOPINDEX, TPropValue::Int(7));
  EXPECT_EQ(scrolls->GetProp(PR_TOPINDEX).i, 3);
  scrolls->SetProp(PR_TOPINDEX, TPropValue::Int(-2));
  EXPECT_EQ(scrolls->GetProp(PR_TOPINDEX).i, 0);
  fits->SetProp(PR_TOPINDEX, TPropValue::Int(2));
  EXPECT_EQ(fits->GetProp(PR_TOPINDEX).i, 0);
}

TEST_F(Menus, HeldScrollArrowRepeatsWhileThePointerStaysOnIt) {
  TNovaMenu* m = NewMenu(12, 5);
  m->SetProp(PR_SCROLLSOURCE, TPropValue::Str("scroll.wsp"));
  Tick();
  const int x = m->GetWidth() - 5, y = 5 * kRow - 5; // on the down arrow
  List().SetPointer(x, y);
  List().SetButtonHeld(false, true);
  List().PressButton(false);
  Tick();
  EXPECT_EQ(m->TopIndex(), 1) << "one row at once";
  int elapsed = 0;
  while (elapsed + 16 < 300) {
    Tick();
    elapsed += 16;
  }
  EXPECT_EQ(m->TopIndex(), 1);
  Tick();
  EXPECT_EQ(m->TopIndex(), 2) << "the second row after 300 ms";
  Tick();
  Tick();
  EXPECT_EQ(m->TopIndex(), 2);
  Tick();
  EXPECT_EQ(m->TopIndex(), 3) << "then every 50 ms, counted from the 300 ms mark";
  // Off the arrow the scrolling rests, the capture stays.
  List().SetPointer(x, 5);
  for (int i = 0; i < 20; ++i)
    Tick();
  EXPECT_EQ(m->TopIndex(), 3);
  EXPECT_NE(List().Front()->capture & kCaptureLeft, 0);
  List().SetPointer(x, y);
  for (int i = 0; i < 4; ++i)
    Tick();
  EXPECT_EQ(m->TopIndex(), 4) << "back on the arrow it goes on at the next step";
  List().SetButtonHeld(false, false);
  Tick();
  EXPECT_EQ(List().Front()->capture & kCaptureLeft, 0);
}

TEST_F(Menus, OpeningAndClosingFollowTheDelay) {
  TNovaMenu* m = NewMenu(4, 4);
  const int full = m->GetHeight();
  m->SetPlayState(TNovaMenu::psOpening);
  EXPECT_EQ(m->Phase(), 0) << "opening an open menu does nothing";
  m->SetPlayState(TNovaMenu::psClosed);
  EXPECT_EQ(m->GetHeight(), 0);
  EXPECT_EQ(Drain(List()), (std::vector<std::string>{"CLOSING", "CLOSED"}));
  m->SetPlayState(TNovaMenu::psClosing);
  EXPECT_EQ(m->Phase(), 0) << "closing a closed menu does nothing";

  // Delay 0: open on the third update.
  m->SetPlayState(TNovaMenu::psOpening);
  Tick();
  Tick();
  EXPECT_NE(m->Phase(), 0);
  Tick();
  EXPECT_EQ(m->Phase(), 0);
  EXPECT_EQ(m->GetHeight(), full);
  EXPECT_EQ(Drain(List()), (std::vector<std::string>{"OPENING", "OPENED"}));

  // Delay 100: the height shrinks linearly, then the menu waits for its events to run.
  m->SetProp(PR_DELAY, TPropValue::Int(100));
  m->SetPlayState(TNovaMenu::psClosing);
  EXPECT_EQ(m->GetProp(PR_ORIGHEIGHT).i, full);
  Tick(); // phase 200
  Tick(50);
  EXPECT_EQ(m->GetHeight(), full - full / 2);
  EXPECT_TRUE(m->EventsSuppressed());
  Tick(60);
  EXPECT_EQ(Drain(List()), (std::vector<std::string>{"CLOSING", "CLOSED"}));
  Tick();
  EXPECT_LT(List().IndexOf(m), 0) << "destroyed once its closing events are gone";
}

TEST_F(Menus, AutoScrapChoiceClosesAfterItsEventsRan) {
  TNovaMenu* m = NewMenu(3, 3);
  m->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  Click(12, 15);
  EXPECT_EQ(vars_.sel_str, "B");
  EXPECT_EQ(vars_.sel_index, 1);
  EXPECT_EQ(m->GetProp(PR_INDEX).i, 1);
  for (int i = 0; i < 4; ++i)
    Tick();
  EXPECT_GE(List().IndexOf(m), 0) << "its closing events still wait";
  std::vector<std::string> events = Drain(List());
  events.erase(std::remove_if(events.begin(), events.end(),
                              [](const std::string& e) { return e.rfind("MAP", 0) == 0; }),
               events.end());
  EXPECT_EQ(events, (std::vector<std::string>{"SELECT B 1", "CLOSING", "CLOSED"}));
  Tick();
  EXPECT_LT(List().IndexOf(m), 0);
}

TEST_F(Menus, RightClickAndEscapeCancel) {
  for (bool escape : {false, true}) {
    List().Reset();
    TNovaMenu* m = NewMenu(3, 3);
    m->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
    m->SetProp(PR_ONRBTNDOWN, TPropValue::Str("rdown"));
    m->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
    List().SetFocus(m);
    vars_.sel_str = "x";
    vars_.sel_index = 5;
    if (escape) {
      Key(27);
    } else {
      List().SetPointer(12, 5);
      List().PressButton(true);
      Frame(List());
    }
    EXPECT_EQ(vars_.sel_str, escape ? "x" : "");
    EXPECT_EQ(vars_.sel_index, escape ? 5 : -1);
    for (int i = 0; i < 4; ++i)
      Tick();
    EXPECT_EQ(m->GetPlayState(), TNovaMenu::psClosing);
    for (const std::string& e : Drain(List()))
      EXPECT_NE(e, "rdown 12 5") << "the right click was the menu's";
    Tick();
    EXPECT_LT(List().IndexOf(m), 0);
  }
}

TEST_F(Menus, DrawsBackgroundAndHoverHighlight) {
  TNovaMenu* m = NewMenu(3, 3);
  m->SetProp(PR_COLOR, TPropValue::Int(Rgb(0, 0, 128)));
  m->SetProp(PR_HOVERCOLOR, TPropValue::Int(Rgb(0, 128, 0)));
  m->SetProp(PR_FONTCOLOR, TPropValue::Int(Rgb(255, 255, 255)));
  m->SetHoverItem(1);
  List().Front()->InvalidateAll();
  List().DrawStep();
  EXPECT_EQ(At(1, 2), Rgb(0, 0, 128));
  EXPECT_EQ(At(2, 15), Rgb(0, 128, 0)) << "the hover row";
  EXPECT_EQ(At(m->GetWidth() + 2, 2), 0u);
  // Half open: nothing of it below its current height.
  m->SetProp(PR_HEIGHT, TPropValue::Int(15));
  List().ClearDirty();
  List().Front()->InvalidateAll();
  List().DrawStep();
  EXPECT_EQ(At(1, 14), Rgb(0, 128, 0));
  EXPECT_EQ(At(1, 22), 0u);
}

TEST_F(Menus, SaveFormRoundTripsAndReadsOlderLayouts) {
  TNovaMenu* m = NewMenu(4, 3);
  m->SetItemChecked(2, true);
  m->SetProp(PR_DELAY, TPropValue::Int(70));
  m->SetProp(PR_BORDERSOURCECC, TPropValue::Str("scroll.wsp"));
  m->SetProp(PR_BORDERHALIGNC, TPropValue::Int(HA_CENTER));
  m->SetProp(PR_HALIGN, TPropValue::Int(HA_RIGHT));
  m->SetProp(PR_FONTHOVERCOLOR, TPropValue::Int(0x00FF00));
  const std::vector<uint8_t> bytes = SaveOf(*m);
  TNovaMenu* copy = Reload<TNovaMenu>(bytes);
  EXPECT_EQ(SaveOf(*copy), bytes);
  EXPECT_TRUE(copy->GetItemChecked(2));
  EXPECT_EQ(copy->GetProp(PR_DELAY).i, 70);
  EXPECT_EQ(copy->GetProp(PR_BORDERHALIGNC).i, HA_CENTER);
  EXPECT_EQ(copy->GetHeight(), m->GetHeight());

  for (int version : {103, 131, 134}) {
    BinaryWriter w;
    WriteControlHead(w, version, "old", 0, 0);
    for (int list = 0; list < 2; ++list) {
      TZpLabelList labels;
      labels.size = kRow;
      BinaryWriter lw;
      labels.Save(lw);
      std::vector<uint8_t> lb = lw.Take();
      if (version < 122)
        lb.resize(lb.size() - 8); // no shadow fields
      w.Bytes(lb);
    }
    w.String("X\r\nY"); // text
    for (int32_t v : {0, 255, 0, 0, 0, -1, 2})
      w.I32(v); // line space, alpha, margins, border width and colour, rows
    for (int k = 0; k < 9; ++k) {
      w.String("");
      w.U8(0);
      w.U8(0);
    }
    w.String(""); // scroll source
    w.String(""); // check source
    w.I32(0);     // top index
    if (version < 104)
      w.U8(7); // the byte older layouts kept here
    w.U8(HA_CENTER);
    w.U8(0);
    w.U8(1); // check marks of the two items
    w.String("sel");
    w.U8(0);   // paused
    w.I32(-1); // index
    w.I32(0);  // phase
    if (version > 130)
      w.String("idle");
    if (version > 133) {
      w.String("in");
      w.String("out");
    }
    w.I32(0);  // delay
    w.I32(-1); // hover colour
    w.U8(0);   // auto scrap
    w.U8(1);   // right-click scrap
    w.U8(0);   // play state
    for (int i = 0; i < 4; ++i)
      w.String("");
    const std::vector<uint8_t> old = w.Take();
    BinaryReader r(old, "old menu");
    auto* loaded = CreateComponent<TNovaMenu>(&List());
    loaded->Load(r, version);
    EXPECT_TRUE(r.at_end()) << version;
    EXPECT_EQ(loaded->GetProp(PR_HALIGN).i, HA_CENTER) << version;
    EXPECT_TRUE(loaded->GetItemChecked(1));
    EXPECT_EQ(loaded->GetProp(PR_ONSELECT).s, "sel");
    EXPECT_EQ(loaded->GetProp(PR_ONIDLE).s, version > 130 ? "idle" : "");
    EXPECT_EQ(loaded->GetProp(PR_ONMAPOUT).s, version > 133 ? "out" : "");
    EXPECT_EQ(loaded->GetHeight(), 2 * kRow) << "laid out again";
  }
}

} // namespace
} // namespace nova::test
