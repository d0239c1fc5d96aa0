// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "graphics/dibx.h"
#include "mes_fixture.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

class MesTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    RunState().FrameDelta = 16;
    scene.SetScreenSurface(&screen);
  }
  TPropValue Get(TNovaObject& o, int id) { return o.GetProp(id); }

  TDIBX screen{160, 120, 32};
  TNovaBaseList scene{160, 120};
};

// Writes a message box record of data version `v` as older players did: the common head, the
// control part and the box's own fields, each field only from the version that has it.
std::vector<uint8_t> OldBoxRecord(int v, const TZpWord& engine) {
  BinaryWriter w;
  w.String("old");
  w.I32(7); // priority
  if (v > 103)
    w.I32(0); // priority offset
  if (v >= 120)
    w.String("tag");
  for (int32_t x : {5, 6, 120, 80, 0, 0})
    w.I32(x);
  w.U8(0); // posZoomed
  if (v >= 130)
    for (int i = 0; i < 4; ++i)
      w.I32(0);
  if (v > 103) {
    for (int i = 0; i < 4; ++i)
      w.I32(0);
    w.U8(0); // aniPaused
  }
  w.U8(1);  // visible
  w.I32(0); // colour
  for (int32_t x : {0, 0, 1, 1})
    w.I32(x);
  w.U8(0);      // ignoreMouse
  w.String(""); // cursor
  w.String(""); // OnMouseMove
  if (v > 101)
    w.String(""); // OnMouseIn
  for (int i = 0; i < 7; ++i)
    w.String("");
  if (v > 117) {
    w.U8(0);
    for (int i = 0; i < 5; ++i)
      w.String("");
  }
  w.I32(0); // children
  // The layout engine's settings lose their newer tail in older data.
  BinaryWriter settings;
  engine.SaveSettings(settings);
  std::vector<uint8_t> s = settings.Take();
  s.resize(s.size() - (v < 110 ? 13 : v == 110 ? 9 : v <= 140 ? 1 : 0));
  w.Bytes(s);
  // Message data: one reference as parallel arrays, then (newer) no layout entries.
  w.I32(1);
  w.String("p.nsb");
  w.I32(3);
  w.I32(-1);
  w.I32(120);
  w.I32(80);
  if (v > 112) {
    w.I32(0);
    w.I32(0);
  }
  w.U8(1); // history recall flag
  if (v > 112)
    w.I32(-4); // history offset
  w.String("markup");
  w.I32(0);  // page index
  w.I32(2);  // scroll
  w.I32(99); // stored int
  for (const char* s8 : {"a", "b", "c", "playing", "start", "end", "link", "notify"})
    w.String(s8);
  w.U8(1);    // paused
  w.U8(0);    // text paused
  w.I32(128); // text delay
  w.U8(1);    // read tracking
  w.String("p.nsb");
  w.I32(3); // command index
  if (v > 103)
    w.String("idle");
  if (v >= 120)
    w.U8(1); // capture link
  w.I32(0);  // page states
  return w.Take();
}

