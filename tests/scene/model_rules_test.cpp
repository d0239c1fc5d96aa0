// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

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
  FakeFilms films;
  TNovaBaseList list(640, 480);
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

} // namespace
} // namespace nova::test
