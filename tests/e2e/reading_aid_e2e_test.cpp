// SPDX-License-Identifier: MIT
// Player features that titles never see: the text log of revealed pages, and fast-forward.
#include <gtest/gtest.h>

#include <fstream>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

TEST(ReadingAidE2e, TextLogHasOneLineOfPlainTextPerRevealedPage) {
  TTestTitle title("text_log");
  title.Page("main.nsb",
             "MesNew PR_NAME={\"m\"} PR_PARENT={\"\"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={400} "
             "PR_HEIGHT={200} PR_FONTHEIGHT={16}\n"
             "TextIns text=\"<RUBY VALUE=わがはい>吾輩</RUBY>は<B>猫</B>である。<BR>名前は"
             "<FONT COLOR=#FF0000>まだ</FONT>無い。\" delay=0 box={\"m\"} history={1} wait={0}\n"
             "Wait time={200}\n"
             "TextIns text=\"two\" delay=0 box={\"m\"} history={1} wait={0}\n"
             "Wait time={300}\n"
             "TextIns text=\"never revealed\" delay=100 box={\"m\"} history={1} wait={0}\n");
  const std::filesystem::path log = title.Root() / "log.txt";
  std::string error;
  title.Run(40, &error, "--text-log > " + log.string());
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_EQ(title.Slurp(log), "吾輩は猫である。 名前はまだ無い。\ntwo\n");
  // Without the option the player writes nothing.
  title.Run(40, &error, "> " + log.string());
  EXPECT_EQ(title.Slurp(log), "");
}

// Tab held for the first ten frames: with --turbo they count four times, so a 600 ms wait of
// the title ends within 30 frames of 16 ms (480 ms of normal time).
TEST(ReadingAidE2e, TurboTabHoldRunsTheGameClockFast) {
  TTestTitle title("turbo");
  title.Page("main.nsb", "Wait time={600}\nVarNew \"done\" type=1 value={@TickCount}\n");
  const std::filesystem::path input = title.Root() / "tab.txt";
  std::ofstream(input) << "0 keydown 9\n10 keyup 9\n";
  std::string error;
  auto vars = title.Run(30, &error, "--turbo --input " + input.string());
  ASSERT_TRUE(error.empty()) << error;
  const std::string done = ValueOf(vars, "done");
  ASSERT_FALSE(done.empty());
  EXPECT_GE(std::stoi(done), 600);
  EXPECT_LT(std::stoi(done), 600 + 4 * 16 + 16);
  // Headless runs without --turbo keep normal time.
  vars = title.Run(30, &error, "--input " + input.string());
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_EQ(ValueOf(vars, "done"), "");
}

} // namespace
} // namespace nova::e2e
