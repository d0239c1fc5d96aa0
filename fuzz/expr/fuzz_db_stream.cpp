// SPDX-License-Identifier: MIT
// Damaged table parts of saved games: reading fails cleanly or gives tables that write back to
// the same bytes and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "expr/db_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nova::TDBManager db;
  nova::BinaryReader r(std::span<const uint8_t>(data, size), "fuzz.dat");
  try {
    db.LoadGameTables(r);
  } catch (const nova::ENovaError&) {
    return 0;
  }
  for (int32_t i = 0; i < db.Count(); ++i) {
    nova::TDBTable& t = db.At(i);
    for (int32_t rec = 0; rec < t.RecordCount() && rec < 16; ++rec) {
      for (int32_t f = 0; f < t.Fields().Count(); ++f)
        t.Fields()[f].ReadStr(t.Record(rec));
    }
  }
  nova::BinaryWriter w;
  db.SaveGameTables(w);
  nova::TDBManager again;
  nova::BinaryReader r2(w.data(), "again.dat");
  again.LoadGameTables(r2);
  if (!r2.at_end())
    std::abort();
  return 0;
}
