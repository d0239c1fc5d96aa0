// SPDX-License-Identifier: MIT
// The Ogg decoding stream from arbitrary bytes: opening, reading to the end and seeking.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/nova_error.h"
#include "media/decode_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  auto bytes = std::make_unique<TMemoryStream>();
  bytes->Write(data, static_cast<int64_t>(size));
  bytes->SetPosition(0);
  std::unique_ptr<TDecodeStream> stream;
  try {
    stream = OpenOggDecodeStream(std::move(bytes));
  } catch (const ENovaError&) {
    return 0;
  }
  std::vector<uint8_t> buffer(4099);
  // A claimed length is never trusted: reading stops at what decodes, within a budget.
  int64_t total = 0;
  for (int64_t got; total < (int64_t{8} << 20) && (got = stream->Read(buffer.data(), 4099)) > 0;)
    total += got;
  stream->SetPos(stream->GetSize() / 2 + 1);
  stream->Read(buffer.data(), 4099);
  stream->SetPos(0);
  stream->Read(buffer.data(), 4099);
  return 0;
}