TEST_F(MesTest, OlderRecordsLoadTheirFieldsAndKeepDefaultsForTheRest) {
  TZpWord engine;
  engine.settings.default_size = 20;
  engine.settings.default_shadow_color = 0x123456;
  engine.settings.default_border = 2;
  engine.settings.fixed_cell = false;
  // What the box's own fields below say: paused, wait rate 128, a notify handler.
  engine.settings.paused = true;
  engine.settings.speed = 128;
  engine.settings.events_on = true;
  struct Case {
    int version;
    bool idle, capture, offset, shadow_colour, border, fixed_cell;
  };
  const Case cases[] = {
      {103, false, false, false, false, false, false},
      {110, true, false, false, true, false, false},
      {113, true, false, true, true, true, false},
      {120, true, true, true, true, true, false},
      {143, true, true, true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TNovaBaseList list(160, 120);
    const std::vector<uint8_t> bytes = OldBoxRecord(c.version, engine);
    auto* box = CreateComponent<TNovaMes>(&list);
    BinaryReader r(bytes, "box");
    box->Load(r, c.version);
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(Get(*box, PR_FONTHEIGHT).i, 20);
    EXPECT_EQ(Get(*box, PR_FONTSHADOWCOLOR).i, c.shadow_colour ? 0x123456 : 0);
    EXPECT_EQ(Get(*box, PR_FONTBORDER).i, c.border ? 2 : 0);
    EXPECT_EQ(box->Engine().settings.fixed_cell, !c.fixed_cell);
    EXPECT_EQ(Get(*box, PR_ONIDLE).s, c.idle ? "idle" : "");
    EXPECT_EQ(Get(*box, PR_CAPTURELINK).f, c.capture);
    EXPECT_EQ(box->HistoryOffset(), c.offset ? -4 : 0);
    EXPECT_EQ(Get(*box, PR_ONLINK).s, "link");
    EXPECT_EQ(Get(*box, PR_TEXTDELAY).i, 128);
    EXPECT_TRUE(Get(*box, PR_PAUSED).f);
    EXPECT_EQ(box->SourcePage(), "p.nsb");
    EXPECT_EQ(box->CommandIndex(), 3);
    ASSERT_EQ(box->MesData().References().size(), 1u);
    EXPECT_EQ(box->MesData().References()[0].page_index, -1);
    // The newest layout is also exactly what the box writes.
    if (c.version == 143) {
      BinaryWriter again;
      box->Save(again);
      ASSERT_EQ(again.size(), bytes.size());
      const auto diff = std::mismatch(bytes.begin(), bytes.end(), again.data().begin());
      EXPECT_EQ(diff.first - bytes.begin(), static_cast<ptrdiff_t>(bytes.size()));
    }
  }
}

TEST_F(MesTest, PropertiesMapToTheLayoutEngine) {
  TNovaMes* box = NewMes(scene, "m", 100, 40);
  struct Case {
    int id;
    TPropValue write, read;
  };
  const Case cases[] = {
      {PR_FONTHEIGHT, TPropValue::Int(24), TPropValue::Int(24)},
      {PR_FONTCOLOR, TPropValue::Int(0xFF), TPropValue::Int(0xFF)},
      {PR_FONTLINKCOLOR, TPropValue::Int(0x1234), TPropValue::Int(0x1234)},
      {PR_FONTHOVERCOLOR, TPropValue::Int(7), TPropValue::Int(7)},
      {PR_FONTBORDERCOLOR, TPropValue::Int(8), TPropValue::Int(8)},
      {PR_FONTSHADOWCOLOR, TPropValue::Int(9), TPropValue::Int(9)},
      {PR_FONTBORDER, TPropValue::Int(2), TPropValue::Int(2)},
      {PR_FONTSHADOW, TPropValue::Int(3), TPropValue::Int(3)},
      {PR_LINESPACE, TPropValue::Int(4), TPropValue::Int(4)},
      {PR_ALPHA, TPropValue::Int(128), TPropValue::Int(128)},
      {PR_DELAY, TPropValue::Int(-5), TPropValue::Int(0)}, // negative delays are stored as 0
      {PR_ANTIALIAS, TPropValue::Flag(false), TPropValue::Flag(false)},
      {PR_TEXTDELAY, TPropValue::Int(300), TPropValue::Int(300)},
      {PR_CAPTURELINK, TPropValue::Flag(true), TPropValue::Flag(true)},
      {PR_ONPLAYSTART, TPropValue::Str("s"), TPropValue::Str("s")},
      {PR_CARETX, TPropValue::Int(50), TPropValue::Int(0)},           // read only
      {PR_COUNT, TPropValue::Int(5), TPropValue::Int(0)},             // read only
      {PR_BORDERSOURCETL, TPropValue::Str("x"), TPropValue::Str("")}, // not a box property
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    box->SetProp(c.id, c.write);
    EXPECT_EQ(box->GetProp(c.id), c.read);
  }
  const ZpWordSettings& s = box->Engine().settings;
  EXPECT_EQ(s.default_size, 24);
  EXPECT_EQ(s.link_color, 0x1234);
  EXPECT_EQ(s.level, 0);
  EXPECT_EQ(s.speed, 300);
  EXPECT_EQ(s.wrap_width, 100);
  EXPECT_EQ(s.page_height, 40);
  box->SetProp(PR_ANTIALIAS, TPropValue::Flag(true));
  EXPECT_EQ(s.level, 3);
  // The font name changes only while the box allows it.
  box->SetProp(PR_FONTCHANGEABLED, TPropValue::Flag(false));
  const std::string before = box->GetProp(PR_FONTNAME).s;
  box->SetProp(PR_FONTNAME, TPropValue::Str("other"));
  EXPECT_EQ(box->GetProp(PR_FONTNAME).s, before);
  box->SetProp(PR_FONTCHANGEABLED, TPropValue::Flag(true));
  box->SetProp(PR_FONTNAME, TPropValue::Str("other"));
  EXPECT_EQ(box->GetProp(PR_FONTNAME).s, "other");
  // Only the box's notify handler switches inline events on.
  box->SetProp(PR_ONNOTIFY, TPropValue::Str("n.nsb"));
  EXPECT_TRUE(s.events_on);
  box->SetProp(PR_ONNOTIFY, TPropValue::Str(""));
  EXPECT_FALSE(s.events_on);
}

TEST_F(MesTest, TextPagesStartEventAndIndex) {
  TNovaMes* box = NewMes(scene, "m", 100, 12);
  box->SetProp(PR_ONPLAYSTART, TPropValue::Str("start.nsb"));
  EXPECT_EQ(box->GetProp(PR_INDEX).i, -1);
  EXPECT_EQ(box->PlayState(), 2);
  box->SetProp(PR_TEXT, TPropValue::Str("line one<BR>line two<BR>line three"));
  ASSERT_EQ(box->GetProp(PR_COUNT).i, 3); // one row per page at this height
  EXPECT_EQ(box->GetProp(PR_INDEX).i, 0);
  EXPECT_EQ(box->GetProp(PR_TEXT).s, "line one\r\n") << "the text of the shown page";
  EXPECT_EQ(Drain(scene), std::vector<std::string>{"start.nsb 0"});
  // Indexes outside the pages, or the page shown, change nothing.
  for (int32_t i : {-1, 3, 0})
    box->SetProp(PR_INDEX, TPropValue::Int(i));
  EXPECT_EQ(box->GetProp(PR_INDEX).i, 0);
  EXPECT_TRUE(Drain(scene).empty());
  box->SetProp(PR_INDEX, TPropValue::Int(2));
  EXPECT_EQ(box->GetProp(PR_INDEX).i, 2);
  EXPECT_EQ(Drain(scene), std::vector<std::string>{"start.nsb 0"});
}

TEST_F(MesTest, APageWaitsUntilItsStartHandlerRuns) {
  TNovaMes* box = NewMes(scene, "m", 100, 40);
  box->SetProp(PR_ONPLAYSTART, TPropValue::Str("start"));
  box->SetProp(PR_ONPLAYING, TPropValue::Str("playing"));
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
  box->SetProp(PR_TEXT, TPropValue::Str("ab"));
  for (int i = 0; i < 5; ++i)
    Frame(scene);
  ASSERT_EQ(scene.Events().Count(), 1) << "only the start event, nothing revealed";
  scene.Events().Start(0, 1); // the call manager begins the handler
  for (int i = 0; i < 3; ++i)
    Frame(scene);
  std::vector<std::string> playing;
  for (int i = 0; i < scene.Events().Count(); ++i)
    if (scene.Events().At(i).handler == "playing")
      playing.push_back(scene.Events().At(i).params.at(0));
  EXPECT_EQ(playing, std::vector<std::string>{"ab"});
}

TEST_F(MesTest, RevealReportsCharactersAndTheEnd) {
  TNovaMes* box = NewMes(scene, "m", 100, 40);
  box->SetProp(PR_ONPLAYING, TPropValue::Str("playing"));
  box->SetProp(PR_ONPLAYEND, TPropValue::Str("end"));
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(256));
  box->SetProp(PR_TEXT, TPropValue::Str("<WAIT VALUE=20>ab</WAIT>"));
  EXPECT_EQ(box->PlayState(), 0);
  EXPECT_TRUE(box->GetProp(PR_PLAYING).f);
  std::string revealed;
  bool ended = false;
  for (int frame = 0; frame < 20 && !ended; ++frame) {
    Frame(scene);
    for (const std::string& e : Drain(scene)) {
      if (e.rfind("playing ", 0) == 0)
        revealed += e.substr(8);
      ended = ended || e == "end";
    }
  }
  EXPECT_EQ(revealed, "ab");
  EXPECT_TRUE(ended);
  EXPECT_EQ(box->PlayState(), 2);
  EXPECT_FALSE(box->GetProp(PR_PLAYING).f);
}

