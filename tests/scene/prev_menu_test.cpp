// SPDX-License-Identifier: MIT
#include <cstring>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "select_fixture.h"

namespace nova::test {
namespace {

enum { kNormal = 0, kHover = 1, kClicked = 3, kDisabled = 4, kClickOverlay = 9, kSelected = 12 };

TPrevButton Button(const std::string& name, int x, int32_t group = 0) {
  TPrevButton b;
  b.name = name;
  b.x = x;
  b.group = group;
  b.pictures[kNormal] = "n.wsp";
  b.pictures[kHover] = "h.wsp";
  return b;
}

std::string Message(const std::vector<uint8_t>& bytes) {
  try {
    ReadPrevTemplate(bytes, "t.nmt");
  } catch (const ENovaError& e) {
    return SjisToUtf8(e.what());
  }
  return "read";
}

TEST(PrevTemplate, MagicAndVersionsAreChecked) {
  TPrevTemplate t;
  t.buttons.push_back(Button("a", 0));
  std::vector<uint8_t> good = WritePrevTemplate(t);
  const std::string version_error =
      "NovaPreviewMenu:このバージョンのファイル形式には対応していません";
  struct Case {
    const char* what;
    size_t at;
    const char* bytes;
    std::string want;
  };
  const Case cases[] = {
      {"version 107", 12, "107", version_error},
      {"version 099", 12, "099", version_error},
      {"not digits", 12, "1a3", version_error},
      {"magic", 0, "Mova", "NovaPreviewMenu:このファイル形式には対応していません"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::copy(c.bytes, c.bytes + std::strlen(c.bytes), bytes.begin() + static_cast<long>(c.at));
    EXPECT_EQ(Message(bytes), c.want) << c.what;
  }
  EXPECT_EQ(Message({'N', 'o', 'v', 'a'}), "NovaPreviewMenu:このファイル形式には対応していません");
  for (size_t cut = 15; cut < good.size(); ++cut)
    EXPECT_THROW(ReadPrevTemplate(std::span(good.data(), cut), "t.nmt"), ENovaError) << cut;
}

TEST(PrevTemplate, EachVersionReadsItsOwnFields) {
  for (int version = 100; version <= 106; ++version) {
    TPrevTemplate t;
    t.version = version;
    t.width = 50;
    t.height = 20;
    TPrevButton b = Button("a", 3, -2);
    for (int k = 0; k < kPrevPictures; ++k)
      b.pictures[static_cast<size_t>(k)] = "p" + std::to_string(k) + ".wsp";
    b.cursor = "hand.cur";
    t.buttons.push_back(b);
    const TPrevTemplate back = ReadPrevTemplate(WritePrevTemplate(t), "t.nmt");
    ASSERT_EQ(back.buttons.size(), 1u);
    const TPrevButton& r = back.buttons[0];
    auto has = [&](int k) { return !r.pictures[static_cast<size_t>(k)].empty(); };
    EXPECT_EQ(has(4), version > 100) << version;
    EXPECT_EQ(has(5) && has(6), version > 102) << version;
    EXPECT_EQ(has(10) && has(11), version > 101) << version;
    for (int k : {12, 13, 14, 17, 18})
      EXPECT_EQ(has(k), version > 103) << version << " picture " << k;
    EXPECT_EQ(r.group, version > 103 ? -2 : 0);
    EXPECT_EQ(has(15), version > 104);
    EXPECT_EQ(has(16), version > 105);
    EXPECT_EQ(r.cursor, "hand.cur");
    EXPECT_EQ(r.name, "a");
  }
}

TEST(PrevTemplate, PathsAreTakenFromTheTemplatesFolder) {
  struct Case {
    const char* file;
    const char* name;
    const char* want;
  };
  const Case cases[] = {
      {"ui\\menu\\t.nmt", "a.wsp", "ui\\menu\\a.wsp"},
      {"ui\\menu\\t.nmt", "..\\a.wsp", "ui\\a.wsp"},
      {"ui\\menu\\t.nmt", "..\\..\\..\\a.wsp", "a.wsp"},
      {"ui\\menu\\t.nmt", "\\root.wsp", "\\root.wsp"},
      {"ui\\menu\\t.nmt", "c:\\x.wsp", "c:\\x.wsp"},
      {"ui\\menu\\t.nmt", "a", "a"},
      {"ui\\menu\\t.nmt", "", ""},
      {"t.nmt", "a.wsp", "a.wsp"},
      // A double-byte character whose second byte is a backslash is no folder break.
      {"\x95\x5c\\t.nmt", "a.wsp", "\x95\x5c\\a.wsp"},
      {"\x95\x5c.nmt", "a.wsp", "a.wsp"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveTemplatePath(c.file, c.name), c.want) << c.file << " " << c.name;
}

class PrevMenus : public SelectScene {
protected:
  void SetUp() override {
    SelectScene::SetUp();
    std::filesystem::create_directories(dir_ / "ui");
    WriteWisp("ui/n.wsp", {SolidFrame(20, 20, 0x0000C8, 100, false)});
    WriteWisp("ui/h.wsp", {SolidFrame(20, 20, 0x00C800, 100, false)});
    WriteWisp("ui/s.wsp", {SolidFrame(20, 20, 0xC8C800, 100, false)});
    WriteWisp("ui/d.wsp", {SolidFrame(20, 20, 0x404040, 100, false)});
    WriteWisp("ui/c.wsp",
              {SolidFrame(20, 20, 0xC80000, 50, false), SolidFrame(20, 20, 0xC80000, 50, false)});
  }
  TNovaPrevMenu* NewMenu(const std::vector<TPrevButton>& buttons) {
    TPrevTemplate t;
    t.width = 100;
    t.height = 40;
    t.buttons = buttons;
    WriteFile("ui/menu.nmt", WritePrevTemplate(t));
    auto* m = CreateComponent<TNovaPrevMenu>(&List());
    m->SetName("pm");
    m->SetParent(List().Front());
    m->SetProp(PR_SOURCE, TPropValue::Str("ui\\menu.nmt"));
    for (int id : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT, PR_ONPLAYEND})
      m->SetProp(id, TPropValue::Str(PropInfo(id).name + 5));
    PointAt(150, 100);
    Drain(List());
    return m;
  }
  std::string Shown(TNovaPrevMenu* m, int i) { return m->ItemImage(i)->GetProp(PR_SOURCE).s; }
  int Frames(int n) {
    for (int i = 0; i < n; ++i)
      Frame(List());
    return n;
  }
};

TEST_F(PrevMenus, LoadingBuildsItemImagesFromTheTemplate) {
  TPrevButton a = Button("first", 0), b = Button("second", 40);
  b.y = 10;
  b.capture_mask = 1;
  b.cursor = "hand.cur";
  TNovaPrevMenu* m = NewMenu({a, b});
  EXPECT_EQ(m->GetWidth(), 100);
  EXPECT_EQ(m->GetHeight(), 40);
  EXPECT_EQ(m->GetProp(PR_COUNT).i, 2);
  EXPECT_EQ(m->GetProp(PR_TEXT).s, "first\r\nsecond");
  ASSERT_EQ(m->GetChildCount(), 2);
  TNovaPrevImages* img = m->ItemImage(1);
  EXPECT_EQ(img->Parent(), m);
  EXPECT_TRUE(img->IsSystem()) << "item images are never saved";
  EXPECT_EQ(img->Left(), 40);
  EXPECT_EQ(img->Top(), 10);
  EXPECT_EQ(img->GetProp(PR_SOURCE).s, "ui\\n.wsp");
  EXPECT_TRUE(img->GetProp(PR_REPEAT).f);
  EXPECT_TRUE(img->GetProp(PR_CAPTUREMASK).f);
  EXPECT_EQ(img->GetProp(PR_CURSOR).s, "ui\\hand.cur");
  EXPECT_EQ(m->GetItemText(1), "second");
  EXPECT_EQ(m->GetItemText(2), "");
  EXPECT_FALSE(m->GetItemEnabled(-1));
  m->SetItemEnabled(5, false); // out of range: nothing
  m->SetProp(PR_SOURCE, TPropValue::Str("missing.nmt"));
  EXPECT_EQ(m->GetProp(PR_COUNT).i, 0);
  EXPECT_EQ(m->GetChildCount(), 0) << "the old items are freed";
  EXPECT_EQ(m->GetWidth(), 0);
}

TEST_F(PrevMenus, ClickAnimationThenPlayEnd) {
  TPrevButton a = Button("a", 0);
  a.pictures[kClicked] = "c.wsp";
  a.pictures[kClickOverlay] = "c.wsp";
  TNovaPrevMenu* m = NewMenu({a});
  PointAt(5, 5);
  EXPECT_EQ(Shown(m, 0), "ui\\h.wsp");
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"MAPIN a 0"});
  Click(5, 5);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"SELECT a 0"});
  EXPECT_EQ(vars_.sel_str, "a");
  EXPECT_EQ(m->RunningAnimations(), 2) << "the picture and its overlay";
  EXPECT_EQ(Shown(m, 0), "ui\\c.wsp");
  ASSERT_NE(m->Overlay(0), nullptr);
  Frames(8);
  EXPECT_EQ(m->RunningAnimations(), 0);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"PLAYEND a 0"});
  EXPECT_EQ(Shown(m, 0), "ui\\h.wsp") << "back to the hovered picture";
  EXPECT_EQ(m->Overlay(0), nullptr);
}

