// SPDX-License-Identifier: MIT
// Putting parts of one picture frame down by the opacity convention, through its mask or key
// colour: single cells (glyph sheets, thumbs, buttons) and repeat fills (bars, tracks).
#pragma once
#include <cstdint>

#include "graphics/dibx.h"

namespace nova {

class TNovaImageData;

// Draws `src_rect` of the frame at (x, y).
void PutFrameCell(TCustomDIBX& target, int32_t x, int32_t y, int32_t alpha, TFlip flip,
                  const TRect& src_rect, const TNovaImageData& frame);
// Repeats `src_rect` of the frame over `dst`, the pattern starting `phase_x`, `phase_y` pixels
// into the part.
void RepeatFrameCell(TCustomDIBX& target, const TRect& dst, int32_t phase_x, int32_t phase_y,
                     int32_t alpha, TFlip flip, const TRect& src_rect, const TNovaImageData& frame);
// A scene rectangle as a surface rectangle.
TRect SurfaceRectOf(int32_t left, int32_t top, int32_t right, int32_t bottom);

} // namespace nova
