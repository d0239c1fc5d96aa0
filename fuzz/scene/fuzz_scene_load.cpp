// SPDX-License-Identifier: MIT
// Scene records from save data: the first byte picks the data version, the rest is the record.
// Loading must fail with ENovaError or succeed; a loaded scene must save, step and draw.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "scene/nova_base_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1)
    return 0;
  const int version = 100 + data[0] % 50;
  nova::TNovaBaseList list(32, 24);
  try {
    nova::BinaryReader r(std::span<const uint8_t>(data + 1, size - 1), "fuzz scene");
    list.LoadScene(r, version);
  } catch (const nova::ENovaError&) {
    return 0;
  }
  nova::BinaryWriter w;
  list.SaveScene(w);
  list.SetPointer(5, 5);
  list.PressButton(false);
  list.InputStep();
  list.UpdateStep();
  list.DrawStep();
  return 0;
}
