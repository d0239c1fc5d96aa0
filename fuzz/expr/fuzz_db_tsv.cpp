// SPDX-License-Identifier: MIT
// Damaged table text files: loading ends cleanly, and the table it leaves sorts and searches.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "expr/db_table.h"
#include "expr/db_tsv.h"
#include "expr/param_types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nova::TDBTable table("fuzz", false);
  nova::LoadTsv(table, std::string_view(reinterpret_cast<const char*>(data), size));
  const int32_t fields = table.Fields().Count();
  if (fields == 0)
    return 0;
  const nova::TDBSortKey keys[] = {{0, false}, {fields - 1, true}};
  table.Sort(keys);
  nova::TDBSelection sel;
  sel.ignore_case = true;
  sel.partial = true;
  sel.conditions.push_back({fields - 1, nova::PT_STR, 0, 0, false, "A"});
  table.Select(sel);
  for (int32_t r = 0; r < table.RecordCount() && r < 64; ++r) {
    for (int32_t f = 0; f < fields; ++f) {
      table.Fields()[f].ReadStr(table.Record(r));
      table.Fields()[f].ReadReal(table.Record(r));
    }
  }
  return 0;
}
