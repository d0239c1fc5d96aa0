// SPDX-License-Identifier: MIT
// Cursor files (".cur", ".ani") from titles: decoding answers a picture or nothing.
#include <cstddef>
#include <cstdint>
#include <span>

#include "scene/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto img = nova::DecodeCursorFile(std::span<const uint8_t>(data, size));
  if (img && img->argb.size() != static_cast<size_t>(img->width) * img->height)
    __builtin_trap();
  return 0;
}
