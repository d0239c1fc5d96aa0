// SPDX-License-Identifier: MIT
// What the programs say about themselves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

// Output (stdout and stderr) and exit status of a shell command.
std::pair<std::string, int> Shell(const std::string& command) {
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  std::string out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  const int status = ::pclose(pipe);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Every command of every group has a line in the help; a group alone lists its own.
TEST(ToolsHelp, EveryCommandIsListed) {
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const char* commands[] = {"archive list", "archive extract", "archive pack", "archive cat",
                            "expr compile", "expr dump",       "expr eval",    "expr batch",
                            "image info",   "image topng",     "image towsp",  "image draw",
                            "page asm",     "page disasm",     "project asm",  "project dump",
                            "text render",  "text asm",        "text disasm",  "text fonts",
                            "text pack",    "title build"};
  for (const auto& [args, status] : {std::pair{"--help", 0}, std::pair{"", 2}}) {
    SCOPED_TRACE(args);
    const auto [out, got] = Shell(tool + " " + args);
    EXPECT_EQ(got, status);
    for (const char* c : commands)
      EXPECT_NE(out.find(std::string("novatool ") + c), std::string::npos) << c;
  }
  const auto [group, status] = Shell(tool + " expr");
  EXPECT_EQ(status, 2);
  for (const char* c : {"expr compile", "expr dump", "expr eval", "expr batch"})
    EXPECT_NE(group.find(std::string("novatool ") + c + " "), std::string::npos) << c;
}

TEST(ToolsHelp, BothProgramsTellTheirVersion) {
  for (const std::string program : {Tool("NOVA_TOOL", "/apps/novatool/novatool"),
                                    Tool("NOVA_PLAY", "/apps/novaplay/novaplay")}) {
    const auto [out, status] = Shell(program + " --version");
    EXPECT_EQ(status, 0) << program;
    EXPECT_NE(out.find(" 0.1"), std::string::npos) << out;
  }
}

} // namespace
} // namespace nova::e2e