// Pixels inside `r` that differ from black.
int Lit(const TCustomDIBX& surface, TSceneRect r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      n += surface.GetPixel(x, y) != 0 ? 1 : 0;
  return n;
}

TEST_F(MesTest, DrawsRevealedTextInsideItsBoundsOnly) {
  TNovaMes* box = NewMes(scene, "m", 60, 20);
  box->SetBounds(30, 40, 60, 20);
  box->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
  box->SetProp(PR_FONTHEIGHT, TPropValue::Int(16));
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
  box->SetProp(PR_TEXT, TPropValue::Str("WWWWWWWWWWWW"));
  screen.Clear(0);
  scene.DrawStep();
  EXPECT_EQ(Lit(screen, {0, 0, 160, 120}), 0) << "nothing is shown before the page starts";
  for (int i = 0; i < 4; ++i)
    Frame(scene);
  scene.DrawStep();
  EXPECT_GT(Lit(screen, {30, 40, 90, 60}), 0);
  EXPECT_EQ(Lit(screen, {0, 0, 160, 40}) + Lit(screen, {0, 60, 160, 120}) +
                Lit(screen, {0, 40, 30, 60}) + Lit(screen, {90, 40, 160, 60}),
            0)
      << "text that overflows the box is cut at its bounds";
}

