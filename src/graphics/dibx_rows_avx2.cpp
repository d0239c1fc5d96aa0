// SPDX-License-Identifier: MIT
// The same row loops compiled for AVX2; chosen at run time when the processor has it.
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "graphics/private/dibx_rows.h"

namespace nova::dibx {

#if defined(__x86_64__) || defined(__i386__)
namespace {
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#include "graphics/private/dibx_rows_simd.inc"
#pragma clang attribute pop
} // namespace

namespace {

// Eight 32-bit lanes holding byte values, packed into eight bytes.
__attribute__((target("avx2"))) inline void StoreBytes8(uint8_t* out, __m256i v) {
  const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}

// Mask bytes at byte offsets off from a row-aligned base: the aligned dword holding each byte is
// read (it lies inside the row, whose start and pitch are multiples of 4) and shifted down.
__attribute__((target("avx2"))) inline __m256i GatherMaskBytes(const uint8_t* base, __m256i off) {
  const __m256i dwords = _mm256_i32gather_epi32(reinterpret_cast<const int*>(base),
                                                _mm256_andnot_si256(_mm256_set1_epi32(3), off), 1);
  const __m256i shift = _mm256_slli_epi32(_mm256_and_si256(off, _mm256_set1_epi32(3)), 3);
  return _mm256_and_si256(_mm256_srlv_epi32(dwords, shift), _mm256_set1_epi32(0xFF));
}

// sign is 1 or -1: t or -t without a multiply.
__attribute__((target("avx2"))) inline __m256i ApplySign(__m256i t, int32_t sign) {
  const __m256i s = _mm256_set1_epi32(sign < 0 ? -1 : 0);
  return _mm256_sub_epi32(_mm256_xor_si256(t, s), s);
}

__attribute__((target("avx2"))) void GatherAffine32(const uint8_t* src, ptrdiff_t srcPitch,
                                                    const uint8_t* mask, ptrdiff_t maskPitch,
                                                    const TAffineSteps& st, int n, uint8_t* pixels,
                                                    uint8_t* maskBytes) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  // Lanes past the segment's end may wrap; only whole blocks inside it are used.
  __m256i u =
      _mm256_add_epi32(_mm256_set1_epi32(st.u), _mm256_mullo_epi32(lane, _mm256_set1_epi32(st.du)));
  __m256i v =
      _mm256_add_epi32(_mm256_set1_epi32(st.v), _mm256_mullo_epi32(lane, _mm256_set1_epi32(st.dv)));
  const __m256i du8 = _mm256_set1_epi32(static_cast<int32_t>(uint32_t(st.du) * 8u));
  const __m256i dv8 = _mm256_set1_epi32(static_cast<int32_t>(uint32_t(st.dv) * 8u));
  const __m256i ox = _mm256_set1_epi32(st.originX), oy = _mm256_set1_epi32(st.originY);
  const __m256i sp = _mm256_set1_epi32(static_cast<int32_t>(srcPitch));
  const __m256i mp = _mm256_set1_epi32(static_cast<int32_t>(maskPitch));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i x = _mm256_add_epi32(ox, ApplySign(_mm256_srli_epi32(u, 16), st.signX));
    const __m256i y = _mm256_add_epi32(oy, ApplySign(_mm256_srli_epi32(v, 16), st.signY));
    const __m256i off = _mm256_add_epi32(_mm256_mullo_epi32(y, sp), _mm256_slli_epi32(x, 2));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i * 4),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(src), off, 1));
    if (mask)
      StoreBytes8(maskBytes + i,
                  GatherMaskBytes(mask, _mm256_add_epi32(_mm256_mullo_epi32(y, mp), x)));
    u = _mm256_add_epi32(u, du8);
    v = _mm256_add_epi32(v, dv8);
  }
  int64_t uu = int64_t{st.u} + int64_t{i} * st.du, vv = int64_t{st.v} + int64_t{i} * st.dv;
  for (; i < n; ++i, uu += st.du, vv += st.dv) {
    const int64_t x = st.originX + st.signX * (uu >> 16), y = st.originY + st.signY * (vv >> 16);
    std::memcpy(pixels + i * 4, src + y * srcPitch + x * 4, 4);
    if (mask)
      maskBytes[i] = mask[y * maskPitch + x];
  }
}

__attribute__((target("avx2"))) void GatherColumns32(const uint8_t* srcRow, const uint8_t* maskRow,
                                                     const int32_t* xs, int n, uint8_t* pixels,
                                                     uint8_t* maskBytes) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i * 4),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(srcRow), x, 4));
    if (maskRow)
      StoreBytes8(maskBytes + i, GatherMaskBytes(maskRow, x));
  }
  for (; i < n; ++i) {
    std::memcpy(pixels + i * 4, srcRow + ptrdiff_t{xs[i]} * 4, 4);
    if (maskRow)
      maskBytes[i] = maskRow[xs[i]];
  }
}

} // namespace

const TRowKernels& Avx2RowKernels() {
  static const TRowKernels kernels = [] {
    TRowKernels k = kKernels;
    k.gatherAffine32 = &GatherAffine32;
    k.gatherColumns32 = &GatherColumns32;
    return k;
  }();
  return kernels;
}
#else
const TRowKernels& Avx2RowKernels() { return Sse2RowKernels(); }
#endif

} // namespace nova::dibx
