// SPDX-License-Identifier: MIT
// Damaged glyph-list streams: a clear error or a loaded list, which then saves and lays out.
#include <cstddef>
#include <cstdint>

#include "base/nova_error.h"
#include "text/zpword.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nova::TZpWord word;
  word.settings.default_size = 10;
  word.settings.wrap_width = 80;
  try {
    nova::BinaryReader reader({data, size}, "fuzz");
    word.LoadGlyphs(reader);
  } catch (const nova::ENovaError&) {
  }
  nova::BinaryWriter out;
  word.SaveGlyphs(out);
  nova::PageList pages;
  word.Layout(pages);
  return 0;
}
