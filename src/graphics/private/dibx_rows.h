// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_pixel_rules.h"

namespace nova::dibx {

// One row of n pixels: dst and src rows of the same storage, an optional mask row of bytes.
// src is null for fills, mask is null unless the op reads one.
using TRowFn = void (*)(uint8_t* dst, const uint8_t* src, const uint8_t* mask, int n,
                        const TRowParams& params);

// The source coordinates of a rotated row segment in 16.16: pixel i reads column
// originX + signX * ((u + i du) >> 16) and row originY + signY * ((v + i dv) >> 16), signs being
// 1 or -1. Every u and v of the segment is non-negative and fits 32 bits, and every pixel it
// reads lies inside the source (and mask).
struct TAffineSteps {
  int32_t u = 0, v = 0, du = 0, dv = 0;
  int32_t originX = 0, signX = 1, originY = 0, signY = 1;
};

// Collect the n source pixels (and mask bytes, when a mask is given) of a sampled row segment
// into contiguous rows. Mask rows must start on 4-byte boundaries (base and pitch), which
// every allocated surface has.
using TGatherAffineFn = void (*)(const uint8_t* src, ptrdiff_t srcPitch, const uint8_t* mask,
                                 ptrdiff_t maskPitch, const TAffineSteps& steps, int n,
                                 uint8_t* pixels, uint8_t* maskBytes);
// Pixel i is column xs[i] of the given source (and mask) row.
using TGatherColumnsFn = void (*)(const uint8_t* srcRow, const uint8_t* maskRow, const int32_t* xs,
                                  int n, uint8_t* pixels, uint8_t* maskBytes);

// Row loops for 16-bit (5-5-5 and 5-6-5) and 32-bit storage, one per op; gathers for 32-bit
// sources where the instruction set has them (null otherwise).
struct TRowKernels {
  TRowFn row16[static_cast<int>(TRowOp::Count)];
  TRowFn row32[static_cast<int>(TRowOp::Count)];
  TGatherAffineFn gatherAffine32 = nullptr;
  TGatherColumnsFn gatherColumns32 = nullptr;
};

const TRowKernels& Sse2RowKernels();
const TRowKernels& Avx2RowKernels();
// The loops of the selected level, or null for the per-pixel reference.
const TRowKernels* ActiveRowKernels();

} // namespace nova::dibx
