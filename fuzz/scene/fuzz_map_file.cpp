// SPDX-License-Identifier: MIT
// Map files of map images: reading answers areas or a clean error, and every area answers
// its hit test and bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/nova_error.h"
#include "scene/kinds/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto areas = nova::ReadMapFile(std::span<const uint8_t>(data, size), "fuzz.map");
    for (const nova::TMapArea& a : areas) {
      const nova::TSceneRect b = a.Bounds();
      (void)a.Contains(b.Left, b.Top);
      (void)a.Contains(b.Right > b.Left ? b.Right - 1 : b.Left,
                       b.Bottom > b.Top ? b.Bottom - 1 : b.Top);
    }
    if (nova::WriteMapFile(areas).size() > size)
      __builtin_trap();
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
