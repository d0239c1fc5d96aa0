// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "scene/prop_table.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

TEST(Naming, DefaultNamesAndNamesakes) {
  TNovaBaseList list(640, 480);
  auto* a = CreateComponent<TNovaBox>(&list);
  auto* b = CreateComponent<TNovaBox>(&list);
  EXPECT_EQ(a->GetName(), "object0");
  EXPECT_EQ(b->GetName(), "object1");
  a->SetName("a");
  b->SetName("a");
  EXPECT_EQ(a->GetName(), "a_2");
  EXPECT_EQ(b->GetName(), "a");
  auto* c = CreateComponent<TNovaBox>(&list);
  c->SetName("a");
  EXPECT_EQ(b->GetName(), "a_3") << "a_2 is taken";
  EXPECT_EQ(c->GetName(), "a");
  // A taken numbered name continues from its number.
  auto* d = CreateComponent<TNovaBox>(&list);
  d->SetName("a_3");
  EXPECT_EQ(b->GetName(), "a_4");

  auto* t1 = CreateComponent<TNovaTimer>(&list);
  auto* t2 = CreateComponent<TNovaTimer>(&list);
  t1->SetName("t");
  t2->SetName("t");
  EXPECT_TRUE(t1->IsPendingDelete());
  EXPECT_EQ(t1->GetName(), "");
  EXPECT_EQ(list.FindByName("t"), t2);
  list.UpdateStep();
  EXPECT_FALSE(list.IsRegistered(t1));
}

TEST(Naming, NamesOfAnyBytesAndSystemLookups) {
  TNovaBaseList list(640, 480);
  const std::string odd("\x00\xff_\x81\x5c", 5);
  auto* box = NewBox(list, odd, 0, 0, 1, 1);
  EXPECT_EQ(list.FindByName(odd), box);
  EXPECT_EQ(list.FindByName(""), list.Front());
  EXPECT_EQ(list.FindByName("\x01"), list.Back());
  EXPECT_EQ(list.FindControl("\x01"
                             "BASE1"),
            list.GetLayer(1));
  box->FreeLater();
  EXPECT_EQ(list.FindByName(odd), nullptr) << "pending components are not found";
}

// The name index follows every way a name changes, and answers as a scan in registration order
// would.
TEST(Naming, LookupsFollowRenamesDeletionsAndFreedNumbers) {
  TNovaBaseList list(640, 480);
  auto* a = CreateComponent<TNovaBox>(&list);
  auto* b = CreateComponent<TNovaBox>(&list);
  auto* c = CreateComponent<TNovaBox>(&list);
  EXPECT_EQ(c->GetName(), "object2");
  // A freed number is offered again, the lowest first.
  list.Destroy(b);
  a->SetName("x");
  EXPECT_FALSE(list.NameTaken("object0"));
  EXPECT_EQ(list.UniqueName("object"), "object0");
  EXPECT_EQ(CreateComponent<TNovaTimer>(&list)->GetName(), "object0");
  EXPECT_EQ(CreateComponent<TNovaTimer>(&list)->GetName(), "object1");
  EXPECT_EQ(CreateComponent<TNovaTimer>(&list)->GetName(), "object3");
  // A stem that ends in digits: "s1" + 0 and "s" + 10 are the same name.
  c->SetNameRaw("s10");
  EXPECT_EQ(list.UniqueName("s1"), "s11");
  c->SetNameRaw("y");
  EXPECT_EQ(list.UniqueName("s1"), "s10");
  EXPECT_EQ(list.FindByName("object2"), nullptr);
  EXPECT_EQ(list.FindByName("y"), c);
  EXPECT_EQ(list.FindByName("x"), a);

  // Namesakes made without the rules: the first registered answers, whatever order the names
  // were given in.
  c->SetParent(list.Front());
  c->SetNameRaw("same");
  a->SetNameRaw("same");
  EXPECT_EQ(list.FindByName("same"), a);
  EXPECT_EQ(list.FirstNamed("same"), a);
  a->FreeLater();
  EXPECT_EQ(list.FindByName("same"), c);
  list.UpdateStep();
  EXPECT_EQ(list.FindControl("same"), c);

  // A loaded scene is found by the names it was saved with.
  BinaryWriter w;
  list.SaveScene(w);
  const std::vector<uint8_t> bytes = w.Take();
  TNovaBaseList loaded(640, 480);
  BinaryReader r(bytes, "scene");
  loaded.LoadScene(r, 143);
  ASSERT_NE(loaded.FindControl("same"), nullptr);
  EXPECT_EQ(loaded.FindControl("same")->GetName(), "same");
  EXPECT_TRUE(loaded.NameTaken("object3"));
  EXPECT_FALSE(loaded.NameTaken("x"));
}

