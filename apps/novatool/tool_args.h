// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

// The words after the command group, e.g. for `novatool archive list a.dat`: {"list", "a.dat"}.
// A command returns the process exit status: 0 success, 1 failure of the work, 2 bad usage.
using ToolArgs = std::vector<std::string>;
