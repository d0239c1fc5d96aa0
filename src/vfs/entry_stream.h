// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace nova {

class TVrFileCollection;

// Hands an entry's content to `sink` piece by piece as it is read and inflated, so that an entry
// of any size costs two small buffers (the archive tools extract and print this way). Damaged
// data throws ENovaError naming the archive and the entry.
void StreamEntry(TVrFileCollection& archive, int index,
                 const std::function<void(const uint8_t* data, size_t size)>& sink);

} // namespace nova
