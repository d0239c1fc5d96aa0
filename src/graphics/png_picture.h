// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/wisp_bitmap.h"
#include "graphics/wisp_frame.h"

namespace nova {

// A PNG file as one frame. Truecolour and grey-with-alpha files become 32-bit pictures (alpha
// channel → alpha plane), palette files keep their 1-, 4- or 8-bit indices (2-bit ones widen to
// 8), grey files become 8-bit pictures with a grey palette; 16-bit channels keep their high byte.
// A single transparent colour becomes the frame's key; a palette whose transparency is more than
// one fully transparent entry becomes a truecolour picture with alpha. Raises ENovaError naming
// `name` for damaged or oversized files.
TWispFrame DecodePngFrame(std::span<const uint8_t> data, const std::string& name,
                          const WispLimits& limits);

// Encodes a picture as 8-bit RGB, or RGBA when it has an alpha plane. A key (raw value, −1 none)
// of a picture without alpha becomes the file's transparent colour.
std::vector<uint8_t> EncodePictureAsPng(const TWispPicture& picture, int32_t transparent);

} // namespace nova
