// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

class TDIBX;
class TCustomDIBX;

// Decodes a Windows bitmap into `picture`: palette formats keep their indices and palette,
// every other format becomes 32-bit. Throws ENovaError naming `name` for damaged data.
void DecodeBmp(std::span<const uint8_t> bytes, const std::string& name, TDIBX& picture);
// Encodes a surface as a 24-bit bottom-up bitmap.
std::vector<uint8_t> EncodeBmp24(TCustomDIBX& surface);
// Decodes a PNG (the signature's first byte is not checked) into a 32-bit picture; alpha is
// dropped. Throws ENovaError naming `name` for damaged data.
void DecodePng(std::span<const uint8_t> bytes, const std::string& name, TDIBX& picture);

} // namespace nova
