// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

constexpr int kVersion = 143;

std::vector<uint8_t> SaveOf(const TNovaBaseList& list) {
  BinaryWriter w;
  list.SaveScene(w);
  return w.Take();
}

void LoadInto(TNovaBaseList& list, const std::vector<uint8_t>& bytes, int version = kVersion) {
  BinaryReader r(bytes, "save.dat GAMESAVEDATA1");
  list.LoadScene(r, version);
}

// Sets every field of the common head to something other than its start value.
void FillHead(TNovaObject* obj, int n) {
  obj->SetName("c" + std::to_string(n));
  obj->SetProp(PR_PRIORITY, TPropValue::Int(n));
  obj->SetProp(PR_TAG, TPropValue::Str("tag" + std::to_string(n)));
  TNovaControl* c = obj->AsControl();
  if (!c)
    return;
  c->SetBounds(n, n + 1, 0, 0);
  // Through the kind's setters: some kinds size themselves (a caption of glyph cells from its
  // text when it loads, so it keeps no size of its own here).
  if (c->GetKind() != LT_CGLABEL) {
    c->SetProp(PR_WIDTH, TPropValue::Int(n + 2));
    c->SetProp(PR_HEIGHT, TPropValue::Int(n + 3));
  }
  c->SetAnchorX(4);
  c->SetAnchorY(5);
  c->SetPosZoomed(true);
  c->SetPlusX(6);
  c->SetPlusY(7);
  c->SetClip(PR_CLIPLEFT, 1);
  c->SetClip(PR_CLIPTOP, 2);
  c->SetClip(PR_CLIPWIDTH, 3);
  c->SetClip(PR_CLIPHEIGHT, 4);
  c->SetProp(PR_ANIPAUSED, TPropValue::Flag(true));
  c->SetColor(0x123456);
  c->SetReserved({9, 8, 7, 6});
  c->SetProp(PR_IGNOREMOUSE, TPropValue::Int(IM_LCLICK));
  c->SetProp(PR_CURSOR, TPropValue::Str("hand.cur"));
  c->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
  for (int h = 0; h < kControlHandlerCount; ++h)
    c->SetHandler(static_cast<TControlHandler>(h), "page" + std::to_string(h) + ":L");
}

TEST(ScenePersistence, RoundTripOfEveryKind) {
  TNovaBaseList list(320, 240);
  auto* holder = NewBox(list, "holder", 1, 2, 300, 200);
  AddEveryKind(list, holder, FillHead);
  auto* hidden = NewBox(list, "\x01system", 0, 0, 1, 1);
  auto* gone = NewBox(list, "gone", 0, 0, 1, 1);
  gone->FreeLater();
  list.SetFront(1, 0, {}, true, 0, 0);
  // At rest: kinds that size themselves from their content (menus) have done so.
  list.UpdateStep();
  // The update queues events of its own (a timer of period 0 fires at once); only the
  // records below are looked at.
  list.Events().Clear();
  list.Events().Queue(holder, "h:L", {"1", "two"}, PR_ONLBTNDOWN);
  list.Events().Queue(nullptr, "orphan", {}, PR_ONIDLE);
  list.Events().Start(1, 3);
  holder->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
  list.SetFocus(holder);
  const std::vector<uint8_t> saved = SaveOf(list);

  TNovaBaseList loaded(10, 10);
  LoadInto(loaded, saved);
  EXPECT_EQ(SaveOf(loaded), saved) << "saving the loaded scene gives the same bytes";
  EXPECT_EQ(loaded.SceneWidth(), 320);
  EXPECT_EQ(loaded.FrontIndex(), 1);
  EXPECT_EQ(loaded.FindByName(std::string("\x01system")), nullptr) << "system components stay";
  EXPECT_EQ(loaded.FindByName("gone"), nullptr);
  EXPECT_EQ(loaded.FindByName("c3")->GetProp(PR_TAG).s, "tag3");
  ASSERT_EQ(loaded.Events().Count(), 2);
  EXPECT_EQ(loaded.Events().At(0).component, loaded.FindByName("holder"));
  EXPECT_EQ(loaded.Events().At(0).params, (std::vector<std::string>{"1", "two"}));
  EXPECT_EQ(loaded.Events().At(1).component, nullptr);
  EXPECT_EQ(loaded.Events().At(1).level, 3);
  EXPECT_EQ(loaded.Focus(), loaded.FindControl("holder"));
  (void)hidden;
}

