// SPDX-License-Identifier: MIT
// The same row loops compiled for AVX2; chosen at run time when the processor has it.
#include <cstring>

#include "graphics/private/dibx_rows.h"

namespace nova::dibx {

#if defined(__x86_64__) || defined(__i386__)
namespace {
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#include "graphics/private/dibx_rows_simd.inc"
#pragma clang attribute pop
} // namespace

const TRowKernels& Avx2RowKernels() { return kKernels; }
#else
const TRowKernels& Avx2RowKernels() { return Sse2RowKernels(); }
#endif

} // namespace nova::dibx
