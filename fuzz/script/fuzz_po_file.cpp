// SPDX-License-Identifier: MIT
// Catalogue reader: any text reads or fails with ENovaError; what it reads writes back to a
// catalogue that reads to the same entries.
#include <cstdlib>
#include <string_view>

#include "base/nova_error.h"
#include "script/po_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  std::vector<TPoEntry> entries;
  try {
    entries = ReadPo({reinterpret_cast<const char*>(data), size}, "fuzz.po");
  } catch (const ENovaError&) {
    return 0;
  }
  // Comments are free text and may hold what a written comment line cannot; drop them.
  for (TPoEntry& e : entries) {
    e.notes.clear();
    e.references.clear();
  }
  const std::vector<TPoEntry> again = ReadPo(WritePo(entries), "again.po");
  if (again.size() != entries.size())
    std::abort();
  for (size_t i = 0; i < again.size(); ++i) {
    if (again[i].context != entries[i].context || again[i].msgid != entries[i].msgid ||
        again[i].msgstr != entries[i].msgstr || again[i].fuzzy != entries[i].fuzzy)
      std::abort();
  }
  return 0;
}