TEST(Properties, ErrorsDefaultsAndConversions) {
  TNovaBaseList list(640, 480);
  auto* box = NewBox(list, "b", 0, 0, 10, 10);
  const std::string get_error = Utf8ToSjis("GetPropエラー");
  const std::string set_error = Utf8ToSjis("SetPropエラー");
  for (int id : {-1, 170, 255, 1000}) {
    try {
      box->GetProp(id);
      ADD_FAILURE() << id;
    } catch (const ENovaError& e) {
      EXPECT_EQ(e.what(), get_error);
    }
    try {
      box->SetProp(id, TPropValue::Int(1));
      ADD_FAILURE() << id;
    } catch (const ENovaError& e) {
      EXPECT_EQ(e.what(), set_error);
    }
  }
  EXPECT_THROW(box->SetProp(PR_APPEARX, TPropValue::Int(1)), ENovaError);
  EXPECT_EQ(box->GetProp(PR_APPEARX).AsInt(), 0);
  // Not honoured by a box: zero value, write ignored; two read true.
  box->SetProp(PR_FONTNAME, TPropValue::Str("x"));
  EXPECT_EQ(box->GetProp(PR_FONTNAME), TPropValue::Str(""));
  EXPECT_EQ(box->GetProp(PR_REWINDONLOAD), TPropValue::Flag(true));
  EXPECT_EQ(box->GetProp(PR_OVERLAY), TPropValue::Flag(true));
  // Read-only properties ignore writes.
  box->SetProp(PR_COMPOTYPE, TPropValue::Int(9));
  EXPECT_EQ(box->GetProp(PR_COMPOTYPE), TPropValue::Int(LT_BOX));
  // Values convert to the property's type.
  box->SetProp(PR_LEFT, TPropValue::Str("  -12"));
  EXPECT_EQ(box->GetProp(PR_LEFT), TPropValue::Int(-12));
  box->SetProp(PR_LEFT, TPropValue::Str("1.5"));
  EXPECT_EQ(box->Left(), 0) << "a string that is no integer reads 0";
  box->SetProp(PR_VISIBLE, TPropValue::Str("1"));
  EXPECT_FALSE(box->Visible()) << "only the exact string TRUE sets a flag";
  box->SetProp(PR_VISIBLE, TPropValue::Real(2.5L));
  EXPECT_TRUE(box->Visible());
  box->SetProp(PR_WIDTH, TPropValue::Real(-7.9L));
  EXPECT_EQ(box->GetWidth(), -7);
}

// Writable properties whose reading is not the value written: media positions and film
// frames come from what plays, a fire's size from its buffer, a cabinet is never visible.
bool DerivedRead(uint8_t kind, int id) {
  switch (kind) {
  case LT_CINEMA:
  case LT_VIDEO:
  case LT_SOUND:
    return id == PR_INDEX;
  case LT_FIRE:
    return id == PR_WIDTH || id == PR_HEIGHT;
  case LT_CABINET:
    return id == PR_VISIBLE;
  default:
    return false;
  }
}

TEST(Properties, EveryKindAnswersEveryIdWithTheTableType) {
  TNovaBaseList list(64, 48);
  for (int kind = 0; kind < kNovaKindCount; ++kind) {
    TNovaObject* obj = CreateByKind(&list, static_cast<uint8_t>(kind));
    if (!obj)
      continue;
    for (int id = 0; id < kNovaPropCount; ++id) {
      EXPECT_EQ(obj->GetProp(id).type, PropInfo(id).type) << kind << " " << id;
      if (PropInfo(id).access == acSetError || id == PR_NAME || id == PR_PARENT)
        continue;
      const TPropValue written = TPropValue::Int(3).As(PropInfo(id).type);
      obj->SetProp(id, written);
      // A top index is clamped to the items the list holds; a message box takes an index only
      // for a page it has.
      const bool checked_elsewhere = id == PR_TOPINDEX || (kind == LT_MES && id == PR_INDEX) ||
                                     DerivedRead(static_cast<uint8_t>(kind), id);
      if (KindWrites(static_cast<uint8_t>(kind), id) && id != PR_SOURCE && !checked_elsewhere)
        EXPECT_EQ(obj->GetProp(id), written) << "kind " << kind << " id " << id;
    }
  }
}

