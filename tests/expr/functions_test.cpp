// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "expr/func_table.h"
#include "expr/random.h"
#include "expr_test_util.h"

namespace nova {
namespace {

class Functions : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"a", "b", "n", "y", "mo", "d"}) {
      vars.Declare(name, PT_INT, TVarScope::Global, nullptr);
    }
    vars.Declare("s", PT_STR, TVarScope::Global, nullptr);
    vars.Declare("v", PT_STR, TVarScope::Global, nullptr);
    vars.Declare("r", PT_FLOAT, TVarScope::Global, nullptr);
  }
  TParamCollection vars;
};

TEST(FunctionTable, IdsNamesAndCounts) {
  EXPECT_EQ(FindFunc("IntToStr"), 0);
  EXPECT_EQ(FindFunc("Calc"), 136);
  EXPECT_EQ(FindFunc("DBClearRecord"), 124);
  EXPECT_EQ(FindFunc("SetWallPaper"), 125);
  EXPECT_EQ(FindFunc("DBGetTable"), 160);
  EXPECT_EQ(FindFunc("SetImeOpened"), 167);
  EXPECT_EQ(FindFunc("inttostr"), -1);
  EXPECT_EQ(FuncInfo(21)->max_args, -1);
  EXPECT_EQ(FuncInfo(108)->min_args, 7);
  EXPECT_EQ(FuncInfo(110)->result_type, PT_FLOAT);
  EXPECT_EQ(FuncInfo(168), nullptr);
}

TEST_F(Functions, StringsNumbersAndDates) {
  const std::pair<const char*, const char*> cases[] = {
      {"IntToStr(5, 3)", "S:005"},
      {"IntToStr(-5, 3)", "S:-005"},
      {"IntToStr(12)", "S:12"},
      {"IntToHex(255, 4)", "S:00FF"},
      {"IntToHex(-1, 2)", "S:FFFFFFFF"},
      {"Copy(\"abcdef\", 3)", "S:cdef"},
      {"Copy(\"abcdef\", 0, 2)", "S:ab"},
      {"Copy(\"abcdef\", 7, 2)", "S:"},
      {"JCopy(\"あいう\", 2, 1)", "S:い"},
      {"Length(\"漢a\")", "I:3"},
      {"JLength(\"漢a\")", "I:2"},
      {"Pos(\"c\", \"abc\")", "I:3"},
      {"Pos(\"\", \"abc\")", "I:0"},
      {"JPos(\"う\", \"あいう\")", "I:3"},
      {"CompareStr(\"a\", \"b\") < 0", "F:TRUE"},
      {"CompareText(\"abc\", \"ABC\")", "I:0"},
      {"Trim(\"  a b \")", "S:a b"},
      {"JTrim(\"　a　 \")", "S:a"},
      {"UpperCase(\"abcｱ\")", "S:ABCｱ"},
      {"StringOfChar(\"ab\", 3)", "S:ababab"},
      {"StringReplace(\"aAa\", \"a\", \"x\")", "S:xAa"},
      {"StringReplace(\"aAa\", \"a\", \"x\", TRUE, TRUE)", "S:xxx"},
      {"StringReplace(\"aAa\", \"a\", \"x\", TRUE)", "S:xAx"},
      {"HanToZen(\"A1 ｶﾞﾊﾟ\")", "S:Ａ１　ガパ"},
      {"ZenToHan(\"Ａ１　ガパ“”\")", "S:A1 ｶﾞﾊﾟ\"\""},
      {"AddDelimiter(\",\", \"\")", "S:"},
      {"AddDelimiter(\",\", \"a\")", "S:a,"},
      {"StrToIntDef(\"x\", 7)", "I:7"},
      {"StrToIntDef(\"$1f\", 7)", "I:31"},
      {"StrToFloatDef(\"2.5\", 0)", "R:2.5"},
      {"Chr(65)", "S:A"},
      {"Ord(\"A\")", "I:65"},
      {"Ord(\"\")", "I:0"},
      {"Not(0)", "F:TRUE"},
      {"Int(-2.7)", "I:-2"},
      {"Float(3)", "R:3"},
      {"Abs(-3)", "I:3"},
      {"Fabs(-1.5)", "R:1.5"},
      {"Min(3, 2)", "I:2"},
      {"Fmax(1.5, 2)", "R:2"},
      {"ArcTan2(1, 0)", "R:1.5707963267949"},
      {"Hypot(3, 4)", "R:5"},
      {"ArcSin(2)", "none"},
      {"GetVarType(1.0)", "I:2"},
      {"GetVarType(s)", "I:4"},
      {"GetWeek(EncodeDate(2000, 1, 1))", "I:7"},
      {"GetWeekStr(EncodeDate(2000, 1, 1))", "S:Saturday"},
      {"GetWeekJStr(EncodeDate(2000, 1, 2))", "S:日"},
      {"EncodeDate(1899, 12, 30)", "R:0"},
      {"EncodeDate(2001, 2, 29)", "none"},
      {"EncodeTime(12, 0, 0)", "R:0.5"},
      {"EncodeTime(24, 0, 0)", "none"},
      {"GetYear(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59))", "I:2024"},
      {"GetSec(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59))", "I:59"},
      {"GetMonth(-1.5)", "I:12"},
      {"VarExists(\"s\")", "F:TRUE"},
      {"VarExists(\"nosuch\")", "F:FALSE"},
      {"Calc(\"a = 1 +\")", "S:"},
      {"Calc(\"\")", "S:"},
      {"DeleteStack(0)", "F:FALSE"},
  };
  for (const auto& [text, result] : cases)
    EXPECT_EQ(Eval(vars, text), result) << text;
}

