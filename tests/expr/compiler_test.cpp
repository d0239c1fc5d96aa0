// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "expr_test_util.h"

namespace nova {
namespace {

// The build-time list as "dest=op(arg,arg)" joined by "; ".
std::string Ops(const std::string& utf8) {
  TBuildNovaParser p;
  p.Compile(Utf8ToSjis(utf8));
  std::string out;
  for (const TBuildOpeData& op : p.Ops()) {
    if (!out.empty())
      out += "; ";
    out += op.dest + "=" + OpeCodeName(op.opcode) + "(";
    for (size_t i = 0; i < op.args.size(); ++i)
      out += (i ? "," : "") + SjisToUtf8(op.args[i]);
    out += ")";
  }
  return out;
}

std::string CompileError(const std::string& utf8) {
  try {
    CompileToBytes(Utf8ToSjis(utf8));
  } catch (const ENovaError& e) {
    return SjisToUtf8(e.what());
  }
  return "no error";
}

struct CompileCase {
  const char* text;
  const char* ops;
};

TEST(Compiler, RewritesTextIntoOperations) {
  const CompileCase cases[] = {
      {"x = a + 1", "____0=ocPlus(a,1); x=ocTo(____0)"},
      {"a > 3", "____0=ocBig(a,3); ____arg=ocTo(____0)"},
      {"(a + b) * c", "____1=ocPlus(a,b); ____2=ocMul(____1,c); ____arg=ocTo(____2)"},
      {"s = f(g(1), \"t\")",
       "____0=ocTo(\"t\"); ____1=ocFunc(g,1); ____2=ocFunc(f,____1,____0); s=ocTo(____2)"},
      {"-a + b", "____0=ocMinus(0,a); ____1=ocPlus(____0,b); ____arg=ocTo(____1)"},
      {"a * -b", "____0=ocMinus(0,b); ____1=ocMul(a,____0); ____arg=ocTo(____1)"},
      {"a * +b", "____0=ocMul(a,b); ____arg=ocTo(____0)"},
      {"a != b", "a !=ocTo(b)"},
      {"1 + 2 * 3 - 4", "____0=ocMul(2,3); ____1=ocPlus(1,____0); ____2=ocMinus(____1,4); "
                        "____arg=ocTo(____2)"},
      {"a << 2 == b ++ c | d ^ e & f",
       "____0=ocShiftL(a,2); ____1=ocEqual(____0,b); ____2=ocComboStr(____1,c); "
       "____3=ocAnd(e,f); ____4=ocXor(d,____3); ____5=ocOr(____2,____4); ____arg=ocTo(____5)"},
      {"a <> b", "____0=ocNEqual(a,b); ____arg=ocTo(____0)"},
      {"\"x\\\"y\"", "____0=ocTo(\"x\"y\"); ____arg=ocTo(____0)"},
      {"\"a\\nb\\\\\"", "____0=ocTo(\"a\r\nb\\\"); ____arg=ocTo(____0)"},
      {"x = \"abc", "x=ocTo(\"abc)"},
      {"f()", "____0=ocFunc(f); ____arg=ocTo(____0)"},
      {"f(a,)", "____0=ocFunc(f,a); ____arg=ocTo(____0)"},
      {"f(,a)", "____0=ocFunc(f,,a); ____arg=ocTo(____0)"},
      {"f(((a)+(b)))",
       "____2=ocTo(b); ____3=ocTo(a); ____4=ocPlus(____3,____2); ____0=ocFunc(f,____4); "
       "____arg=ocTo(____0)"},
      {"a[1, i + 1] = 5", "____2=ocPlus(i,1); ____d_0=ocDimTo(a,1,____2); ____d_0=ocTo(5)"},
      {"a[b[1]]", "____d_0=ocDimTo(b,1); ____d_1=ocDimTo(a,____d_0); ____arg=ocTo(____d_1)"},
      {"f(a[1, 2], 3)",
       "____d_2=ocDimTo(a,1,2); ____1=ocTo(____d_2); ____0=ocFunc(f,____1,3); ____arg=ocTo(____0)"},
      {"", "____arg=ocTo()"},
      {"x = 漢字", "x=ocTo(漢字)"},
      {"表[1]", "____d_0=ocDimTo(表,1); ____arg=ocTo(____d_0)"},
  };
  for (const CompileCase& c : cases)
    EXPECT_EQ(Ops(c.text), c.ops) << c.text;
}

TEST(Compiler, ReportsItsErrors) {
  const std::pair<const char*, const char*> cases[] = {
      {"a = b = c", "構文エラー"},
      {"(a", "構文エラー"},
      {"a)", "構文エラー"},
      {"a[1", "構文エラー"},
      {"x = [1]", "構文エラー"},
      {"* a", "構文エラー"},
      {"a b = c d e", "no error"},
      {"a && b", "構文エラー"},
      {"x = a +", "構文エラー"},
      {"x =", "構文エラー"},
      {"= 3", "構文エラー"},
      {"a[]", "配列の添え字が不正です"},
      {"inttostr(1)", "\"inttostr\" 関数名がありません"},
      {"IntToStr()", "IntToStr 引数の数が不正です"},
      {"IntToStr(1, 2, 3)", "IntToStr 引数の数が不正です"},
      {"PopVar(1)", "PopVar 引数の数が不正です"},
      {"5(1)", "\"5\" 関数名がありません"},
  };
  for (const auto& [text, error] : cases)
    EXPECT_EQ(CompileError(text), error) << text;
}

TEST(Compiler, DeepNestingCompilesInnermostFirst) {
  std::string text = std::string(2000, '(') + "1" + std::string(2000, ')');
  EXPECT_EQ(CompileError(text), "no error");
}

TEST(Compiler, ClassifiesArgumentsWhenSerialising) {
  TNovaParser p;
  CompileExpression("x = f1 + $10 + 0x1F + 1.5e1 + TRUE + true + xa", p);
  std::vector<std::string> seen;
  for (const TOpeData& op : p.Ops()) {
    for (const auto& a : op.args) {
      seen.push_back(a->IsReference() ? "V:" + static_cast<const TParamVar&>(*a).Name()
                                      : Describe(a.get()));
    }
  }
  // "xa" reads as hexadecimal, as the integer conversion always did.
  const std::vector<std::string> expected = {"V:f1",    "I:16",    "V:____0", "I:31",    "V:____1",
                                             "R:15",    "V:____2", "F:TRUE",  "V:____3", "V:true",
                                             "V:____4", "I:10",    "V:____5"};
  EXPECT_EQ(seen, expected);
}

TEST(Compiler, SerialisedFormRoundTripsThroughRuntimeSaveOps) {
  std::vector<uint8_t> bytes = CompileToBytes("s = IntToStr(a[1, 2] * 2.5, 3) ++ \"x\" <> TRUE");
  BinaryReader r(bytes, "test");
  TNovaParser p;
  p.LoadOps(r);
  BinaryWriter w;
  p.SaveOps(w);
  EXPECT_EQ(w.data(), bytes);
  TNovaParser copy;
  copy.Assign(p);
  BinaryWriter w2;
  copy.SaveOps(w2);
  EXPECT_EQ(w2.data(), bytes);
}

TEST(Compiler, SerialisedLayout) {
  // x = 1: one operation ocTo, destination "x", one integer argument.
  const std::vector<uint8_t> expected = {1, 0, 0, 0,      // operation count
                                         1,               // ocTo
                                         1, 0, 0, 0, 'x', // destination
                                         1, 0, 0, 0,      // argument count
                                         1, 1, 0, 0, 0};  // kind 1, integer 1
  EXPECT_EQ(CompileToBytes("x = 1"), expected);
  // Function call: argument count without the name, then the function id.
  std::vector<uint8_t> call = CompileToBytes("Length(s)");
  const std::vector<uint8_t> head = {2,   0, 0, 0, 11, 5, 0, 0, 0, '_', '_', '_', '_',
                                     '0', 1, 0, 0, 0,  5, 0, 1, 0, 0,   0,   's'};
  EXPECT_EQ(std::vector<uint8_t>(call.begin(), call.begin() + head.size()), head);
}

TEST(Compiler, LoadOpsRejectsDamagedBytes) {
  std::vector<uint8_t> good = CompileToBytes("x = IntToStr(a + 1)");
  for (size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<uint8_t> part(good.begin(), good.begin() + cut);
    BinaryReader r(part, "page.nsb");
    TNovaParser p;
    EXPECT_THROW(p.LoadOps(r), ENovaError) << cut;
    EXPECT_TRUE(p.Empty());
  }
  // A count that the bytes cannot hold is refused before anything is allocated.
  std::vector<uint8_t> huge = {0xFF, 0xFF, 0xFF, 0x7F, 1};
  BinaryReader r(huge, "page.nsb");
  TNovaParser p;
  try {
    p.LoadOps(r);
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_NE(std::string(e.what()).find("page.nsb"), std::string::npos);
  }
}

} // namespace
} // namespace nova

namespace nova {
namespace {

TEST(Compiler, LoadedCallWithTooFewArgumentsFailsCleanly) {
  // A damaged page: IntToStr (id 0) called with no argument.
  const std::vector<uint8_t> bytes = {1,  0, 0, 0,                          // one operation
                                      11,                                   // ocFunc
                                      5,  0, 0, 0, '_', '_', '_', '_', '0', // destination
                                      0,  0, 0, 0,                          // no arguments
                                      0};                                   // function id
  BinaryReader r(bytes, "page.nsb");
  TNovaParser p;
  p.LoadOps(r);
  TParamCollection vars;
  p.Execute(vars);
  EXPECT_EQ(SjisToUtf8(p.LastError()), "IntToStr 引数の数が不正です");
}

} // namespace
} // namespace nova
