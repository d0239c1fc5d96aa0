// SPDX-License-Identifier: MIT
// Archive directories and entry reads from arbitrary bytes; also the PE resource lookup.
#include <cstddef>
#include <cstdint>

#include "base/nova_error.h"
#include "vfs/big_stream.h"
#include "vfs/private/pe_resource.h"
#include "vfs/vr_file_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = std::make_unique<nova::TZpBigMemoryStream>();
  stream->Write(data, static_cast<int64_t>(size));
  nova::FindPeResource(*stream, "DUMMY", "BINTYPE");
  nova::TVrFileCollection archive;
  try {
    archive.OpenStream(std::move(stream), "fuzz.dat");
  } catch (const nova::ENovaError&) {
    return 0;
  }
  nova::TMemoryStream out;
  for (int i = 0; i < archive.Count(); ++i) {
    try {
      archive.ReadEntryData(i, out);
      auto range = archive.OpenEntryRange(i);
      uint8_t buf[64];
      range->Seek(-3, nova::TSeekOrigin::soEnd);
      range->Read(buf, sizeof buf);
    } catch (const nova::ENovaError&) {
    }
    archive.IndexOf(archive.Entry(i).name);
  }
  return 0;
}
