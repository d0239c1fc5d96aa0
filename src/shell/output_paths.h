// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string>

namespace nova {

struct TPlayerOptions;

// The files and folders the options name for writing (screenshots, trace, variable dump,
// record) are checked before the title starts, so that a run does not end in a failure after
// minutes of play. The message names the option, the path and what is wrong; nullopt when all
// can be written.
std::optional<std::string> CheckOutputPaths(const TPlayerOptions& options);

} // namespace nova
