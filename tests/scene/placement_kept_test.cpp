// SPDX-License-Identifier: MIT
// Screen places are kept from one step to the next: every write that moves a control, or
// anything placed inside it, must drop what was kept. Each case compares the kept places with
// places computed afresh (the scene with keeping switched off).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "image_fixture.h"
#include "scene/prop_rows.h"
#include "scene/prop_table.h"

namespace nova::test {
namespace {

struct Place {
  TSceneRect bounds, area, clip;
  int32_t left_in_parent, top_in_parent;
  bool in_cabinet;
  bool operator==(const Place&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Place& p) {
  return os << "bounds " << p.bounds.Left << "," << p.bounds.Top << "," << p.bounds.Right << ","
            << p.bounds.Bottom << " area " << p.area.Left << "," << p.area.Top << ","
            << p.area.Right << "," << p.area.Bottom << " clip " << p.clip.Left << "," << p.clip.Top
            << "," << p.clip.Right << "," << p.clip.Bottom << " in parent " << p.left_in_parent
            << "," << p.top_in_parent << " cabinet " << p.in_cabinet;
}

Place Read(const TNovaControl& c) {
  return {c.ScreenBounds(), TNovaControl::ChildArea(c),
          c.ScreenClip(),   c.LeftInParent(),
          c.TopInParent(),  c.IsInCabinet()};
}

// The kept places of `controls` (filled first, so that a later step finds them kept) must equal
// places computed afresh.
void ExpectKeptIsFresh(TNovaBaseList& list, const std::vector<TNovaControl*>& controls) {
  std::vector<Place> kept;
  for (const TNovaControl* c : controls)
    kept.push_back(Read(*c));
  list.SetKeepPlacements(false);
  for (size_t i = 0; i < controls.size(); ++i)
    EXPECT_EQ(kept[i], Read(*controls[i])) << controls[i]->GetName();
  list.SetKeepPlacements(true);
  for (const TNovaControl* c : controls)
    Read(*c);
}

// A whole frame, so that whatever the steps keep is kept.
void Step(TNovaBaseList& list) {
  Frame(list);
  list.Front()->InvalidateAll();
  list.DrawStep();
  list.ClearDirty();
}

// A value different from the property's present one, of its type.
TPropValue Changed(TNovaObject& obj, int id, const std::string& other_parent) {
  const TPropInfo& info = PropInfo(id);
  TPropValue now = TPropValue::Int(0);
  if (obj.PropTable().FindGet(id))
    now = obj.GetProp(id);
  switch (info.type) {
  case ptInt:
    return TPropValue::Int(now.type == ptInt ? now.i + 17 : 17);
  case ptReal:
    return TPropValue::Real(now.type == ptReal ? now.r * 1.5L + 0.25L : 1.75L);
  case ptFlag:
    return TPropValue::Flag(now.type == ptFlag ? !now.f : true);
  case ptStr:
    break;
  }
  if (id == PR_PARENT)
    return TPropValue::Str(other_parent);
  if (id == PR_SOURCE)
    return TPropValue::Str("big.wsp");
  return TPropValue::Str("ab\ncd");
}

class PlacementKept : public ImageScene {
protected:
  void SetUp() override {
    ImageScene::SetUp();
    WriteWisp("pic.wsp", [] {
      std::vector<TWispFrame> v;
      v.push_back(SolidFrame(24, 16, Rgb(200, 0, 0), 100, false));
      return v;
    }());
    WriteWisp("big.wsp", [] {
      std::vector<TWispFrame> v;
      v.push_back(SolidFrame(40, 30, Rgb(0, 200, 0), 100, false));
      return v;
    }());
    UseFakeFilms(List());
  }

