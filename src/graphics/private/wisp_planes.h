// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/wisp_bitmap.h"
#include "graphics/wisp_frame.h"

namespace nova {

enum class WispCompression : uint8_t { kZlib = 0, kStored = 1, kJpeg = 2 };
enum class WispPlaneKind { kColor, kAlpha };

// How the planes of one file are packed, from its header.
struct WispPlaneLayout {
  WispCompression compression = WispCompression::kZlib;
  bool permuted = false;
  int32_t code = 0; // identification code that keys the permutation
  int32_t tile_width = 0, tile_height = 0;
  bool tiled() const { return tile_width > 0 && tile_height > 0; }
};

// Decodes one stored plane into `out`, which is already sized (and, for colour planes, carries the
// frame's bit count). `earlier` holds the frames read so far, for tiles that repeat an area of
// one of their layers. Throws ENovaError describing the fault (without the file and frame).
void DecodeWispPlane(std::span<const uint8_t> stored, const WispPlaneLayout& layout,
                     WispPlaneKind kind, const std::vector<TWispFrame>& earlier, TWispBitmap& out);

// Packs a plane in the row layout, rows permuted by `code` when it is not 0.
std::vector<uint8_t> EncodeWispPlane(const TWispBitmap& plane, WispCompression compression,
                                     WispPlaneKind kind, int32_t code, int quality);

} // namespace nova
