// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "expr/param_system.h"
#include "expr_test_util.h"

namespace nova {
namespace {

struct FixedClock : IExprClock {
  TLocalTime LocalNow() override {
    TLocalTime t;
    t.year = 2026, t.month = 12, t.day = 10, t.day_of_week = 5;
    t.hour = 5, t.minute = 58, t.second = 7;
    return t;
  }
  uint32_t TickCountMs() override { return 123456; }
};

struct CallStack : IExprCallHost {
  TCustomParam* TopResult() override { return depth ? &result : nullptr; }
  uint8_t ResultType() override { return depth ? PT_STR : PT_NONE; }
  bool DeleteStack(int32_t index) override { return index >= 0 && index < depth; }
  TParamStr result;
  int depth = 0;
};

struct Scene : ISystemVarHost, IFuncHost {
  bool ReadSystem(int index, int32_t element, TSysValue& out) override {
    if (index == svKeyPush)
      return out.b = element == 13, true;
    if (index == svParamStr)
      return out.s = "p" + std::to_string(element), true;
    if (index == svScrWidth)
      return out.i = 800, true;
    return false;
  }
  void WriteSystem(int index, const TSysValue& value) override {
    if (index == svFullScr)
      full_screen = value.b;
  }
  int32_t SystemCount(int index) override { return index == svParamStr ? 2 : -1; }
  bool CallFunc(TCustomParam& dest, uint8_t id, std::span<TCustomParam* const> args) override {
    if (id != 2)
      return false;
    dest.SetStr("prop" + args[1]->AsStr());
    return true;
  }
  uint8_t PropertyType(int32_t id) override { return PT_STR; }
  bool full_screen = false;
};

TEST(Hosts, SystemVariablesReachTheRegisteredLayers) {
  TParamCollection vars;
  FixedClock clock;
  CallStack calls;
  Scene scene;
  vars.Hosts() = TExprHosts{&calls, &clock, &scene, &scene};
  const std::pair<const char*, const char*> cases[] = {
      {"@Year * 10000 + @Month * 100 + @Day", "I:20261210"},
      {"@Week", "I:5"},
      {"@Hour ++ \":\" ++ @Min ++ \":\" ++ @Sec", "S:5:58:7"},
      {"@PCTickCount", "I:123456"},
      {"@KeyPush[13]", "F:TRUE"},
      {"@KeyPush[12]", "F:FALSE"},
      {"@KeyPush[300]", "none"},
      {"@KeyPush", "F:FALSE"},
      {"@ParamStr[1]", "S:p1"},
      {"@ParamStr", "S:p0"},
      {"GetArraySize(@ParamStr)", "I:2"},
      {"@ScrWidth", "I:800"},
      {"GetProp(\"box\", 7)", "S:prop7"},
      {"GetProp(\"box\", 170)", "none"},
      {"@Result + 0", "I:0"},
      {"DeleteStack(0)", "F:FALSE"},
  };
  for (const auto& [text, result] : cases)
    EXPECT_EQ(Eval(vars, text), result) << text;

  // Flag from a string: its integer value decides, so "TRUE" switches to the window.
  vars.Find("@FullScr")->Value()->SetStr("1");
  EXPECT_TRUE(scene.full_screen);
  vars.Find("@FullScr")->Value()->SetStr("TRUE");
  EXPECT_FALSE(scene.full_screen);

  calls.depth = 1;
  Eval(vars, "@Result = 42");
  EXPECT_EQ(calls.result.AsStr(), "42");
  EXPECT_EQ(Eval(vars, "@Result ++ \"!\""), "S:42!");
  EXPECT_EQ(Eval(vars, "DeleteStack(0)"), "F:TRUE");
}

TEST(Hosts, AssignmentsToSystemVariablesConvertByTheirOwnRules) {
  TParamCollection vars;
  Scene scene;
  CallStack calls;
  vars.Hosts() = TExprHosts{&calls, nullptr, &scene, &scene};
  const struct {
    const char* text;
    bool full_screen;
    int32_t text_delay;
    const char* cursor;
  } cases[] = {
      {"@FullScr = TRUE", true, 50, ""},
      {"@FullScr = \"TRUE\"", false, 50, ""}, // the string's integer value is 0
      {"@FullScr = \"2\"", true, 50, ""},
      {"@TextDelay = \"abc\"", true, 50, ""}, // no number: the write is dropped
      {"@TextDelay = \" 30\"", true, 30, ""},
      {"@TextDelay = 12.9", true, 12, ""},
      {"@TextDelay = TRUE", true, 1, ""},
      {"@Cursor = 2.5", true, 1, "2.5"},
      {"@Cursor = FALSE", true, 1, "FALSE"},
  };
  for (const auto& c : cases) {
    Eval(vars, c.text);
    EXPECT_EQ(scene.full_screen, c.full_screen) << c.text;
    EXPECT_EQ(vars.text_delay, c.text_delay) << c.text;
    EXPECT_EQ(vars.cursor, c.cursor) << c.text;
  }
  // The aliases stand for ordinary variables, which convert as variables do.
  calls.depth = 1;
  Eval(vars, "@Result = TRUE");
  EXPECT_EQ(calls.result.AsStr(), "TRUE");
}

} // namespace
} // namespace nova
