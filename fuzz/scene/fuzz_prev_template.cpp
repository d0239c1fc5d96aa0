// SPDX-License-Identifier: MIT
// Preview-menu templates: reading answers a template or a clean error.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/nova_error.h"
#include "scene/kinds/prev_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const nova::TPrevTemplate t =
        nova::ReadPrevTemplate(std::span<const uint8_t>(data, size), "ui\\menu\\t.nmt");
    if (t.version < 100 || t.version > 106)
      __builtin_trap();
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
