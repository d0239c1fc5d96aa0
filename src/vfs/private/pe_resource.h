// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "vfs/big_stream.h"

namespace nova {

// Where a resource's bytes lie in a PE (Windows executable or module) file.
struct PeResourceLocation {
  int64_t offset = 0;
  int64_t size = 0;
};

// Finds the resource `name` of type `type` (Shift-JIS names compared case-insensitively, or
// "#123" for a numeric id; the first language). Returns nothing when the file is no PE image,
// has no such resource, or its resource directory is damaged. Reads only the bytes it needs.
std::optional<PeResourceLocation> FindPeResource(TZpBigStream& image, const std::string& name,
                                                 const std::string& type);

} // namespace nova
