// SPDX-License-Identifier: MIT
#pragma once

namespace nova {

// The version both programs report with --version; the project() line of CMakeLists.txt names
// the same.
inline constexpr char kNovaVersion[] = "0.1";

} // namespace nova
