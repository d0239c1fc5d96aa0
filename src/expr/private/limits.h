// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>

namespace nova {

// Bounds on what one expression may build, so that hostile text or pages cannot exhaust memory:
// far above anything a title uses.
constexpr size_t kMaxStringBytes = size_t{4} << 20;
constexpr int64_t kMaxElements = int64_t{1} << 20;

// Throws unless a string of `bytes` stays within kMaxStringBytes.
void CheckStringSize(size_t bytes, const char* what);

} // namespace nova