TEST_F(MesTest, InlineEventsReachTheNotifyHandlerAndPauseFreezesTheReveal) {
  TNovaMes* box = NewMes(scene, "m", 100, 40);
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
  box->SetProp(PR_TEXT, TPropValue::Str("a<EVENT VALUE=\"x\\ny\">b"));
  box->SetProp(PR_PAUSED, TPropValue::Flag(true));
  for (int i = 0; i < 6; ++i)
    Frame(scene);
  EXPECT_EQ(box->PlayState(), 0) << "paused: nothing more is revealed";
  box->SetProp(PR_PAUSED, TPropValue::Flag(false));
  // Without a notify handler the event tag passes silently.
  for (int i = 0; i < 6; ++i)
    Frame(scene);
  EXPECT_TRUE(Drain(scene).empty());
  EXPECT_EQ(box->PlayState(), 2);

  box->SetProp(PR_ONNOTIFY, TPropValue::Str("notify"));
  box->SetProp(PR_TEXT, TPropValue::Str("a<EVENT VALUE=\"x\\ny\">b"));
  std::vector<std::string> events;
  for (int i = 0; i < 8; ++i) {
    Frame(scene);
    for (std::string& e : Drain(scene))
      events.push_back(std::move(e));
  }
  EXPECT_EQ(events, std::vector<std::string>{"notify x y"}) << "one parameter per line";
}

