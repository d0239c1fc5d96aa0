// SPDX-License-Identifier: MIT
// Flow-control and variable commands through built titles, observed with --dump-vars.
#include <gtest/gtest.h>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

struct TPageCase {
  const char* name;
  const char* main;  // the start page
  const char* other; // "other.nsb", when the case needs it
  const char* var;
  const char* expected;
};

const TPageCase kCases[] = {
    // If / Elseif / Else chains: which block ran is left in `r`.
    {"if_true", "VarNew \"r\" type=1 value={0}\nIf {TRUE}\n  Calc {r = 1}\nElse\n  Calc {r = 2}\n",
     nullptr, "r", "1"},
    {"elseif_false_true_else",
     "VarNew \"r\" type=1 value={0}\nIf {FALSE}\n  Calc {r = 1}\nElseif {FALSE}\n  Calc {r = 2}\n"
     "Elseif {TRUE}\n  Calc {r = 3}\nElse\n  Calc {r = 4}\nCalc {r = r * 10}\n",
     nullptr, "r", "30"},
    {"else_taken",
     "VarNew \"r\" type=1 value={0}\nIf {FALSE}\n  Calc {r = 1}\nElseif {1 > 2}\n  Calc {r = 2}\n"
     "Else\n  Calc {r = 4}\n",
     nullptr, "r", "4"},
    {"if_no_value_is_false",
     "VarNew \"r\" type=1 value={0}\nIf {nosuch}\n  Calc {r = 1}\nElse\n  Calc {r = 2}\n", nullptr,
     "r", "2"},
    {"if_false_lands_on_smaller_indent",
     "VarNew \"r\" type=1 value={0}\nIf {TRUE}\n  If {FALSE}\n    Calc {r = 1}\n  Calc {r = r + "
     "5}\n"
     "Calc {r = r + 10}\n",
     nullptr, "r", "15"},
    {"if_false_at_page_end", "VarNew \"r\" type=1 value={7}\nIf {FALSE}\n  Calc {r = 1}\n", nullptr,
     "r", "7"},
    // Exit with an empty condition does not end the page.
    {"exit_empty_condition", "VarNew \"r\" type=1 value={0}\nExit\nCalc {r = 1}\n", nullptr, "r",
     "1"},
    {"exit_true", "VarNew \"r\" type=1 value={0}\nExit {TRUE}\nCalc {r = 1}\n", nullptr, "r", "0"},
    // Break with target -1 ends the called page like Exit; the caller goes on.
    {"break_minus_one",
     "VarNew \"r\" type=1 value={0}\nCall page=\"other.nsb\" cond={TRUE}\nCalc {r = r + 10}\n",
     "Break {TRUE} target=-1\nCalc {r = 1}\n", "r", "10"},
    // A Call argument that yields no value is left out.
    {"call_argument_without_value",
     "VarNew \"n\" type=1 value={0}\nVarNew \"p\" type=4 value={\"\"}\n"
     "Call page=\"other.nsb\" cond={TRUE} args=({1}, {nosuch}, {\"c\"})\n",
     "Calc {n = @ParamCount}\nCalc {p = @ParamStr[0] ++ @ParamStr[1]}\n", "p", "\"1c\""},
    // PCReset from the main script with no frames behaves like a jump.
    {"pcreset_main_no_frames",
     "VarNew \"r\" type=1 value={0}\nPCReset page=\"other.nsb\" target=@there\nCalc {r = 99}\n",
     "Calc {r = 1}\nLabel \"there\"\nCalc {r = r + 2}\n", "r", "2"},
    // Result assignment: an existing variable takes the value converted to its type.
    {"result_existing_variable",
     "VarNew \"r\" type=1 value={0}\nCall page=\"other.nsb\" cond={TRUE} result=\"r\"\n",
     "result str\nCalc {@Result = \"42\"}\n", "r", "42"},
    // ... an array element through the evaluate-text function.
    {"result_array_element",
     "VarNew \"a\" type=4 value={\"\"}\nCalc {SetArray(a, 3)}\n"
     "Call page=\"other.nsb\" cond={TRUE} result=\"a[1]\"\n",
     "result str\nCalc {@Result = \"say \" ++ Chr(34) ++ \"hi\" ++ Chr(34)}\n", "a",
     "\"\", \"say \\\"hi\\\"\", \"\""},
    // ... and a missing variable: nothing is assigned and the script goes on.
    {"result_missing_variable",
     "VarNew \"r\" type=1 value={0}\nCall page=\"other.nsb\" cond={TRUE} result=\"nosuch\"\n"
     "Calc {r = 1}\n",
     "Calc {@Result = 5}\n", "r", "1"},
    // Loops: While with Continue and Break to labels.
    {"while_continue_break",
     "VarNew \"i\" type=1 value={0}\nVarNew \"s\" type=1 value={0}\nWhileInit {i = 0}\n"
     "Label \"head\"\nWhile {i < 100} end=@after\n  Calc {i = i + 1}\n"
     "  Continue {i % 2 == 0} target=@step\n  Break {i > 7} target=@after\n  Calc {s = s + i}\n"
     "Label \"step\"\nWhileLoop {} head=@head\nLabel \"after\"\n",
     nullptr, "s", "16"},
    // A local variable of a called page is gone after the return.
    {"local_destroyed_on_return",
     "VarNew \"r\" type=1 value={0}\nCall page=\"other.nsb\" cond={TRUE}\n"
     "Calc {r = Exists(\"loc\")}\n",
     "VarNew \"loc\" type=1 value={1} scope=2\n", "r", "0"},
    // The clock, the fixed headless calendar and the scene size reach scripts.
    {"clock_calendar_and_scene_variables",
     "VarNew \"t\" type=1 value={@PCTickCount}\nWait time={1}\n"
     "VarNew \"r\" type=4 value={IntToStr(@Year) ++ \",\" ++ IntToStr(@ScrWidth)}\n"
     "If {@PCTickCount - t >= 16}\n  Calc {r = r ++ \",later\"}\n",
     nullptr, "r", "\"2000,640,later\""},
};

