// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

// zlib streams through libdeflate. Inflate fills `out` exactly and fails when the stream is
// damaged or holds a different amount; InflateAtMost fails above `max_bytes`.
bool ZlibInflate(std::span<const uint8_t> in, std::span<uint8_t> out);
bool ZlibInflateAtMost(std::span<const uint8_t> in, size_t max_bytes, std::vector<uint8_t>& out);
std::vector<uint8_t> ZlibDeflate(std::span<const uint8_t> in, int level = 6);

// Where a JPEG decodes to: rows of `pitch` bytes, 3 (blue, green, red) or 4 bytes per pixel
// (blue, green, red, 0). Decoding fails unless the image is exactly width × height.
struct JpegTarget {
  uint8_t* pixels;
  size_t pitch;
  int32_t width, height;
  int bytes_per_pixel;
};
// Returns "" on success, otherwise what went wrong.
std::string JpegDecode(std::span<const uint8_t> jpeg, const JpegTarget& target);
// Reads only the size; false when the header is damaged.
bool JpegSize(std::span<const uint8_t> jpeg, int32_t& width, int32_t& height);
// Encodes rows of 3 or 4 bytes per pixel (blue first) at quality 1–100.
std::vector<uint8_t> JpegEncode(const uint8_t* pixels, size_t pitch, int32_t width, int32_t height,
                                int bytes_per_pixel, int quality);

} // namespace nova
