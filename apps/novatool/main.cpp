// SPDX-License-Identifier: MIT
// novatool: makes and inspects titles. Each command group lives in cmd_<group>.cpp.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "base/nova_error.h"
#include "base/sjis.h"
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

int Usage() {
  std::fputs("usage: novatool GROUP COMMAND [ARGS...]\ngroups:", stderr);
  for (const ToolEntry& t : kTools) {
    if (t.name) std::fprintf(stderr, " %s", t.name);
  }
  std::fputs("\nsee docs/ for each group's commands\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  for (const ToolEntry& t : kTools) {
    if (!t.name || std::strcmp(t.name, argv[1]) != 0) continue;
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
  return Usage();
}