class FlowE2e : public testing::TestWithParam<TPageCase> {};

TEST_P(FlowE2e, LeavesTheExpectedValue) {
  const TPageCase& c = GetParam();
  TTestTitle title(c.name);
  title.Page("main.nsb", c.main);
  if (c.other)
    title.Page("other.nsb", c.other);
  std::string error;
  auto vars = title.Run(3, &error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(ValueOf(vars, c.var), c.expected) << vars[c.var];
}

INSTANTIATE_TEST_SUITE_P(Pages, FlowE2e, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Wait with time 1 and no condition finishes in the second frame after it starts.
TEST(WaitE2e, TimeOneFinishesInTheSecondFrame) {
  TTestTitle title("wait");
  title.Page("main.nsb", "VarNew \"done\" type=1 value={0}\nWait time={1}\nCalc {done = 1}\n");
  EXPECT_EQ(ValueOf(title.Run(1), "done"), "0");
  EXPECT_EQ(ValueOf(title.Run(2), "done"), "1");
}

// The exit page runs once at close, after the frames; a failing command stops the script, the
// frames go on, and the run ends with a failure status that names what stopped it.
TEST(ExitPageE2e, RunsAtCloseAndFailuresStopTheScript) {
  TTestTitle title("exitpage");
  title.Add("nova.npb.txt",
            "project 116\ntitle \"t\"\nstart \"main.nsb\"\nexit \"bye.nsb\"\nvar int \"n\" 3\n");
  title.Page("main.nsb", "Calc {n = n + 1}\nVarNew \"\" type=1\nCalc {n = 100}\n");
  title.Page("bye.nsb", "Calc {n = n * 2}\n");
  std::string error;
  auto vars = title.Run(2, &error);
  EXPECT_NE(error.find("run failed: novaplay: the script stopped"), std::string::npos) << error;
  EXPECT_EQ(vars["n"], "int status -1 = 8");
}

} // namespace
} // namespace nova::e2e
