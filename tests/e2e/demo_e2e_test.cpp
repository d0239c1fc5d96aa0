// SPDX-License-Identifier: MIT
// The demo title runs to its end: the first screen of drawn pictures, loop, call with a result,
// the If chain, the wait, the exit page.
#include <gtest/gtest.h>

#include "e2e/picture_title.h"
#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

TEST(DemoE2e, RunsToTheEndAndShowsTheGoldenFirstScreen) {
  TTestTitle title("demo");
  for (const auto& entry : std::filesystem::directory_iterator(NOVA_SOURCE_DIR "/demo/src"))
    title.Add(entry.path().filename().string(), title.Slurp(entry.path()));
  std::string error;
  // The build draws demo/pictures/NAME.txt into the title as NAME.wsp.
  for (const auto& entry : std::filesystem::directory_iterator(NOVA_SOURCE_DIR "/demo/pictures"))
    ASSERT_TRUE(
        DrawPicture(title, entry.path().stem().string() + ".wsp", title.Slurp(entry.path()), error))
        << error;
  // And demo/films/NAME.txt into NAME.nmt.
  for (const auto& entry : std::filesystem::directory_iterator(NOVA_SOURCE_DIR "/demo/films"))
    ASSERT_TRUE(BuildFromText(title, "film build", entry.path().stem().string() + ".nmt",
                              title.Slurp(entry.path()), error))
        << error;
  const std::filesystem::path trace = title.Root() / "trace.txt";
  std::map<std::string, std::string> vars;
  TDIBX shot(1, 1, 32);
  ASSERT_TRUE(Screenshot(title, 330, "", shot, error, &vars, "--trace " + trace.string())) << error;
  EXPECT_EQ(vars["total"], "int global -1 = 25");
  EXPECT_EQ(vars["fact"], "int global -1 = 120");
  EXPECT_EQ(vars["log"], "str global -1 = \"medium, waited\"");
  EXPECT_EQ(vars["closed"], "flag global -1 = TRUE");
  const std::string lines = title.Slurp(trace);
  EXPECT_EQ(lines.rfind("00000010 : main.nsb(2)\n", 0), 0u) << lines;
  EXPECT_NE(lines.find(" : fact.nsb("), std::string::npos);
  EXPECT_NE(lines.find(" : exit.nsb(2)\n"), std::string::npos);
  // The first screen as it rests after the comet and the shooting star have passed.
  CompareWithGolden(shot, "demo_first_screen");
}

} // namespace
} // namespace nova::e2e