  // A parent box, `kind` inside it with the kind's picture, and inside that a box and a
  // picture that keeps its place in its parent's picture.
  struct Tree {
    TNovaControl* parent;
    TNovaControl* other_parent;
    TNovaControl* target;
    TNovaControl* box;
    TNovaControl* image;
    std::vector<TNovaControl*> All() const { return {parent, other_parent, target, box, image}; }
  };
  Tree Build(uint8_t kind) {
    Tree t{};
    t.parent = NewBox(List(), "parent", 10, 12, 120, 90);
    t.other_parent = NewBox(List(), "other", 30, 5, 100, 100);
    TNovaObject* obj = CreateByKind(&List(), kind);
    t.target = obj->AsControl();
    t.target->SetName("target");
    t.target->SetParent(t.parent);
    if (PropInfo(PR_SOURCE).type == ptStr && KindWrites(kind, PR_SOURCE))
      t.target->SetProp(PR_SOURCE, TPropValue::Str("pic.wsp"));
    t.target->SetBounds(7, 9, 30, 20);
    t.target->SetAnchorX(3);
    t.target->SetAnchorY(2);
    t.box = NewBox(List(), "box", 4, 5, 6, 7, t.target);
    auto* image = CreateComponent<TNovaImages>(&List());
    image->SetName("image");
    image->SetParent(t.target);
    image->SetProp(PR_SOURCE, TPropValue::Str("pic.wsp"));
    image->SetBounds(6, 4, 24, 16);
    image->SetProp(PR_POSZOOMED, TPropValue::Flag(true));
    t.image = image;
    return t;
  }
};

// Every property a control kind stores, written through its class's own setter (as the kinds'
// own code does, without the property dispatch), then a step: the target and what lies inside
// it are where a fresh computation puts them.
TEST_F(PlacementKept, EveryWrittenPropertyOfEveryKind) {
  for (int kind = LT_AUDIO; kind <= LT_CABINET; ++kind) {
    {
      TNovaObject* probe = CreateByKind(&List(), static_cast<uint8_t>(kind));
      const bool visual = probe && probe->AsControl();
      List().Destroy(probe);
      if (!visual)
        continue;
    }
    for (int id = 0; id < kNovaPropCount; ++id) {
      const TPropInfo& info = PropInfo(id);
      if (info.access != acRW || !KindWrites(static_cast<uint8_t>(kind), id) || id == PR_NAME)
        continue;
      SCOPED_TRACE(std::string("kind ") + std::to_string(kind) + " " + info.name);
      List().Reset();
      const Tree t = Build(static_cast<uint8_t>(kind));
      const TPropRow* row = t.target->PropTable().FindSet(id);
      if (!row)
        continue;
      Step(List());
      ExpectKeptIsFresh(List(), t.All());
      try {
        row->set(*t.target, Changed(*t.target, id, "other"));
      } catch (const ENovaError&) {
        continue;
      }
      Step(List());
      ExpectKeptIsFresh(List(), t.All());
      if (::testing::Test::HasFailure())
        return;
    }
  }
}

struct MoveCase {
  const char* what;
  void (*change)(TNovaBaseList& list, TNovaControl& parent, TNovaControl& target);
};

const MoveCase kMoves[] = {
    {"parent moves", [](TNovaBaseList&, TNovaControl& p, TNovaControl&) { p.SetLeft(40); }},
    {"parent moves by property",
     [](TNovaBaseList&, TNovaControl& p, TNovaControl&) { p.SetProp(PR_TOP, TPropValue::Int(3)); }},
    {"parent's anchor", [](TNovaBaseList&, TNovaControl& p, TNovaControl&) { p.SetAnchorX(9); }},
    {"layer plus", [](TNovaBaseList& l, TNovaControl&, TNovaControl&) { l.Front()->SetPlusY(11); }},
    {"reparented",
     [](TNovaBaseList& l, TNovaControl&, TNovaControl& t) { t.SetParent(l.FindControl("other")); }},
    {"to the back layer",
     [](TNovaBaseList& l, TNovaControl&, TNovaControl& t) { t.SetParent(l.Back()); }},
    {"parent deleted", [](TNovaBaseList& l, TNovaControl& p, TNovaControl&) { l.FreeLater(&p); }},
    {"cabinet parent",
     [](TNovaBaseList& l, TNovaControl&, TNovaControl& t) {
       auto* cabinet = CreateComponent<TNovaCabinet>(&l);
       cabinet->SetParent(l.Front());
       t.SetParent(cabinet);
     }},
    {"scene size",
     [](TNovaBaseList& l, TNovaControl&, TNovaControl&) { l.SetSceneSize(150, 100); }},
};

TEST_F(PlacementKept, ChildrenFollowWhatMovesAboveThem) {
  for (const MoveCase& m : kMoves) {
    SCOPED_TRACE(m.what);
    List().Reset();
    const Tree t = Build(LT_IMAGES);
    Step(List());
    ExpectKeptIsFresh(List(), t.All());
    m.change(List(), *t.parent, *t.target);
    Step(List());
    std::vector<TNovaControl*> alive;
    for (TNovaControl* c : t.All())
      if (List().IsAlive(c))
        alive.push_back(c);
    ExpectKeptIsFresh(List(), alive);
  }
}

TEST_F(PlacementKept, MotionMovesTheControlAndItsChildrenEveryFrame) {
  const Tree t = Build(LT_IMAGES);
  Step(List());
  t.target->StartMotion("30.nmt");
  const int32_t before = t.box->ScreenLeft();
  for (int frame = 0; frame < 8; ++frame) {
    Step(List());
    ExpectKeptIsFresh(List(), t.All());
  }
  EXPECT_NE(t.box->ScreenLeft(), before);
  t.target->FreeMotion();
  Step(List());
  ExpectKeptIsFresh(List(), t.All());
}

TEST_F(PlacementKept, LoadedSceneIsPlacedAfresh) {
  const Tree t = Build(LT_IMAGES);
  Step(List());
  BinaryWriter w;
  List().SaveScene(w);
  t.target->SetLeft(60);
  t.parent->SetTop(50);
  Step(List());
  const std::vector<uint8_t> bytes = w.Take();
  BinaryReader r(bytes, "scene");
  List().LoadScene(r, 143);
  Step(List());
  std::vector<TNovaControl*> loaded;
  for (const char* name : {"parent", "other", "target", "box", "image"})
    loaded.push_back(List().FindControl(name));
  ASSERT_EQ(loaded[2]->Left(), 7);
  ExpectKeptIsFresh(List(), loaded);
}

} // namespace
} // namespace nova::test
