// SPDX-License-Identifier: MIT
// Damaged ".nft" files: refused with an error, or registered with every glyph readable.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/nova_error.h"
#include "text/pixel_font_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    nova::TPixelFontSection section("fuzz.nft", std::vector<uint8_t>(data, data + size));
    std::vector<uint8_t> bitmap;
    for (uint32_t code = 0; code < 0x10000; ++code)
      if (const nova::TPixelFontRecord* rec = section.Find(static_cast<uint16_t>(code)))
        section.ReadBitmap(*rec, bitmap);
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
