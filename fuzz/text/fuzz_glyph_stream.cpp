// SPDX-License-Identifier: MIT
// Damaged glyph-list streams: a clear error or a loaded list, which then saves and lays out;
// markup recovered from a stream must build the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
  if (auto source = nova::RecoverGlyphStreamSource({data, size}, 50)) {
    const std::vector<uint8_t> again =
        nova::MarkupToGlyphStream(source->markup, source->text_delay_ms);
    if (again != std::vector<uint8_t>(data, data + size))
      std::abort();
  }
  return 0;
}
