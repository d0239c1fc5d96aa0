// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "graphics/dibx.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

TEST(Naming, TheEmptyNameIsNobodysNamesake) {
  TNovaBaseList list(640, 480);
  auto* doomed = NewBox(list, "doomed", 0, 0, 4, 4);
  auto* keeper = NewBox(list, "keeper", 0, 0, 4, 4);
  doomed->FreeLater();
  // Renaming to "" must not hand the deleted box a fresh name that would draw it again.
  keeper->SetName("");
  EXPECT_EQ(doomed->GetName(), "");
  EXPECT_EQ(keeper->GetName(), "");
  // A non-visual component named "" does not delete another unnamed component.
  auto* timer = CreateComponent<TNovaTimer>(&list);
  timer->SetName("");
  EXPECT_FALSE(keeper->IsPendingDelete());
  list.UpdateStep();
  EXPECT_FALSE(list.IsRegistered(doomed));
  EXPECT_TRUE(list.IsRegistered(keeper));
  EXPECT_TRUE(list.IsRegistered(timer));
}

TEST(Motion, FrameIndexRoundsHalvesToEven) {
  TNovaBaseList list(640, 480);
  UseFakeFilms(list);
  auto* box = NewBox(list, "m", 100, 0, 5, 5);
  box->StartMotion("40.nmt");
  ASSERT_NE(box->GetMotion(), nullptr);
  // Frames of 25 ms after the two priming frames: 25, 50, 75 … ms are 1.5, 3, 4.5, 6, 7.5-,
  // 9, 10.5 film frames; the halves that land exactly go to the even frame.
  std::vector<int> frames;
  for (int i = 0; i < 9; ++i) {
    Frame(list, 25);
    frames.push_back(box->ScreenLeft() - 100);
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 0, 2, 3, 4, 6, 7, 9, 10}));
}

TEST(Surfaces, ReleaseForgetsTheScreensBackSurface) {
  TNovaBaseList list(32, 24);
  auto back = std::make_unique<TDIBX>(32, 24, 32);
  list.SetScreenSurface(back.get());
  NewBox(list, "b", 0, 0, 8, 8)->SetColor(0xFFFFFF);
  list.ReleaseSurfaces();
  // The display mode changes: the old back surface is gone before the new one is handed in.
  back.reset();
  list.DrawStep();
  EXPECT_EQ(list.ScreenBitCount(), 32);
  auto next = std::make_unique<TDIBX>(32, 24, 16);
  list.SetScreenSurface(next.get());
  list.RestoreSurfaces();
  list.DrawStep();
  EXPECT_EQ(list.ScreenBitCount(), 16);
  EXPECT_NE(next->PixelAddress(0, 0)[0], 0) << "the box is drawn into the new back surface";
  list.SetScreenSurface(nullptr);
}

// The common head of a control with every field set, in the layout of `version`: each field
// is present only from the version that introduced it.
std::vector<uint8_t> ControlHead(int version) {
  BinaryWriter w;
  w.String("head"); // name
  w.I32(4);         // priority
  if (version > 103)
    w.I32(9); // priority offset
  if (version >= 120)
    w.String("tag");
  for (int v : {1, 2, 30, 40, 5, 6})
    w.I32(v); // left, top, width, height, anchorX, anchorY
  w.U8(1);    // posZoomed
  if (version >= 130)
    for (int v : {11, 12, 13, 14})
      w.I32(v); // motionX, motionY, plusX, plusY
  if (version > 103) {
    for (int v : {0, 0, 7, 8})
      w.I32(v); // clip left, top, width, height
    w.U8(1);    // aniPaused
  }
  w.U8(0);   // visible
  w.I32(77); // colour
  for (int v : {0, 0, 1, 1})
    w.I32(v);      // reserved rectangle
  w.U8(IM_LCLICK); // ignoreMouse
  w.String("c.cur");
  w.String("move");
  if (version > 101)
    w.String("in");
  for (int i = 0; i < 7; ++i)
    w.String("h"); // out, l down, l up, r down, r up, wheel down, wheel up
  if (version > 117) {
    w.U8(1); // handleKey
    for (int i = 0; i < 5; ++i)
      w.String("k");
  }
  w.I32(0); // children
  return w.Take();
}

TEST(Persistence, CommonHeadFieldsArriveWithTheirVersions) {
  for (int version : {101, 102, 103, 104, 117, 118, 119, 120, 129, 130}) {
    SCOPED_TRACE(version);
    TNovaBaseList list(64, 48);
    auto* c = CreateComponent<TTestControl>(&list);
    const std::vector<uint8_t> bytes = ControlHead(version);
    BinaryReader r(bytes, "head");
    c->Load(r, version);
    EXPECT_TRUE(r.at_end());
    EXPECT_EQ(c->GetName(), "head");
    EXPECT_EQ(c->GetPriorityOffset(), version > 103 ? 9 : 0);
    EXPECT_EQ(c->GetTag(), version >= 120 ? "tag" : "");
    EXPECT_EQ(c->GetProp(PR_PLUSX).i, version >= 130 ? 13 : 0);
    EXPECT_EQ(c->GetProp(PR_CLIPHEIGHT).i, version > 103 ? 8 : 0);
    EXPECT_EQ(c->AniPaused(), version > 103);
    EXPECT_EQ(c->Handler(chMouseIn), version > 101 ? "in" : "");
    EXPECT_EQ(c->Handler(chWheelUp), "h");
    EXPECT_EQ(c->HandleKey(), version > 117);
    EXPECT_EQ(c->Handler(chFocusOut), version > 117 ? "k" : "");
    EXPECT_EQ(c->IgnoreMouse(), IM_LCLICK);
    // Saving writes the newest layout, which reads back whole.
    BinaryWriter again;
    c->Save(again);
    auto* copy = CreateComponent<TTestControl>(&list);
    BinaryReader back(again.data(), "saved head");
    copy->Load(back, 130);
    EXPECT_TRUE(back.at_end());
    EXPECT_EQ(copy->GetTag(), c->GetTag());
    EXPECT_EQ(copy->GetProp(PR_CLIPHEIGHT), c->GetProp(PR_CLIPHEIGHT));
    EXPECT_EQ(copy->Handler(chFocusOut), c->Handler(chFocusOut));
  }
}

} // namespace
} // namespace nova::test
