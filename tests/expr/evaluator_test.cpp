// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "expr_test_util.h"

namespace nova {
namespace {

class Evaluator : public ::testing::Test {
protected:
  void Declare(const std::string& name, uint8_t type, const std::string& init = "",
               TVarScope scope = TVarScope::Global) {
    TNovaParser p;
    if (!init.empty())
      CompileExpression(Utf8ToSjis(init), p);
    vars.Declare(Utf8ToSjis(name), type, scope, init.empty() ? nullptr : &p);
  }
  void SetUp() override {
    Declare("i", PT_INT, "1");
    Declare("r", PT_FLOAT, "2.5");
    Declare("s", PT_STR, "\"abc\"");
    Declare("fl", PT_BOOL);
    Declare("m", PT_INT);
    Eval(vars, "SetArray(m, 3, 3)");
  }
  TParamCollection vars;
};

TEST_F(Evaluator, OperatorsFollowTheirTypeRules) {
  const std::pair<const char*, const char*> cases[] = {
      {"7 / 2", "I:3"},
      {"7.0 / 2", "R:3.5"},
      {"-7 / 2", "I:-3"},
      {"-7 % 2", "I:-1"},
      {"1 == 1.5", "F:TRUE"},
      {"1.5 == 1", "F:FALSE"},
      {"\"10\" < 9", "F:TRUE"},
      {"\"B\" < \"a\"", "F:TRUE"},
      {"\"ab\" < \"abc\"", "F:TRUE"},
      {"TRUE > FALSE", "F:TRUE"},
      {"1 << 33", "I:2"},
      {"-1 >> 28", "I:15"},
      {"\"1\" + \"2\"", "S:3"},
      {"\"1.5\" * 1.0", "R:1.5"},
      {"\"1.5\" + 0", "S:0"},
      {"\"a\" ++ 1 ++ TRUE", "S:a1TRUE"},
      {"2147483647 + 1", "I:-2147483648"},
      {"65536 * 65536", "I:0"},
      {"0.1 + 0.2", "R:0.3"},
      {"1e20 * 10", "R:1E21"},
      {"1 / 3.0", "R:0.333333333333333"},
      {"0.00001 * 1", "R:1E-5"},
      {"5 | 2 ^ 3 & 1", "I:7"},
      {"r * 2", "R:5"},
      {"s ++ i", "S:abc1"},
      {"1 / 0", "none"},
      {"1.0 / 0", "none"},
      {"0.0 / 0", "none"},
      {"x = 5", "none"},
      {"nosuch + 1", "none"},
      {"(-2147483647 - 1) / -1", "none"},
      {"i = 9", "none"},
      {"i", "I:9"},
  };
  for (const auto& [text, result] : cases)
    EXPECT_EQ(Eval(vars, text), result) << text;
}

TEST_F(Evaluator, AssignmentConvertsToTheDestinationType) {
  Eval(vars, "i = 3.9");
  EXPECT_EQ(VarOf(vars, "i"), "I:3");
  Eval(vars, "i = \"1.5\"");
  EXPECT_EQ(VarOf(vars, "i"), "I:0");
  Eval(vars, "r = \"1.5\"");
  EXPECT_EQ(VarOf(vars, "r"), "R:1.5");
  Eval(vars, "fl = \"1\"");
  EXPECT_EQ(VarOf(vars, "fl"), "F:TRUE");
  vars.Find("fl")->Value()->SetStr("1");
  EXPECT_EQ(VarOf(vars, "fl"), "F:FALSE");
  Eval(vars, "s = \"1\"");
  EXPECT_EQ(Eval(vars, "Not(Not(s))"), "F:TRUE");
  Eval(vars, "s = 1.5 * 3");
  EXPECT_EQ(VarOf(vars, "s"), "S:4.5");
  Eval(vars, "ABC = 1");
  Declare("abc", PT_INT, "7");
  EXPECT_EQ(Eval(vars, "ABC"), "I:7");
}

TEST_F(Evaluator, ElementReferencesWriteThroughIntoTheArray) {
  Eval(vars, "m[1, 2] = 7.8");
  EXPECT_EQ(Eval(vars, "m[0, 5]"), "I:7");
  EXPECT_EQ(VarOf(vars, "m"), "I:0,0,0,0,0,7,0,0,0");
  EXPECT_EQ(Eval(vars, "m[2, 2] + m[1, 2]"), "I:7");
  EXPECT_EQ(Eval(vars, "m"), "I:0");
  EXPECT_EQ(Eval(vars, "m[3, 0]"), "none");
  EXPECT_EQ(Eval(vars, "m[1]"), "none");
  // The failure comes at the copy into "____arg", which already exists: its zero is the result.
  EXPECT_EQ(Eval(vars, "m[-1, 0]"), "I:0");
  EXPECT_EQ(Eval(vars, "i = m[-1, 0]"), "none");
  Eval(vars, "m = 5");
  EXPECT_EQ(VarOf(vars, "m"), "I:5");
  Eval(vars, "SetArray(s, 2)");
  Eval(vars, "s[1] = 12 + 1");
  EXPECT_EQ(VarOf(vars, "s"), "S:abc,13");
}

TEST_F(Evaluator, AFailingFirstOperationChangesNothing) {
  EXPECT_EQ(Eval(vars, "i = 1 / 0 + 1"), "none");
  EXPECT_EQ(VarOf(vars, "i"), "I:1");
  // Variables written before the failure keep their values; temporaries are gone.
  size_t before = vars.ItemCount();
  Eval(vars, "i = 4 + IntToStr(i / 0)");
  EXPECT_EQ(VarOf(vars, "i"), "I:1");
  EXPECT_EQ(vars.ItemCount(), before);
}

TEST_F(Evaluator, CalcThroughVariableTextIsBounded) {
  Eval(vars, "s = \"Calc(s)\"");
  EXPECT_EQ(Eval(vars, "Calc(s)"), "S:TRUE");
  Eval(vars, "s = \"i = i +\"");
  EXPECT_EQ(Eval(vars, "Calc(s)"), "S:");
  EXPECT_EQ(Eval(vars, "Calc(\"i = i * 10\")"), "S:TRUE");
  EXPECT_EQ(VarOf(vars, "i"), "I:10");
}

TEST_F(Evaluator, ScopesDecideVisibility) {
  Declare("v", PT_INT, "1");
  vars.current_frame = 1;
  Declare("v", PT_INT, "2", TVarScope::Local);
  EXPECT_EQ(Eval(vars, "v"), "I:2");
  vars.current_frame = 2;
  EXPECT_EQ(Eval(vars, "v"), "I:1");
  Declare("a", PT_INT, "3", TVarScope::AutoDestroy);
  vars.current_frame = 1;
  EXPECT_EQ(Eval(vars, "a"), "I:3");
  vars.DestroyFrame(2);
  EXPECT_EQ(VarOf(vars, "a"), "missing");
  vars.DestroyFrame(1);
  EXPECT_EQ(Eval(vars, "v"), "I:1");
  // Re-declaring keeps the existing type; status variables keep their value.
  Declare("v", PT_STR, "\"42\"");
  EXPECT_EQ(VarOf(vars, "v"), "I:42");
  Declare("st", PT_INT, "5", TVarScope::Status);
  Declare("st", PT_INT, "6", TVarScope::Status);
  EXPECT_EQ(VarOf(vars, "st"), "I:5");
  vars.ResetAll();
  EXPECT_EQ(VarOf(vars, "st"), "I:5");
  EXPECT_EQ(VarOf(vars, "v"), "missing");
}

TEST_F(Evaluator, NamingRule) {
  EXPECT_THROW(Declare("1x", PT_INT), ENovaError);
  EXPECT_THROW(Declare("a b", PT_INT), ENovaError);
  EXPECT_THROW(Declare("", PT_INT), ENovaError);
  try {
    Declare("9", PT_INT);
  } catch (const ENovaError& e) {
    EXPECT_EQ(SjisToUtf8(e.what()), "\"9\"：変数名が不正です");
  }
}

TEST_F(Evaluator, SystemVariables) {
  const std::pair<const char*, const char*> cases[] = {
      {"@TextDelay", "I:50"},      {"@Pi", "R:3.14159265358979"}, {"@1Hour * 24", "R:1"},
      {"@IsDebug", "F:FALSE"},     {"@Result + 0", "I:0"},        {"@KeyPush", "F:FALSE"},
      {"@KeyPush[13]", "F:FALSE"}, {"@ScrWidth = 5", "none"},     {"@ScrWidth", "I:0"},
  };
  for (const auto& [text, result] : cases)
    EXPECT_EQ(Eval(vars, text), result) << text;
  // A string that does not convert is not written, by a setter or by an assignment.
  vars.Find("@TextDelay")->Value()->SetStr("x");
  EXPECT_EQ(Eval(vars, "@TextDelay"), "I:50");
  Eval(vars, "@TextDelay = \"20\"");
  EXPECT_EQ(Eval(vars, "@TextDelay"), "I:20");
  Eval(vars, "@TextDelay = \"x\"");
  EXPECT_EQ(Eval(vars, "@TextDelay"), "I:20");
  vars.Find("@FullScr")->Value()->SetStr("TRUE");
  Eval(vars, "@SelStr = \"FALSE\"");
  EXPECT_EQ(Eval(vars, "Not(@SelStr)"), "F:FALSE");
  EXPECT_EQ(Eval(vars, "AssignTemp(\"s\")"), "F:TRUE");
  Eval(vars, "@Temp = \"via temp\"");
  EXPECT_EQ(VarOf(vars, "s"), "S:via temp");
  vars.Delete("s");
  EXPECT_EQ(Eval(vars, "GetVarType(@Temp)"), "I:0");
  // A result of type 0 cannot be cloned: the one error Execute raises.
  EXPECT_THROW(Eval(vars, "@Temp"), ENovaError);
}

} // namespace
} // namespace nova
