// SPDX-License-Identifier: MIT
// Layered images, PNG and bitmaps from arbitrary bytes, chosen by their magic as the surfaces'
// loader does; anything else is read as a layered image without magic (version 0).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/nova_error.h"
#include "graphics/wisp_frame_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  std::span<const uint8_t> bytes(data, size);
  // Small caps keep each run fast; the checks are the same as at full size.
  WispLimits limits;
  limits.max_pixels = 1 << 20;
  limits.max_total_bytes = 64 << 20;
  // The first byte picks the identification code so that permuted files are reached too.
  TWispFrameList list(size > 0 ? data[0] : 0);
  list.set_limits(limits);
  const char* name = "fuzz.wsp";
  if (size >= 4 && std::memcmp(data + 1, "PNG", 3) == 0) {
    name = "fuzz.png";
  } else if (size >= 2 && std::memcmp(data, "BM", 2) == 0) {
    name = "fuzz.bmp";
  }
  try {
    list.LoadFromMemory(bytes, name);
    for (int i = 0; i < list.Count(); ++i) {
      TWispFrame& f = list.Frame(i);
      f.Trim();
      f.MakeMask();
    }
    list.SaveToBytes();
  } catch (const ENovaError&) {
  }
  return 0;
}
