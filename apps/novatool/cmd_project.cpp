// SPDX-License-Identifier: MIT
#include <cstdio>

#include "base/binary_writer.h"
#include "script/project_setting.h"
#include "script/text_form/project_text.h"
#include "script_tool_files.h"
#include "tool_args.h"

namespace {

int Usage() {
  std::fputs("usage: novatool project asm FILE.txt -o nova.npb\n"
             "       novatool project dump nova.npb\n",
             stderr);
  return 2;
}

int Asm(const ToolArgs& args) {
  std::string input, output;
  if (!nova_tool::SplitOutput(args, input, output) || output.empty())
    return Usage();
  nova::TProjectSetting project = nova::AssembleProject(nova_tool::ReadFileText(input), input);
  nova::BinaryWriter w;
  project.Write(w);
  nova_tool::WriteFileBytes(output, w.Take());
  return 0;
}

int Dump(const ToolArgs& args) {
  if (args.size() != 2)
    return Usage();
  nova::TProjectSetting project;
  project.Read(nova_tool::ReadFileBytes(args[1]), args[1]);
  std::fputs(nova::DumpProject(project).c_str(), stdout);
  return 0;
}

} // namespace

// `novatool project asm|dump`: the project file to and from its text form (docs/project.md).
int Tool_project(const ToolArgs& args) {
  if (args.empty())
    return Usage();
  if (args[0] == "asm")
    return Asm(args);
  if (args[0] == "dump")
    return Dump(args);
  return Usage();
}