TEST_F(Functions, StringFunctionsWriteIntoTheirVariable) {
  Eval(vars, "s = \"abcdef\"");
  EXPECT_EQ(Eval(vars, "Delete(s, 2, 3)"), "S:aef");
  EXPECT_EQ(VarOf(vars, "s"), "S:aef");
  Eval(vars, "Insert(\"XY\", s, 2)");
  EXPECT_EQ(VarOf(vars, "s"), "S:aXYef");
  Eval(vars, "s = \"あい\"");
  Eval(vars, "JInsert(\"う\", s, 9)");
  EXPECT_EQ(VarOf(vars, "s"), "S:あいう");
  Eval(vars, "JDelete(s, 2, 1)");
  EXPECT_EQ(VarOf(vars, "s"), "S:あう");
  Eval(vars, "DecodeDate(EncodeDate(2024, 2, 29), y, mo, d)");
  EXPECT_EQ(VarOf(vars, "y") + VarOf(vars, "mo") + VarOf(vars, "d"), "I:2024I:2I:29");
  Eval(vars, "DecodeTime(EncodeTime(13, 14, 15), y, mo, d)");
  EXPECT_EQ(VarOf(vars, "y") + VarOf(vars, "mo") + VarOf(vars, "d"), "I:13I:14I:15");
}

TEST_F(Functions, FixStrDropsALoneLeadByte) {
  TParamCollectionItem* s = vars.Find("s");
  s->Value()->SetStr(Utf8ToSjis("あ") + "\x82");
  EXPECT_EQ(Eval(vars, "FixStr(s)"), "S:あ");
  s->Value()->SetStr(Utf8ToSjis("あ"));
  EXPECT_EQ(Eval(vars, "FixStr(s)"), "S:あ");
}

