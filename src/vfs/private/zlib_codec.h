// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "vfs/stream.h"
#include "vfs/vr_file.h"

namespace nova {

// Inflates a whole zlib stream into `out` (replacing its content). The inflated size is not
// stored, so the output grows while the decompressor reports too little space, up to the most a
// deflate stream of this size can produce (about 1032:1) and `max_bytes`, the most its reader
// takes. Failures throw ENovaError with `what` (archive and entry).
void InflateZlib(std::span<const uint8_t> in, TMemoryStream& out, const std::string& what,
                 int64_t max_bytes = kMaxEntryBytes);

// A zlib stream of `in` at the default level.
std::vector<uint8_t> DeflateZlib(std::span<const uint8_t> in);

} // namespace nova
