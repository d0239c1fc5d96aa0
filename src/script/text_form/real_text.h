// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace nova {

// A stored 10-byte extended real as text: the shortest decimal that reads back to the same
// bytes, or "hex:" and the 20 hexadecimal digits of the bytes when no decimal does.
std::string FormatRealBytes(const std::array<uint8_t, 10>& bytes);
// Reads such a text; false when it is neither form.
bool ParseRealText(const std::string& text, std::array<uint8_t, 10>& bytes);

} // namespace nova
