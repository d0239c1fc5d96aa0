// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>

#include "base/run_state.h"
#include "expr/params.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/kinds/prev_template.h"
#include "scene/nova_base_list.h"
#include "scene/scene_host.h"
#include "script/item_funcs.h"

namespace nova {
namespace {

// Calls item function `id` with string, integer or flag arguments given as text ("i:2", "f:1",
// anything else a string) and answers the result as text.
class ItemFuncs : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    menu = CreateComponent<TNovaMenu>(&scene);
    menu->SetName("menu");
    menu->SetProp(PR_TEXT, TPropValue::Str("Load\r\nSave\r\nQuit"));
  }
  std::string Call(uint8_t id, const std::vector<std::string>& texts, uint8_t result) {
    std::vector<std::unique_ptr<TCustomParam>> owned;
    std::vector<TCustomParam*> args;
    for (const std::string& t : texts) {
      owned.push_back(NewParam(t.starts_with("i:")   ? PT_INT
                               : t.starts_with("f:") ? PT_BOOL
                                                     : PT_STR));
      if (t.starts_with("i:") || t.starts_with("f:"))
        owned.back()->SetInt(std::stoi(t.substr(2)));
      else
        owned.back()->SetStr(t);
      args.push_back(owned.back().get());
    }
    std::unique_ptr<TCustomParam> dest = NewParam(result);
    EXPECT_TRUE(CallItemFunc(scene, *dest, id, args));
    return dest->AsStr();
  }
  TNovaBaseList scene{640, 480};
  TNovaObject* menu = nullptr;
};

TEST_F(ItemFuncs, MenuItemsAndTheirChecks) {
  const struct {
    uint8_t id;
    std::vector<std::string> args;
    uint8_t result;
    const char* expected;
  } cases[] = {
      {47, {"menu", "save"}, PT_INT, "1"}, // IndexOfMenu ignores case
      {47, {"menu", "Sav"}, PT_INT, "-1"},       {47, {"nobody", "Save"}, PT_INT, "-1"},
      {163, {"menu", "i:2"}, PT_STR, "Quit"}, // GetItem
      {163, {"menu", "i:3"}, PT_STR, ""},        {24, {"menu", "i:1"}, PT_BOOL, "FALSE"},
      {25, {"menu", "i:1", "f:1"}, PT_INT, "0"}, // SetCheck
      {24, {"menu", "i:1"}, PT_BOOL, "TRUE"},    {24, {"menu", "i:0"}, PT_BOOL, "FALSE"},
      {25, {"menu", "i:9", "f:1"}, PT_INT, "0"}, // out of range: nothing
      {24, {"menu", "i:9"}, PT_BOOL, "FALSE"},   {24, {"nobody", "i:1"}, PT_BOOL, "FALSE"},
      {131, {"menu", "i:0"}, PT_BOOL, "FALSE"}, // a menu has no enabled states of items
      {145, {"menu", "i:0"}, PT_INT, "0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Call(c.id, c.args, c.result), c.expected) << int(c.id) << " " << c.args[0];
  std::unique_ptr<TCustomParam> dest = NewParam(PT_INT);
  EXPECT_FALSE(CallItemFunc(scene, *dest, 19, {})) << "not an item function";
}

// Title files from memory, for the preview menu's template.
struct MemoryHost : ISceneHost {
  std::optional<std::vector<uint8_t>> ReadTitleFile(const std::string& name) override {
    auto it = files.find(name);
    return it == files.end() ? std::nullopt : std::optional(it->second);
  }
  std::string DefaultCursorFile() override { return {}; }
  void ShowCursor(const TCursorImage*) override {}
  void PointerPosition(int32_t& x, int32_t& y) override { x = y = 0; }
  std::map<std::string, std::vector<uint8_t>> files;
};

TEST(PreviewMenuItems, ItemsByIndexOrByName) {
  ResetRunState();
  MemoryHost host;
  TPrevTemplate t;
  t.width = 100;
  t.height = 40;
  for (const char* name : {"first", "second", "12"}) {
    TPrevButton b;
    b.name = name;
    b.group = 3;
    t.buttons.push_back(b);
  }
  host.files["m.nmt"] = WritePrevTemplate(t);
  TNovaBaseList scene(640, 480, &host);
  auto* pm = CreateComponent<TNovaPrevMenu>(&scene);
  pm->SetName("pm");
  pm->SetParent(scene.Front());
  pm->SetProp(PR_SOURCE, TPropValue::Str("m.nmt"));
  ASSERT_EQ(pm->ItemCount(), 3);

  const auto call = [&](uint8_t id, const std::string& item, uint8_t result, int value = -1) {
    TParamStr name, text;
    TParamInt flag;
    name.SetStr("pm");
    text.SetStr(item);
    flag.SetInt(value);
    std::vector<TCustomParam*> args{&name, &text};
    if (value >= 0)
      args.push_back(&flag);
    std::unique_ptr<TCustomParam> dest = NewParam(result);
    EXPECT_TRUE(CallItemFunc(scene, *dest, id, args));
    return dest->AsStr();
  };
  EXPECT_EQ(call(145, "second", PT_INT), "3") << "GetGroupIndex by name";
  EXPECT_EQ(call(140, "second", PT_BOOL), "TRUE");
  call(141, "second", PT_BOOL, 0); // SetVisible by name
  EXPECT_FALSE(pm->GetItemVisible(1));
  EXPECT_EQ(call(140, "1", PT_BOOL), "FALSE") << "a number names the index";
  call(132, "12", PT_INT, 0); // "12" is a number first: item 12 does not exist
  EXPECT_TRUE(pm->GetItemEnabled(2));
  call(132, "first", PT_INT, 0);
  EXPECT_FALSE(pm->GetItemEnabled(0));
  EXPECT_EQ(call(131, "nobody", PT_BOOL), "FALSE");
  EXPECT_EQ(call(163, "0", PT_STR), "first") << "GetItem";
  EXPECT_EQ(call(47, "SECOND", PT_INT), "1") << "IndexOfMenu over the item texts";
}

} // namespace
} // namespace nova
