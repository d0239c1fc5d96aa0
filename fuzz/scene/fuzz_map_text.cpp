// SPDX-License-Identifier: MIT
// Map descriptions: any text gives areas that write as a map file and read back the same, or
// fails with ENovaError.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/nova_error.h"
#include "scene/kinds/map_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto areas =
        nova::ParseMapText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt");
    const std::vector<uint8_t> bytes = nova::WriteMapFile(areas);
    if (nova::ReadMapFile(bytes, "fuzz.map").size() != areas.size())
      __builtin_trap();
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