TEST_F(PrevMenus, ClickDuringTheAnimationSkipsIt) {
  TPrevButton a = Button("a", 0);
  a.pictures[kClicked] = "c.wsp";
  TNovaPrevMenu* m = NewMenu({a});
  PointAt(5, 5);
  Click(5, 5);
  Drain(List());
  ASSERT_EQ(m->RunningAnimations(), 1);
  Click(5, 5);
  EXPECT_EQ(m->RunningAnimations(), 0);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"PLAYEND a 0"}) << "no second choice";
}

TEST_F(PrevMenus, RadioAndToggleGroups) {
  std::vector<TPrevButton> buttons;
  for (int i = 0; i < 3; ++i) {
    buttons.push_back(Button("r" + std::to_string(i), 25 * i, 1));
    buttons.back().pictures[kSelected] = "s.wsp";
  }
  buttons.push_back(Button("t", 75, -1));
  TNovaPrevMenu* m = NewMenu(buttons);
  auto chosen = [&] {
    std::vector<bool> out;
    for (int i = 0; i < 4; ++i)
      out.push_back(m->GetItemSelected(i));
    return out;
  };
  EXPECT_EQ(chosen(), (std::vector<bool>{true, false, false, false}))
      << "a radio group nobody marked defaults to its first visible item";
  EXPECT_EQ(Shown(m, 0), "ui\\s.wsp");
  m->SetItemVisible(0, false);
  EXPECT_EQ(chosen(), (std::vector<bool>{false, true, false, false}));
  m->SetItemVisible(0, true);
  PointAt(55, 5);
  Click(55, 5);
  Frames(10);
  EXPECT_EQ(chosen(), (std::vector<bool>{false, false, true, false}));
  Drain(List());
  Click(55, 5);
  Frames(10);
  EXPECT_EQ(chosen(), (std::vector<bool>{false, false, true, false}));
  EXPECT_TRUE(Drain(List()).empty()) << "a chosen radio item takes no second choice";
  PointAt(80, 5);
  Click(80, 5);
  Frames(10);
  EXPECT_TRUE(m->GetItemSelected(3));
  Click(80, 5);
  Frames(10);
  EXPECT_FALSE(m->GetItemSelected(3)) << "a toggle item lets go";
  m->SetItemSelected(1, true);
  EXPECT_TRUE(m->GetItemSelected(1));
  EXPECT_FALSE(m->GetItemSelected(2)) << "the first marked item of a group is its choice";
  EXPECT_EQ(m->GetItemGroup(3), -1);
}

