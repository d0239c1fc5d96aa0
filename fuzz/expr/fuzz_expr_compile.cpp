// SPDX-License-Identifier: MIT
// Any text either compiles into bytes that load and run, or fails with an ENovaError.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/binary_reader.h"
#include "base/nova_error.h"
#include "expr/build_parser.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096)
    return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<uint8_t> bytes;
  try {
    bytes = nova::CompileToBytes(text);
  } catch (const nova::ENovaError&) {
    return 0;
  }
  nova::TParamCollection vars;
  vars.Declare("a", nova::PT_INT, nova::TVarScope::Global, nullptr);
  vars.Declare("s", nova::PT_STR, nova::TVarScope::Global, nullptr);
  nova::BinaryReader r(bytes, "compiled expression");
  nova::TNovaParser p;
  p.LoadOps(r);
  try {
    p.Execute(vars);
  } catch (const nova::ENovaError&) {
  }
  return 0;
}
