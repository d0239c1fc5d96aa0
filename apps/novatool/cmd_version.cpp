// SPDX-License-Identifier: MIT
#include <cstdio>

#include "base/version.h"
#include "tool_args.h"

// `novatool version`: prints the tool's version.
int Tool_version(const ToolArgs&) {
  std::printf("novatool %s\n", nova::kNovaVersion);
  return 0;
}
