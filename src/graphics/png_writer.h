// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nova {

class TCustomDIBX;

// Encodes any surface as an 8-bit RGB PNG (channels widened by repeating their high bits;
// palette formats through their palette). Used for screenshots and golden images.
std::vector<uint8_t> EncodePng(TCustomDIBX& surface);
// Writes EncodePng to a file; throws ENovaError naming the file when it cannot be written.
void WritePng(TCustomDIBX& surface, const std::string& path);

} // namespace nova
