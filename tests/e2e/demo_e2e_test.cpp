// SPDX-License-Identifier: MIT
// The demo title runs to its end: loop, call with a result, the If chain, the wait, the exit page.
#include <gtest/gtest.h>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

TEST(DemoE2e, RunsToTheEndWithTraceAndVariables) {
  TTestTitle title("demo");
  for (const auto& entry : std::filesystem::directory_iterator(NOVA_SOURCE_DIR "/demo/src"))
    title.Add(entry.path().filename().string(), title.Slurp(entry.path()));
  const std::filesystem::path trace = title.Root() / "trace.txt";
  std::string error;
  auto vars = title.Run(60, &error, "--trace " + trace.string());
  ASSERT_EQ(error, "");
  EXPECT_EQ(vars["total"], "int global -1 = 25");
  EXPECT_EQ(vars["fact"], "int global -1 = 120");
  EXPECT_EQ(vars["log"], "str global -1 = \"medium, waited\"");
  EXPECT_EQ(vars["closed"], "flag global -1 = TRUE");
  const std::string lines = title.Slurp(trace);
  EXPECT_EQ(lines.rfind("00000010 : main.nsb(2)\n", 0), 0u) << lines;
  EXPECT_NE(lines.find(" : fact.nsb("), std::string::npos);
  EXPECT_NE(lines.find(" : exit.nsb(2)\n"), std::string::npos);
}

} // namespace
} // namespace nova::e2e