TEST_F(PrevMenus, DisabledItemsShowTheirPictureAndTakeNoChoice) {
  TPrevButton a = Button("a", 0);
  a.pictures[kDisabled] = "d.wsp";
  TNovaPrevMenu* m = NewMenu({a});
  m->SetItemEnabled(0, false);
  EXPECT_EQ(Shown(m, 0), "ui\\d.wsp");
  PointAt(5, 5);
  Click(5, 5);
  for (const std::string& e : Drain(List()))
    EXPECT_EQ(e.rfind("SELECT", 0), std::string::npos);
}

TEST_F(PrevMenus, KeysWalkTheVisibleItems) {
  struct Case {
    int start, key, want;
  };
  const Case cases[] = {{-1, 39, 0}, {-1, 37, 2}, {0, 37, 2}, {2, 40, 0}, {0, 39, 2}};
  for (const Case& c : cases) {
    List().Reset();
    TNovaPrevMenu* m = NewMenu({Button("a", 0), Button("b", 25), Button("c", 50)});
    m->SetItemVisible(1, false);
    m->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
    List().SetFocus(m);
    m->SetHoverItem(c.start);
    Key(c.key);
    EXPECT_EQ(m->HoverItem(), c.want) << c.start << " key " << c.key;
  }
}

TEST_F(PrevMenus, AutoScrapAndRightClickDeleteTheMenu) {
  TNovaPrevMenu* m = NewMenu({Button("a", 0)});
  m->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  PointAt(5, 5);
  Click(5, 5);
  EXPECT_LT(List().IndexOf(m), 0) << "no animation: deleted at once";

  m = NewMenu({Button("a", 0)});
  m->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
  List().SetPointer(5, 5);
  List().PressButton(true);
  Frame(List());
  EXPECT_EQ(vars_.sel_str, "");
  EXPECT_EQ(vars_.sel_index, -1);
  EXPECT_LT(List().IndexOf(m), 0);
}

