// SPDX-License-Identifier: MIT
// Status data ("STATUSSAVEDATA"): reading must fail with ENovaError or succeed; what was read
// must write again.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/nova_error.h"
#include "expr/param_collection.h"
#include "graphics/image_cache.h"
#include "scene/nova_base_list.h"
#include "script/saved_game.h"
#include "vfs/vr_file_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  TNovaBaseList scene(32, 24);
  TParamCollection vars;
  TWispCollection images(FileManager(), 0);
  const TSavedParts parts{scene, nullptr, vars, &images};
  try {
    ReadStatusData(parts, std::span<const uint8_t>(data, size), "fuzz status data");
    WriteStatusData(parts);
  } catch (const ENovaError&) {
  }
  return 0;
}
