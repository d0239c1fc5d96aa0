// SPDX-License-Identifier: MIT
#include <cstdio>

#include "tool_args.h"

// `novatool version`: prints the tool's version.
int Tool_version(const ToolArgs&) {
  std::puts("novatool 0.1");
  return 0;
}
