// SPDX-License-Identifier: MIT
// novatool: makes and inspects titles. Each command group lives in cmd_<group>.cpp.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "base/version.h"
#include "tool_args.h"

#define NOVA_TOOL(group) int Tool_##group(const ToolArgs& args);
#include "tool_table.inc"
#undef NOVA_TOOL

namespace {

struct ToolEntry {
  const char* name;
  int (*run)(const ToolArgs&);
};

constexpr ToolEntry kTools[] = {
#define NOVA_TOOL(group) {#group, &Tool_##group},
#include "tool_table.inc"
#undef NOVA_TOOL
    {nullptr, nullptr},
};

// Every group's commands, a line each: each group prints them when called without a command,
// on stderr; here they go to `out`.
int Usage(std::FILE* out, int status) {
  std::fputs("usage: novatool GROUP COMMAND [ARGS...]\n       novatool --version\n\n", out);
  std::fflush(out);
  std::fflush(stderr);
  const int saved = ::dup(2);
  ::dup2(::fileno(out), 2);
  for (const ToolEntry& t : kTools) {
    if (!t.name || std::strcmp(t.name, "version") == 0)
      continue;
    t.run(ToolArgs());
    std::fflush(stderr);
  }
  ::dup2(saved, 2);
  ::close(saved);
  std::fputs("\nThe pages of docs/ describe each group.\n", out);
  return status;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2)
    return Usage(stderr, 2);
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
    return Usage(stdout, 0);
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("novatool %s\n", nova::kNovaVersion);
    return 0;
  }
  for (const ToolEntry& t : kTools) {
    if (!t.name || std::strcmp(t.name, argv[1]) != 0)
      continue;
    ToolArgs args(argv + 2, argv + argc);
    try {
      return t.run(args);
    } catch (const nova::ENovaError& e) {
      std::fprintf(stderr, "novatool %s: %s\n", t.name, nova::SjisToUtf8(e.what()).c_str());
      return 1;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "novatool %s: %s\n", t.name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "novatool: unknown group \"%s\"\n", argv[1]);
  return Usage(stderr, 2);
}