TEST(Properties, ParentNamesAndRefusedParents) {
  TNovaBaseList list(640, 480);
  auto* front = NewBox(list, "f", 0, 0, 10, 10);
  auto* back = NewBox(list, "k", 0, 0, 10, 10, list.Back());
  auto* child = NewBox(list, "c", 0, 0, 5, 5, front);
  auto* grandchild = NewBox(list, "g", 0, 0, 5, 5, child);
  EXPECT_EQ(front->GetProp(PR_PARENT).s, "");
  EXPECT_EQ(back->GetProp(PR_PARENT).s, "\x01");
  EXPECT_EQ(child->GetProp(PR_PARENT).s, "f");
  front->SetProp(PR_PARENT, TPropValue::Str("g"));
  EXPECT_EQ(front->Parent(), list.Front()) << "a descendant cannot become the parent";
  front->SetProp(PR_PARENT, TPropValue::Str("f"));
  EXPECT_EQ(front->Parent(), list.Front());
  front->SetProp(PR_PARENT, TPropValue::Str("missing"));
  EXPECT_EQ(front->Parent(), list.Front());
  grandchild->SetProp(PR_PARENT, TPropValue::Str("\x01"));
  EXPECT_EQ(grandchild->Parent(), list.Back());
  EXPECT_EQ(child->GetChildCount(), 0);
  list.Front()->SetProp(PR_PARENT, TPropValue::Str("f"));
  EXPECT_EQ(list.Front()->Parent(), nullptr) << "layers have no parent";
}

TEST(Ordering, PriorityNamesSystemAndSnapshot) {
  TNovaBaseList list(640, 480);
  auto* b = NewBox(list, "b", 0, 0, 1, 1);
  auto* a = NewBox(list, "a", 0, 0, 1, 1);
  auto* sys = NewBox(list, "\x01sys", 0, 0, 1, 1);
  auto* snap = NewBox(list, std::string("\x01\x01", 2), 0, 0, 1, 1);
  auto* high = NewBox(list, "0", 0, 0, 1, 1);
  high->SetPriority(5);
  sys->SetPriority(100);
  const std::vector<TNovaControl*> want = {sys, a, b, high, snap};
  EXPECT_EQ(list.Front()->Children(), want);
  a->SetPriorityOffset(10);
  EXPECT_EQ(list.Front()->GetChild(3), a);
  a->SetPriority(0);
  EXPECT_EQ(a->GetPriorityOffset(), 0) << "setting the priority resets the offset";
  EXPECT_EQ(list.Front()->GetChild(1), a);
}

TEST(Motion, EndQueuesPlayEndOrScraps) {
  TNovaBaseList list(640, 480);
  UseFakeFilms(list);
  auto* box = NewBox(list, "m", 10, 0, 5, 5);
  box->SetProp(PR_ONPLAYEND, TPropValue::Str("end"));
  box->SetProp(PR_SOURCE, TPropValue::Str("3.nmt"));
  ASSERT_NE(box->GetMotion(), nullptr);
  std::vector<int> xs;
  for (int i = 0; i < 8; ++i) {
    Frame(list, 17);
    xs.push_back(box->ScreenLeft());
  }
  EXPECT_EQ(xs.front(), 10) << "two priming frames hold the first frame";
  EXPECT_EQ(xs.back(), 12) << "the last frame stays";
  EXPECT_EQ(Drain(list), std::vector<std::string>{"end"});
  box->FreeMotion();
  EXPECT_EQ(box->ScreenLeft(), 10);
  box->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  box->StartMotion("1.nmt");
  for (int i = 0; i < 5; ++i)
    Frame(list, 17);
  EXPECT_EQ(list.FindByName("m"), nullptr) << "auto scrap destroys the box";
}

TEST(Kinds, KindBytesCaptionsAndFactory) {
  TNovaBaseList list(64, 48);
  for (int kind = 0; kind < 256; ++kind) {
    TNovaObject* obj = CreateByKind(&list, static_cast<uint8_t>(kind));
    const int plain = kind & 0x7F;
    if (plain == LT_NONE || plain == LT_AUDIO || plain == LT_MAP || plain >= kNovaKindCount) {
      EXPECT_EQ(obj, nullptr) << kind;
      continue;
    }
    ASSERT_NE(obj, nullptr) << kind;
    EXPECT_EQ(obj->GetKind(), plain);
    EXPECT_EQ(obj->GetProp(PR_COMPOTYPE).i, plain);
  }
  EXPECT_EQ(KindCaption(LT_BOX), Utf8ToSjis("矩形サーフェス"));
  EXPECT_EQ(PropIdByName("PR_FLOATZOOMY"), 169);
  EXPECT_EQ(PropInfo(PR_TAG).type, ptStr);
}

} // namespace
} // namespace nova::test