TEST_F(MesTest, LinksTakeThePointerAndTheClick) {
  TNovaMes* box = NewMes(scene, "m", 100, 20);
  box->SetBounds(10, 10, 100, 20);
  box->SetProp(PR_ONLINK, TPropValue::Str("link"));
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
  box->SetProp(PR_TEXT, TPropValue::Str("<A HREF=\"go\">ab</A>cd"));
  for (int i = 0; i < 6; ++i)
    Frame(scene);
  ASSERT_EQ(box->PlayState(), 2) << "links answer only once the page is shown whole";
  Drain(scene);
  // Characters are 10 pixels wide: "ab" covers x 10-29, "cd" x 30-49.
  struct Case {
    int x;
    bool capture;
    bool hit;
  };
  const Case cases[] = {{15, false, true}, {35, false, true}, {15, true, true}, {35, true, false}};
  for (const Case& c : cases) {
    box->SetProp(PR_CAPTURELINK, TPropValue::Flag(c.capture));
    EXPECT_EQ(box->HitTest(c.x, 15, kAcceptHover) == box, c.hit) << c.x << " " << c.capture;
  }
  scene.SetPointer(15, 15);
  box->MouseMove();
  TNovaBase* layer = scene.Front();
  layer->left_click = true;
  box->LButtonDown();
  EXPECT_FALSE(layer->left_click) << "a link click is not a click of the scene";
  EXPECT_EQ(Drain(scene), std::vector<std::string>{"link ab go"});
  // Away from the link the default handling applies.
  scene.SetPointer(35, 15);
  box->MouseMove();
  layer->left_click = true;
  box->LButtonDown();
  EXPECT_TRUE(Drain(scene).empty());
}

TEST_F(MesTest, AfterLoadShowsTheSamePageAndRevealState) {
  TNovaMes* box = NewMes(scene, "m", 100, 12);
  box->SetProp(PR_TEXTDELAY, TPropValue::Int(256));
  box->SetProp(PR_TEXT, TPropValue::Str("<WAIT VALUE=30>abcdef<BR>second</WAIT>"));
  box->SetProp(PR_INDEX, TPropValue::Int(0));
  ASSERT_EQ(box->PageCount(), 2);
  for (int i = 0; i < 4; ++i)
    Frame(scene);
  BinaryWriter saved;
  box->Save(saved);
  BinaryWriter state;
  box->Engine().SaveRevealState(*box->CurrentPage(), state);

  TNovaBaseList other(160, 120);
  auto* copy = CreateComponent<TNovaMes>(&other);
  BinaryReader r(saved.data(), "box");
  copy->Load(r, 143);
  RefreshMessageBoxes(other);
  ASSERT_NE(copy->CurrentPage(), nullptr);
  EXPECT_EQ(copy->PageIndex(), 0);
  EXPECT_EQ(copy->PageCount(), 2);
  BinaryWriter restored;
  copy->Engine().SaveRevealState(*copy->CurrentPage(), restored);
  EXPECT_EQ(restored.data(), state.data());
}

TEST_F(MesTest, DamagedRecordsFailCleanly) {
  TNovaMes* box = NewMes(scene, "m", 100, 12);
  box->SetProp(PR_TEXT, TPropValue::Str("abc"));
  Frame(scene);
  BinaryWriter w;
  box->Save(w);
  const std::vector<uint8_t> good = w.Take();
  for (size_t n = 0; n < good.size(); ++n) {
    TNovaBaseList list(16, 16);
    auto* copy = CreateComponent<TNovaMes>(&list);
    BinaryReader r(std::span(good.data(), n), "cut");
    EXPECT_THROW(copy->Load(r, 143), ENovaError) << n;
  }
  // A page-state size that the data merely claims: the block is the record's tail.
  BinaryWriter states;
  box->Engine().SaveRevealState(*box->CurrentPage(), states);
  BinaryWriter claim;
  claim.Bytes(std::span(good.data(), good.size() - 4 - states.size()));
  claim.I32(0x40000000);
  TNovaBaseList list(16, 16);
  auto* copy = CreateComponent<TNovaMes>(&list);
  BinaryReader r(claim.data(), "claim");
  EXPECT_THROW(copy->Load(r, 143), ENovaError);
}

} // namespace
} // namespace nova::test
