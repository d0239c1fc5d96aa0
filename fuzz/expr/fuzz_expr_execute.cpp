// SPDX-License-Identifier: MIT
// Damaged serialised expressions: LoadOps fails cleanly or the operations run to an end.
#include <cstddef>
#include <cstdint>

#include "base/binary_reader.h"
#include "base/nova_error.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nova::BinaryReader r(std::span<const uint8_t>(data, size), "fuzz.nsb");
  nova::TNovaParser p;
  try {
    p.LoadOps(r);
  } catch (const nova::ENovaError&) {
    return 0;
  }
  nova::TParamCollection vars;
  vars.Declare("a", nova::PT_INT, nova::TVarScope::Global, nullptr);
  vars.Declare("r", nova::PT_FLOAT, nova::TVarScope::Global, nullptr);
  vars.Declare("s", nova::PT_STR, nova::TVarScope::Global, nullptr);
  try {
    p.Execute(vars);
    p.Execute(vars);
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