TEST_F(Functions, Arrays) {
  Eval(vars, "SetArray(a, 2, 5)");
  EXPECT_EQ(Eval(vars, "GetArraySize(a)"), "I:10");
  EXPECT_EQ(Eval(vars, "GetArraySize(a, 0)"), "I:5");
  EXPECT_EQ(Eval(vars, "GetArraySize(a, 1)"), "I:2");
  EXPECT_EQ(Eval(vars, "GetArraySize(5)"), "none");
  EXPECT_EQ(Eval(vars, "SetArray(a, 0)"), "none");
  EXPECT_EQ(Eval(vars, "UniqueArray(a)"), "I:10");
  Eval(vars, "FillMem(a, \"7\")");
  EXPECT_EQ(Eval(vars, "a[1, 4]"), "I:7");

  EXPECT_EQ(Eval(vars, "StringToArray(\"a,b,\", v, \",\")"), "I:2");
  EXPECT_EQ(VarOf(vars, "v"), "S:a,b");
  EXPECT_EQ(Eval(vars, "StringToArray(\",a\", v, \",\")"), "I:2");
  EXPECT_EQ(VarOf(vars, "v"), "S:,a");
  EXPECT_EQ(Eval(vars, "StringToArray(\"x\\ny\\n\", v)"), "I:2");
  EXPECT_EQ(Eval(vars, "ArrayToString(v, \"-\")"), "S:x-y");
  EXPECT_EQ(Eval(vars, "StringToArray(\"\", v)"), "I:0");
  EXPECT_EQ(VarOf(vars, "v"), "S:");

  Eval(vars, "StringToArray(\"10,9,1\", v, \",\")");
  Eval(vars, "SortStr(v)");
  EXPECT_EQ(VarOf(vars, "v"), "S:1,10,9");
  Eval(vars, "SortStr(v, FALSE, TRUE)");
  EXPECT_EQ(VarOf(vars, "v"), "S:1,9,10");
  Eval(vars, "SortStr(v, TRUE, TRUE)");
  EXPECT_EQ(VarOf(vars, "v"), "S:10,9,1");
  EXPECT_EQ(Eval(vars, "IndexOfStr(v, \"9\")"), "I:1");
  EXPECT_EQ(Eval(vars, "IndexOfStr(v, \"0\", TRUE, TRUE)"), "I:0");

  Eval(vars, "StringToArray(\"3,1,3,2\", v, \",\")");
  EXPECT_EQ(Eval(vars, "UniqueArray(v)"), "I:3");
  EXPECT_EQ(VarOf(vars, "v"), "S:3,1,2");
  EXPECT_EQ(Eval(vars, "AddArray(v, \"9\")"), "I:4");
  EXPECT_EQ(Eval(vars, "InsertArray(v, 1, \"x\")"), "I:5");
  EXPECT_EQ(VarOf(vars, "v"), "S:3,x,1,2,9");
  EXPECT_EQ(Eval(vars, "DeleteArray(v, 1, 2)"), "I:3");
  EXPECT_EQ(VarOf(vars, "v"), "S:3,2,9");
  EXPECT_EQ(Eval(vars, "AddArray(v, a)"), "I:3");
  Eval(vars, "v[1] = \"\"");
  EXPECT_EQ(Eval(vars, "TrimArray(v)"), "I:2");
  EXPECT_EQ(Eval(vars, "TrimArray(v, \"3\")"), "I:1");

  Eval(vars, "CopyArray(r, a)");
  EXPECT_EQ(Eval(vars, "GetArraySize(r, 1)"), "I:2");
  EXPECT_EQ(Eval(vars, "r[1, 4] * 1.5"), "R:10.5");
  EXPECT_EQ(Eval(vars, "CopyMem(b, r)"), "none");
  EXPECT_EQ(Eval(vars, "CopyMem(b, a)"), "I:0");
  EXPECT_EQ(Eval(vars, "b[1, 4]"), "I:7");
}

TEST_F(Functions, PushAndPopRestoreVariables) {
  Eval(vars, "a = 1");
  Eval(vars, "s = \"keep\"");
  EXPECT_EQ(Eval(vars, "PushVar(\"a\", \"s\", \"nosuch\")"), "F:TRUE");
  Eval(vars, "a = 2");
  vars.Delete("s");
  vars.Declare("s", PT_INT, TVarScope::Global, nullptr);
  EXPECT_EQ(Eval(vars, "PopVar()"), "F:TRUE");
  EXPECT_EQ(VarOf(vars, "a"), "I:1");
  EXPECT_EQ(VarOf(vars, "s"), "S:keep");
  EXPECT_EQ(vars.SnapshotCount(), 0u);
  EXPECT_EQ(Eval(vars, "PopVar()"), "F:TRUE");
}

TEST(Random, LinearCongruentialSequence) {
  TRandom r;
  r.seed = 1;
  EXPECT_EQ(r.Next(100), static_cast<int32_t>((uint64_t{134775814} * 100) >> 32));
  EXPECT_EQ(r.seed, 134775814u);
  for (int i = 0; i < 100; ++i) {
    int32_t v = r.Next(6);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 6);
  }
}

} // namespace
} // namespace nova
