// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "scene_fixture.h"

namespace nova::test {
namespace {

// The queue as the call manager drives it: start the next waiting record at its call depth,
// remove a depth's records when returning from it.
TEST(EventQueue, LevelsAndRemoval) {
  TNovaBaseList list(64, 48);
  auto* a = NewBox(list, "a", 0, 0, 1, 1);
  auto* b = NewBox(list, "b", 0, 0, 1, 1);
  TTimerList& q = list.Events();
  q.Queue(a, "p1", {}, PR_ONIDLE);
  q.Queue(b, "p2", {"x"}, PR_ONIDLE);
  q.Queue(a, "p3", {}, PR_ONLBTNUP);
  EXPECT_EQ(q.FindWaiting(a, PR_ONLBTNUP), 2);
  EXPECT_EQ(q.FindWaiting(b, PR_ONLBTNUP), -1);
  ASSERT_EQ(q.NextWaiting(), 0);
  q.Start(0, 1);
  EXPECT_EQ(q.NextWaiting(), 1);
  q.Start(1, 2);
  EXPECT_EQ(q.FindWaiting(a, PR_ONIDLE), 0) << "started records still count for the once rule";
  q.RemoveLevel(2);
  EXPECT_EQ(q.Count(), 2);
  q.Start(q.NextWaiting(), 3);
  q.RemoveLevelsUpTo(2);
  ASSERT_EQ(q.Count(), 1);
  EXPECT_EQ(q.At(0).handler, "p3");
  q.Queue(b, "p4", {}, PR_ONIDLE);
  q.RemoveStarted();
  ASSERT_EQ(q.Count(), 1);
  EXPECT_EQ(q.At(0).handler, "p4");
  q.Queue(a, "p5", {}, PR_ONIDLE);
  a->FreeLater();
  list.UpdateStep();
  ASSERT_EQ(q.Count(), 1) << "waiting records of a destroyed sender go";
  EXPECT_EQ(q.At(0).component, b);
  q.Clear();
  EXPECT_EQ(q.NextWaiting(), -1);
}

TEST(EventQueue, IdleEventsOncePerFrameWhileWaiting) {
  TNovaBaseList list(64, 48);
  auto* box = NewBox(list, "a", 0, 0, 1, 1);
  box->SetProp(PR_ONIDLE, TPropValue::Str("idle"));
  auto* parked = NewBox(list, "p", 0, 0, 1, 1);
  parked->SetProp(PR_ONIDLE, TPropValue::Str("parked"));
  auto* cabinet = CreateComponent<TNovaCabinet>(&list);
  cabinet->SetParent(list.Front());
  parked->SetParent(cabinet);
  list.UpdateStep();
  list.UpdateStep();
  EXPECT_EQ(Drain(list), std::vector<std::string>{"idle"}) << "once rule; none in a cabinet";
  list.UpdateStep();
  EXPECT_EQ(Drain(list), std::vector<std::string>{"idle"});
}

} // namespace
} // namespace nova::test
