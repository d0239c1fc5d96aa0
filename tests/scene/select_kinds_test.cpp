// SPDX-License-Identifier: MIT
// What the choosing kinds share: their classes by kind byte, the right-click rule among them,
// and damaged save records.
#include "base/nova_error.h"
#include "select_fixture.h"

namespace nova::test {
namespace {

class SelectKinds : public SelectScene {
protected:
  void SetUp() override {
    SelectScene::SetUp();
    WriteWisp("n.wsp", {SolidFrame(20, 10, 0x0000C8, 100, false)});
    WriteFile("m.map", WriteMapFile({TMapArea{"a", 0, 0, 0, 9, 9, {}}}));
    TPrevTemplate t;
    t.width = 30;
    t.height = 30;
    t.buttons.resize(2);
    t.buttons[0].pictures[0] = "n.wsp";
    t.buttons[1].pictures[0] = "n.wsp";
    WriteFile("p.nmt", WritePrevTemplate(t));
  }
  // Every selection kind with its files and some of its own fields set.
  std::vector<TNovaObject*> Populated() {
    std::vector<TNovaObject*> out;
    for (uint8_t kind : {LT_BUTTON, LT_MENU, LT_MAPIMG, LT_PREVMENU}) {
      TNovaObject* obj = CreateByKind(&List(), kind);
      obj->AsControl()->SetParent(List().Front());
      obj->SetName("k" + std::to_string(kind));
      out.push_back(obj);
    }
    out[0]->SetProp(PR_SOURCE, TPropValue::Str("n.wsp"));
    out[0]->SetProp(PR_TEXT, TPropValue::Str("OK"));
    out[1]->SetProp(PR_TEXT, TPropValue::Str("one\r\ntwo"));
    out[1]->SetProp(PR_BORDERSOURCETL, TPropValue::Str("n.wsp"));
    out[2]->SetProp(PR_SOURCE, TPropValue::Str("n.wsp"));
    out[2]->SetProp(PR_MAPSOURCE, TPropValue::Str("m.map"));
    out[3]->SetProp(PR_SOURCE, TPropValue::Str("p.nmt"));
    return out;
  }
};

TEST_F(SelectKinds, KindBytesMakeTheSelectionClasses) {
  const std::vector<TNovaObject*> objs = Populated();
  EXPECT_NE(dynamic_cast<TNovaButton*>(objs[0]), nullptr);
  EXPECT_NE(dynamic_cast<TNovaMenu*>(objs[1]), nullptr);
  EXPECT_NE(dynamic_cast<TNovaMapImage*>(objs[2]), nullptr);
  EXPECT_NE(dynamic_cast<TNovaPrevMenu*>(objs[3]), nullptr);
  const int kinds[] = {LT_BUTTON, LT_MENU, LT_MAPIMG, LT_PREVMENU};
  for (size_t i = 0; i < objs.size(); ++i)
    EXPECT_EQ(objs[i]->GetProp(PR_COMPOTYPE).i, kinds[i]);
  auto* prev = static_cast<TNovaPrevMenu*>(objs[3]);
  EXPECT_EQ(prev->ItemImage(0)->GetKind(), LT_IMAGES) << "item images report the image kind";
}

TEST_F(SelectKinds, FirstSelectionComponentInCreationOrderTakesTheRightClick) {
  auto* first = CreateComponent<TNovaMapImage>(&List());
  first->SetParent(List().Front());
  auto* second = CreateComponent<TNovaMapImage>(&List());
  second->SetParent(List().Front());
  auto* paused = CreateComponent<TNovaMapImage>(&List());
  paused->SetParent(List().Front());
  for (TNovaMapImage* m : {first, second, paused})
    m->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
  paused->SetProp(PR_PAUSED, TPropValue::Flag(true));
  first->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(false));
  List().PressButton(true);
  Frame(List());
  EXPECT_FALSE(first->EventsSuppressed()) << "without right-click scrap it is passed over";
  EXPECT_TRUE(second->EventsSuppressed());
  EXPECT_FALSE(paused->EventsSuppressed());
  EXPECT_FALSE(List().Front()->right_click) << "the click was taken";
  Frame(List());
  EXPECT_LT(List().IndexOf(second), 0);
  // The destroyed one has left the list: the next right click reaches no freed component.
  List().PressButton(true);
  Frame(List());
  EXPECT_FALSE(first->EventsSuppressed());
}

TEST_F(SelectKinds, DamagedRecordsFailCleanlyAtEveryCut) {
  for (TNovaObject* obj : Populated()) {
    const std::vector<uint8_t> bytes = SaveOf(*obj);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      TNovaObject* fresh = CreateByKind(&List(), obj->GetKind());
      fresh->AsControl()->SetParent(List().Front());
      BinaryReader r(std::span(bytes.data(), cut), "save.dat GAMESAVEDATA1");
      EXPECT_THROW(fresh->Load(r, 143), ENovaError) << int(obj->GetKind()) << " cut " << cut;
      List().Destroy(fresh);
    }
  }
}

TEST_F(SelectKinds, ExtremeGeometryStaysDefined) {
  const std::vector<TNovaObject*> objs = Populated();
  for (int32_t place : {INT32_MAX, INT32_MIN, 1 << 29}) {
    for (TNovaObject* obj : objs) {
      obj->SetProp(PR_LEFT, TPropValue::Int(place));
      obj->SetProp(PR_TOP, TPropValue::Int(place / -2));
      for (int id : {PR_MARGINX, PR_MARGINY, PR_LINESPACE, PR_BORDERWIDTH, PR_ROWCOUNT})
        obj->SetProp(id, TPropValue::Int(place));
      obj->SetProp(PR_WIDTH, TPropValue::Int(INT32_MAX));
    }
    for (int32_t x : {0, INT32_MAX, INT32_MIN}) {
      PointAt(x, x);
      List().PressButton(false);
      Frame(List());
      List().Front()->InvalidateAll();
      List().DrawStep();
      List().ClearDirty();
    }
  }
}

TEST_F(SelectKinds, ItemOperationsOutOfRangeAnswerNothing) {
  for (TNovaObject* obj : Populated()) {
    for (int i : {-1, 2, 1000}) {
      obj->SetItemChecked(i, true);
      obj->SetItemEnabled(i, false);
      obj->SetItemVisible(i, false);
      obj->SetItemSelected(i, true);
      EXPECT_FALSE(obj->GetItemChecked(i));
      EXPECT_FALSE(obj->GetItemEnabled(i));
      EXPECT_FALSE(obj->GetItemVisible(i));
      EXPECT_FALSE(obj->GetItemSelected(i));
      EXPECT_EQ(obj->GetItemGroup(i), 0);
      EXPECT_EQ(obj->GetItemText(i), "");
    }
  }
}

} // namespace
} // namespace nova::test
