// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "graphics/wisp_bitmap.h"

namespace nova {

// The draws that compose a frame from its layers. Source and destination have the same size and
// bit count. Truecolour pixels mix per channel: (d·(255 − a) + s·a) >> 8, truncating, and a
// destination pixel already equal to the source is left alone.

// Opacity 255 copies, 1–254 blends, 0 draws nothing; pixels equal to `key` (raw, −1 none) are
// skipped.
void ComposeKeyed(TWispBitmap& dst, const TWispBitmap& src, int32_t key, int32_t opacity);
// Through an 8-bit mask: 255 copies, 0 skips, anything between blends with that weight.
void ComposeMasked(TWispBitmap& dst, const TWispBitmap& src, const TWispBitmap& mask);

} // namespace nova
