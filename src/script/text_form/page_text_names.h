// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace nova {

// Words of the page text form shared by its reader and writer.

// "int", "float", "flag", "str" for the type codes 1…4, else the number.
std::string ResultTypeWord(uint8_t type);
// The type code of such a word, or -1.
int ResultTypeFromWord(const std::string& word);

// The kind name for mask entries 0…60, else the number.
std::string MaskEntryWord(int32_t k);

} // namespace nova