TEST(ScenePersistence, OlderVersionsReadTheirOwnLayout) {
  // Version 101: no priority offset, tag, motion/plus, clip, mouse-in or key fields.
  BinaryWriter w;
  w.I32(64); // width
  w.I32(48); // height
  w.I32(0);  // front index
  for (int layer = 0; layer < 2; ++layer) {
    w.String("L"); // name (replaced by the fixed layer names)
    w.I32(0);      // priority
    for (int i = 0; i < 6; ++i)
      w.I32(0); // left, top, width, height, anchors
    w.U8(0);    // posZoomed
    w.U8(1);    // visible
    w.I32(-1);  // colour
    for (int i = 0; i < 4; ++i)
      w.I32(0);   // reserved rectangle
    w.U8(0);      // ignoreMouse
    w.String(""); // cursor
    for (int i = 0; i < 8; ++i)
      w.String("");            // move + seven handlers
    w.I32(layer == 0 ? 1 : 0); // child count
    if (layer == 0) {
      w.U8(LT_BOX);
      w.String("old"); // name
      w.I32(7);        // priority
      for (int v : {3, 4, 5, 6, 0, 0})
        w.I32(v);
      w.U8(0);
      w.U8(1);
      w.I32(0xFF);
      for (int i = 0; i < 4; ++i)
        w.I32(0);
      w.U8(0);
      w.String("");
      for (int i = 0; i < 8; ++i)
        w.String(i == 0 ? "mv" : "");
      w.I32(0);   // children
      w.I32(2);   // border width
      w.I32(-1);  // border colour
      w.I32(128); // alpha
    }
  }
  w.I32(0); // non-visual components
  w.I32(1); // events
  w.String("h");
  w.String("old");
  w.U8(PR_ONMOUSEMOVE);
  w.U8(1);  // started (one byte before version 114)
  w.I32(0); // parameters
  TNovaBaseList list(10, 10);
  BinaryReader r(w.data(), "old save");
  list.LoadScene(r, 101);
  EXPECT_TRUE(r.at_end());
  auto* box = dynamic_cast<TNovaBox*>(list.FindByName("old"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->GetPriority(), 7);
  EXPECT_EQ(box->Alpha(), 128);
  EXPECT_EQ(box->Handler(chMouseMove), "mv");
  EXPECT_EQ(list.Events().At(0).level, 1);
}

TEST(ScenePersistence, DamagedRecordsFailCleanlyAtEveryCut) {
  TNovaBaseList list(64, 48);
  auto* a = NewBox(list, "a", 0, 0, 5, 5);
  NewBox(list, "b", 0, 0, 5, 5, a);
  CreateComponent<TNovaTimer>(&list)->SetName("t");
  list.Events().Queue(a, "x", {"p"}, PR_ONIDLE);
  const std::vector<uint8_t> saved = SaveOf(list);
  for (size_t cut = 0; cut < saved.size(); ++cut) {
    std::vector<uint8_t> part(saved.begin(), saved.begin() + static_cast<long>(cut));
    TNovaBaseList target(8, 8);
    EXPECT_THROW(LoadInto(target, part), ENovaError) << cut;
    EXPECT_EQ(target.GetObjectCount(), 0) << "a failed load leaves an empty scene";
  }
}

TEST(ScenePersistence, KindsWithoutClassAndHugeCounts) {
  TNovaBaseList list(64, 48);
  NewBox(list, "a", 0, 0, 5, 5);
  std::vector<uint8_t> saved = SaveOf(list);
  // The child's kind byte follows the front layer's head; find the box's kind byte.
  const size_t at = [&] {
    for (size_t i = 0; i + 6 < saved.size(); ++i)
      if (saved[i] == LT_BOX && saved[i + 1] == 1 && saved[i + 5] == 'a')
        return i;
    return size_t{0};
  }();
  ASSERT_NE(at, 0u);
  for (uint8_t bad : {LT_NONE, LT_AUDIO, LT_MAP, LT_TIMER}) {
    std::vector<uint8_t> damaged = saved;
    damaged[at] = bad;
    TNovaBaseList target(8, 8);
    EXPECT_THROW(LoadInto(target, damaged), ENovaError) << int(bad);
  }
  std::vector<uint8_t> huge = saved;
  huge[at - 4] = 0xFF; // child count 0x...FF
  huge[at - 1] = 0x7F;
  TNovaBaseList target(8, 8);
  EXPECT_THROW(LoadInto(target, huge), ENovaError);
  std::vector<uint8_t> big_scene = saved;
  big_scene[3] = 0x7F; // width 0x7F0000xx
  EXPECT_THROW(LoadInto(target, big_scene), ENovaError);
}

} // namespace
} // namespace nova::test
