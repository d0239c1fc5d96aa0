// SPDX-License-Identifier: MIT
#pragma once
#include <string_view>

namespace nova {

// A file-name pattern: "*" any run of characters, "?" one; letters compared ignoring case
// (single-byte letters only, as title file names compare).
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace nova
