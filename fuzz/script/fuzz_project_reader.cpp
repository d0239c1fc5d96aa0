// SPDX-License-Identifier: MIT
// Project reader: any bytes read or fail with ENovaError; a read project dumps to text that
// assembles back to the same bytes.
#include <cstdlib>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "script/project_setting.h"
#include "script/text_form/project_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  TProjectSetting project;
  try {
    project.Read({data, size}, "nova.npb");
  } catch (const ENovaError&) {
    return 0;
  }
  BinaryWriter first;
  project.Write(first);
  TProjectSetting again = AssembleProject(DumpProject(project), "nova.txt");
  BinaryWriter second;
  again.Write(second);
  if (first.data() != second.data())
    std::abort();
  return 0;
}
