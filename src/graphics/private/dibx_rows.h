// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_pixel_rules.h"

namespace nova::dibx {

// One row of n pixels: dst and src rows of the same storage, an optional mask row of bytes.
// src is null for fills, mask is null unless the op reads one.
using TRowFn = void (*)(uint8_t* dst, const uint8_t* src, const uint8_t* mask, int n,
                        const TRowParams& params);

// Row loops for 16-bit (5-5-5 and 5-6-5) and 32-bit storage, one per op.
struct TRowKernels {
  TRowFn row16[static_cast<int>(TRowOp::Count)];
  TRowFn row32[static_cast<int>(TRowOp::Count)];
};

const TRowKernels& Sse2RowKernels();
const TRowKernels& Avx2RowKernels();
// The loops of the selected level, or null for the per-pixel reference.
const TRowKernels* ActiveRowKernels();

} // namespace nova::dibx
