// SPDX-License-Identifier: MIT
// The call manager's frames: traces, the page cache, endless running commands, failures, the
// call stack as scripts see it.
#include "platform/clock.h"
#include "script/call_man_fixture.h"

namespace nova {
namespace {

class CallManRun : public CallManFixture {};

// A command that runs over several frames is traced once; events are traced with their tag.
TEST_F(CallManRun, TraceWritesEachCommandOnce) {
  std::vector<std::string> lines;
  calls.SetTrace([&lines](const std::string& line) { lines.push_back(line); });
  Page("main.nsb", "Calc {}\nWait time={40}\nWait\n");
  Page("h.nsb", "Label \"x\" line=7\n");
  calls.Start("main.nsb");
  for (int i = 0; i < 5; ++i)
    Frame();
  Queue("h.nsb:x");
  Frame();
  const std::vector<std::string> expected = {"00000010 : main.nsb(1)", "00000010 : main.nsb(2)",
                                             "00000040 : main.nsb(3)", "00000060 : <Event>h.nsb(7)",
                                             "00000060 : h.nsb(7)",    "00000060 : main.nsb(3)"};
  EXPECT_EQ(lines, expected);
}

// A running command whose continue flag is set does not spin within one frame, and a finished
// script with a set continue flag ends the frame too.
TEST_F(CallManRun, RunningCommandsAndEndedScriptsEndTheFrame) {
  Page("main.nsb", "VarNew \"n\" type=1 value={0}\nLabel \"l\"\nCalc {n = n + 1}\n"
                   "Jump page=\"main.nsb\" target=@j cond={n < 3}\nLabel \"j\"\n"
                   "Jump page=\"main.nsb\" target=5 cond={TRUE}\n");
  calls.Start("main.nsb");
  Frame();
  Frame();
  EXPECT_EQ(Str("n"), "1");
  Page("end.nsb", "Calc {}\n");
  calls.Start("end.nsb");
  Frame();
  Frame();
  EXPECT_EQ(calls.page(), nullptr);
}

// 30 pages stay cached besides the current one, most recently used first; names are exact.
TEST_F(CallManRun, PageCacheKeepsThirtyMostRecent) {
  for (int i = 0; i < 32; ++i)
    Page("p" + std::to_string(i) + ".nsb", "Calc {}\n");
  calls.Start("p0.nsb");
  for (int i = 1; i < 32; ++i)
    calls.GetPage("p" + std::to_string(i) + ".nsb", TPromote::Yes);
  // p0 is the current page and stays; p1 fell out (and then p2 and p3 when p1 came back).
  calls.GetPage("p0.nsb", TPromote::Yes);
  calls.GetPage("p1.nsb", TPromote::Yes);
  EXPECT_EQ(loads["p0.nsb"], 1);
  EXPECT_EQ(loads["p1.nsb"], 2);
  // Without promote the counter stays and the page is appended.
  calls.set_pc(5);
  calls.GetPage("p4.nsb", TPromote::No);
  EXPECT_EQ(calls.pc(), 5);
  EXPECT_EQ(loads["p4.nsb"], 1);
  EXPECT_THROW(calls.GetPage("P4.nsb", TPromote::No), std::exception);
}

// A failing command stops the script: Terminating is set and the message kept.
TEST_F(CallManRun, FailingCommandSetsTerminating) {
  Page("main.nsb", "VarNew \"\" type=1\nCalc {x = 1}\n");
  std::string reported;
  calls.SetStopReport([&reported](const std::string& m) { reported = m; });
  calls.Start("main.nsb");
  Frame();
  EXPECT_TRUE(RunState().Terminating);
  EXPECT_FALSE(reported.empty());
  EXPECT_EQ(reported, calls.LastError());
}

// Locals per call depth, @StackCount, @Result, and DeleteStack removing a frame beneath.
TEST_F(CallManRun, CallStackAsScriptsSeeIt) {
  Page("main.nsb", "VarNew \"depth\" type=1 value={0}\nVarNew \"r\" type=1 value={0}\n"
                   "Call page=\"a.nsb\" cond={TRUE} result=\"r\"\nWait\n");
  Page("a.nsb", "result int\nVarNew \"loc\" type=1 value={5} scope=2\n"
                "Call page=\"b.nsb\" cond={TRUE}\nCalc {@Result = loc + 1}\n");
  Page("b.nsb", "Calc {depth = @StackCount}\nCalc {DeleteStack(0)}\n");
  calls.Start("main.nsb");
  Frame();
  EXPECT_EQ(Str("depth"), "2");
  // The main script's frame went; returning from b lands in a, whose page then ends the script.
  EXPECT_EQ(Str("r"), "0");
  EXPECT_EQ(calls.stack().Count(), 0);
  EXPECT_EQ(vars.current_frame, 0);
}

// A page that loops without waiting ends each frame after its budget and goes on in the next;
// on the platform clock the budget is also a time: a slow loop ends its frame after it.
TEST_F(CallManRun, LoopsWithoutWaitingEndTheFrame) {
  Page("main.nsb", "VarNew \"n\" type=1 value={0}\nLabel \"top\"\nCalc {n = n + 1}\n"
                   "Jump page=\"main.nsb\" target=@top cond={TRUE}\n");
  calls.Start("main.nsb");
  Frame();
  const int first = std::stoi(Str("n"));
  EXPECT_GT(first, 1000);
  EXPECT_LE(first, TCallMan::kMaxCommandsPerFrame);
  Frame();
  EXPECT_GT(std::stoi(Str("n")), first);
  EXPECT_FALSE(RunState().Terminating);

  TVirtualClock clock;
  SetPlatformClock(&clock);
  Page("slow.nsb", "Label \"top\"\nCalc {n = n + 1}\nCalc {n = n + 0}\n"
                   "Jump page=\"slow.nsb\" target=@top cond={TRUE}\n");
  calls.SetTrace([&clock](const std::string&) { clock.Advance(1); }); // every command takes 1 ms
  calls.Start("slow.nsb");
  const int before = std::stoi(Str("n"));
  Frame();
  SetPlatformClock(nullptr);
  EXPECT_LT(std::stoi(Str("n")) - before, 2 * 1024);
}

// A page calling itself stops with a message instead of growing without end.
TEST_F(CallManRun, EndlessRecursionStopsTheScript) {
  Page("main.nsb", "Calc {}\nCall page=\"main.nsb\" cond={TRUE}\n");
  calls.Start("main.nsb");
  for (int i = 0; i < 20 && !RunState().Terminating; ++i)
    Frame();
  EXPECT_TRUE(RunState().Terminating);
  EXPECT_NE(calls.LastError().find("main.nsb: calls nested deeper than 10000"), std::string::npos)
      << calls.LastError();
}

// Terminate sets Terminating and asks the window to close; Reset restarts on a page.
TEST_F(CallManRun, TerminateAndReset) {
  Page("main.nsb", "VarNew \"g\" type=1 value={1}\nReset page=\"r.nsb\" target=1\n");
  Page("r.nsb", "Calc {}\nLabel \"in\"\nVarNew \"after\" type=1 value={Exists(\"g\")}\n"
                "Terminate\n");
  calls.Start("main.nsb");
  Queue("h.nsb");
  Frame();
  EXPECT_EQ(Str("after"), "0");
  EXPECT_EQ(scene.Events().Count(), 0);
  EXPECT_TRUE(RunState().Terminating);
  EXPECT_EQ(close_requests, 1);
}

} // namespace
} // namespace nova
