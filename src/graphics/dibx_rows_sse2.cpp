// SPDX-License-Identifier: MIT
// Row loops for the x86-64 baseline (SSE2); other processors get the same code for their own
// baseline vectors.
#include <cstring>

#include "graphics/private/dibx_rows.h"

namespace nova::dibx {
namespace {
#include "graphics/private/dibx_rows_simd.inc"
} // namespace

const TRowKernels& Sse2RowKernels() { return kKernels; }

} // namespace nova::dibx