TEST_F(PrevMenus, SaveFormRestoresTheItemFlags) {
  std::vector<TPrevButton> buttons = {Button("a", 0, 1), Button("b", 25, 1), Button("c", 50)};
  TNovaPrevMenu* m = NewMenu(buttons);
  m->SetItemEnabled(2, false);
  m->SetItemVisible(0, false);
  m->SetItemSelected(1, true);
  const std::vector<uint8_t> bytes = SaveOf(*m);
  TNovaPrevMenu* copy = Reload<TNovaPrevMenu>(bytes);
  EXPECT_EQ(SaveOf(*copy), bytes);
  EXPECT_FALSE(copy->GetItemEnabled(2));
  EXPECT_FALSE(copy->GetItemVisible(0));
  EXPECT_FALSE(copy->ItemImage(0)->Visible());
  EXPECT_TRUE(copy->GetItemSelected(1));

  for (int version : {126, 131, 135}) {
    BinaryWriter w;
    WriteControlHead(w, version, "old", 0, 0);
    w.String("ui\\menu.nmt");
    w.U8(0);
    w.U8(0);
    w.U8(0);
    for (int i = 0; i < 5; ++i)
      w.String("");
    // Flag arrays that the version keeps; one stored flag more than items is ignored.
    if (version > 126) {
      w.I32(4);
      w.Bytes(std::vector<uint8_t>{1, 0, 1, 0});
    }
    if (version > 131) {
      w.I32(1);
      w.U8(0);
    }
    const std::vector<uint8_t> old = w.Take();
    BinaryReader r(old, "old preview menu");
    auto* loaded = CreateComponent<TNovaPrevMenu>(&List());
    loaded->Load(r, version);
    EXPECT_TRUE(r.at_end()) << version;
    EXPECT_EQ(loaded->GetItemEnabled(1), version <= 126) << version;
    EXPECT_EQ(loaded->GetItemVisible(0), version <= 131) << version;
    EXPECT_TRUE(loaded->GetItemVisible(1));
  }
}

} // namespace
} // namespace nova::test
