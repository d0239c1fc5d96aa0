// SPDX-License-Identifier: MIT
// Markup of any bytes: parse, lay out in fixed cells and reveal; never crashes or hangs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/nova_error.h"
#include "text/zpword.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096)
    return 0;
  nova::TZpWord word;
  word.settings.default_size = 10;
  word.settings.wrap_width = 100;
  word.settings.page_height = 40;
  word.settings.events_on = true;
  try {
    word.Parse({std::string(reinterpret_cast<const char*>(data), size)}, 5);
  } catch (const nova::ENovaError&) {
  }
  nova::PageList pages;
  word.Layout(pages);
  for (auto& page : pages)
    for (int tick = 0; tick < 4; ++tick)
      word.RevealTick(*page, 16);
  nova::BinaryWriter out;
  word.SaveGlyphs(out);
  return 0;
}
