// SPDX-License-Identifier: MIT
// Page loader: any bytes load or fail with ENovaError; a loaded page rewrites to bytes that its
// text form assembles back to.
#include <cstdlib>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "script/page.h"
#include "script/text_form/page_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  TPage page;
  page.set_name("fuzz.nsb");
  try {
    if (page.Read({data, size}, "fuzz.nsb") != TPageReadResult::Loaded)
      return 0;
  } catch (const ENovaError&) {
    return 0;
  }
  BinaryWriter first;
  page.Write(first);
  TPage again;
  again.set_name("fuzz.nsb");
  TPageSource(DisassemblePage(page), "fuzz.txt").Build(again);
  BinaryWriter second;
  again.Write(second);
  if (first.data() != second.data())
    std::abort();
  return 0;
}
