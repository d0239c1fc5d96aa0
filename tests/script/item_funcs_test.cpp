// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/run_state.h"
#include "expr/params.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
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

} // namespace
} // namespace nova
