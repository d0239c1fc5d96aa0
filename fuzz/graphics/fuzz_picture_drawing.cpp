// SPDX-License-Identifier: MIT
// Picture descriptions: any text either draws frames within the caps or fails with ENovaError.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/nova_error.h"
#include "graphics/picture_drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    nova::DrawPictures(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt");
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
