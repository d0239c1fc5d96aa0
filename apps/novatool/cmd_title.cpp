// SPDX-License-Identifier: MIT
#include <cstdio>

#include "script/title_build.h"
#include "script_tool_files.h"
#include "tool_args.h"

// `novatool title build SRC_DIR -o OUT_DIR`: a folder of sources becomes a title
// (docs/title-build.md).
int Tool_title(const ToolArgs& args) {
  std::string input, output;
  if (args.empty() || args[0] != "build" || !nova_tool::SplitOutput(args, input, output) ||
      output.empty()) {
    std::fputs("usage: novatool title build SRC_DIR -o OUT_DIR\n", stderr);
    return 2;
  }
  nova::BuildTitle(input, output);
  return 0;
}
