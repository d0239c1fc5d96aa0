// SPDX-License-Identifier: MIT
#include <atomic>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_rows.h"

namespace nova {
namespace {

std::atomic<TDibxKernels>& Level() {
  static std::atomic<TDibxKernels> level{BestDibxKernels()};
  return level;
}

} // namespace

TDibxKernels BestDibxKernels() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2 ? TDibxKernels::Avx2 : TDibxKernels::Sse2;
#else
  return TDibxKernels::Sse2;
#endif
}

TDibxKernels SetDibxKernels(TDibxKernels level) {
  // A level the processor lacks falls back to the best it has.
  if (level == TDibxKernels::Avx2 && BestDibxKernels() != TDibxKernels::Avx2)
    level = TDibxKernels::Sse2;
  return Level().exchange(level);
}

TDibxKernels DibxKernels() { return Level().load(); }

namespace dibx {

const TRowKernels* ActiveRowKernels() {
  switch (DibxKernels()) {
  case TDibxKernels::Reference:
    return nullptr;
  case TDibxKernels::Sse2:
    return &Sse2RowKernels();
  case TDibxKernels::Avx2:
    return &Avx2RowKernels();
  }
  return nullptr;
}

} // namespace dibx
} // namespace nova
