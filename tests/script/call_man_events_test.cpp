// SPDX-License-Identifier: MIT
// The call manager's event dispatch: blocking waits, nesting above a yielded handler, labels,
// missing pages, and the handler texts.
#include "script/call_man_fixture.h"

#include "base/sjis.h"

namespace nova {
namespace {

class CallManEvents : public CallManFixture {};

// The event waits while a no-events Wait runs, then its handler runs before the next command.
TEST_F(CallManEvents, NoEventsWaitKeepsTheEventQueued) {
  Page("main.nsb", "VarNew \"m\" type=1 value={0}\nVarNew \"h\" type=1 value={0}\n"
                   "Wait time={40} noevents={TRUE}\nCalc {m = 1}\nWait\n");
  Page("h.nsb", "Calc {h = m + 10}\n");
  calls.Start("main.nsb");
  Frame();
  Queue("h.nsb");
  Frame();
  Frame();
  EXPECT_EQ(Str("h"), "0");
  EXPECT_EQ(scene.Events().Count(), 1);
  EXPECT_EQ(scene.Events().At(0).level, 0);
  Frame();
  Frame();
  EXPECT_EQ(Str("h"), "10");
  EXPECT_EQ(Str("m"), "1");
  EXPECT_EQ(scene.Events().Count(), 0);
}

// A handler that waits yields: a second event runs at level 2 above it; when it returns the
// first handler resumes, then the main script.
TEST_F(CallManEvents, SecondEventNestsAboveAYieldedHandler) {
  Page("main.nsb", "VarNew \"log\" type=4 value={\"\"}\nWait\n");
  Page("h1.nsb", "Calc {log = log ++ \"a\"}\nWait time={40}\nCalc {log = log ++ \"c\"}\n");
  Page("h2.nsb", "Calc {log = log ++ @Sender}\nCalc {log = log ++ \"b\" ++ @StackCount}\n");
  calls.Start("main.nsb");
  Frame();
  Queue("h1.nsb");
  Frame();
  EXPECT_EQ(Str("log"), "a");
  EXPECT_EQ(calls.state(), csEventYielded);
  Queue("h2.nsb");
  Frame();
  EXPECT_EQ(Str("log"), "a" +
                            std::string("\x01"
                                        "BASE0") +
                            "b2");
  ASSERT_EQ(scene.Events().Count(), 1);
  EXPECT_EQ(scene.Events().At(0).level, 1);
  for (int i = 0; i < 4; ++i)
    Frame();
  EXPECT_EQ(Str("log"), "a\x01"
                        "BASE0"
                        "b2c");
  EXPECT_EQ(calls.state(), csMain);
  EXPECT_EQ(scene.Events().Count(), 0);
}

struct THandlerCase {
  const char* name;
  std::string handler; // Shift-JIS
  int32_t expected;    // value of r after the handler ran
};

// Handler texts: the label after the last ":", none when "." or "\" comes later, a label that
// does not exist starts at command 0, the file name ends in "nsb", double-byte characters whose
// second byte is "\" do not split.
TEST_F(CallManEvents, HandlerTextsChooseThePageAndLabel) {
  const std::string kanji = Utf8ToSjis("表"); // second byte 0x5C
  Page("h.nsb", "Calc {r = 1}\nLabel \"" + std::string("lab") +
                    "\"\nCalc {r = r + 2}\n"
                    "Label \"表\"\nCalc {r = r + 4}\n");
  Page("main.nsb", "VarNew \"r\" type=1 value={0}\nWait\n");
  const THandlerCase cases[] = {
      {"no label", "h.nsb", 7},
      {"label", "h.nsb:lab", 6},
      {"missing label", "h.nsb:nolabel", 7},
      {"double-byte label", "h.nsb:" + kanji, 4},
      {"extension replaced", "h.txt", 7},
      {"dot after colon", "h:x.nsb", -1},
  };
  for (const THandlerCase& c : cases) {
    SCOPED_TRACE(c.name);
    calls.Start("main.nsb");
    Frame();
    Queue(c.handler);
    Frame();
    if (c.expected < 0) {
      EXPECT_EQ(scene.Events().Count(), 1); // "h:x.nsb" is no page
      scene.Events().Clear();
    } else {
      EXPECT_EQ(Str("r"), std::to_string(c.expected));
      EXPECT_EQ(scene.Events().Count(), 0);
    }
  }
}

// An event whose page does not exist stays at the front of the queue; the script goes on.
TEST_F(CallManEvents, MissingEventPageStaysQueued) {
  Page("main.nsb", "VarNew \"n\" type=1 value={0}\nCalc {n = n + 1} cont=0\n"
                   "Calc {n = n + 1} cont=0\nWait\n");
  Page("h.nsb", "Calc {n = 100}\n");
  calls.Start("main.nsb");
  Queue("nopage.nsb");
  Queue("h.nsb");
  Frame();
  Frame();
  EXPECT_EQ(Str("n"), "2");
  ASSERT_EQ(scene.Events().Count(), 2);
  EXPECT_EQ(scene.Events().At(0).handler, "nopage.nsb");
  EXPECT_EQ(scene.Events().At(1).level, 0);
}

} // namespace
} // namespace nova
