// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace nova {

class TDIBX;

// Decodes a layered image ("Wisp" at offset 0) for TCustomDIBX::LoadFromStream. The
// layered-image code implements it and registers it at start-up; surfaces stay free of that
// format. DecodeComposite fills `picture` (any size and bit count) with the composite picture
// of frame 0, or throws ENovaError naming `name` for a damaged file.
class TWispSurfaceDecoder {
public:
  virtual ~TWispSurfaceDecoder() = default;
  virtual void DecodeComposite(std::span<const uint8_t> bytes, const std::string& name,
                               TDIBX& picture) = 0;
};

// Registers the decoder (null to remove it); returns the previous one. Without a decoder,
// layered images are treated as unrecognised streams.
TWispSurfaceDecoder* SetWispSurfaceDecoder(TWispSurfaceDecoder* decoder);
TWispSurfaceDecoder* WispSurfaceDecoder();

} // namespace nova
