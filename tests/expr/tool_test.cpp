// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string RunTool(const std::string& args) {
  const char* tool = std::getenv("NOVA_TOOL");
  if (!tool)
    return "NOVA_TOOL not set";
  std::string out;
  FILE* p = popen((std::string(tool) + " expr " + args + " 2>&1").c_str(), "r");
  char buf[256];
  while (p && fgets(buf, sizeof buf, p))
    out += buf;
  if (p)
    pclose(p);
  return out;
}

TEST(ExprTool, CompileDumpEvalAndBatch) {
  EXPECT_EQ(RunTool("compile 'x = 1'"), "01000000010100000078010000000101000000\n");
  EXPECT_EQ(RunTool("dump 'x = a + 1'"), "ocPlus ____0 var:a int:1\nocTo x var:____0\n");
  EXPECT_EQ(RunTool("eval 'x = x * 2 + 1' x=int:20"), "result: none\nx = int:41\n");
  EXPECT_EQ(RunTool("eval 's ++ \"語\"' s=str:日本"), "result: str:日本語\n");
  EXPECT_EQ(RunTool("eval 'y = 1 / 0'"), "result: none\nerror: Division by zero\n");
  std::string path = ::testing::TempDir() + "/expr_batch.txt";
  std::ofstream(path) << "x = 1\r\na = b = c\ninttostr(1)\n";
  EXPECT_EQ(RunTool("batch " + path), "01000000010100000078010000000101000000\nERROR: 構文エラー\n"
                                      "ERROR: \"inttostr\" 関数名がありません\n");
  EXPECT_EQ(RunTool("compile 'x = (1'"), "ERROR: 構文エラー\n");
}

} // namespace
