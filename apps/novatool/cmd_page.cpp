// SPDX-License-Identifier: MIT
#include <cstdio>
#include <filesystem>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/page.h"
#include "script/script_texts.h"
#include "script/text_form/page_text.h"
#include "script_tool_files.h"
#include "tool_args.h"

namespace {

int Usage() {
  std::fputs("usage: novatool page asm FILE.txt -o FILE.nsb\n"
             "       novatool page disasm FILE.nsb\n",
             stderr);
  return 2;
}

int Asm(const ToolArgs& args) {
  std::string input, output;
  if (!nova_tool::SplitOutput(args, input, output) || output.empty())
    return Usage();
  nova::TPageSource source(nova_tool::ReadFileText(input), input);
  nova::TPage page;
  page.set_name(nova::Utf8ToSjis(std::filesystem::path(output).filename().string()));
  source.Build(page);
  nova::BinaryWriter w;
  page.Write(w);
  nova_tool::WriteFileBytes(output, w.Take());
  return 0;
}

int Disasm(const ToolArgs& args) {
  if (args.size() != 2)
    return Usage();
  std::vector<uint8_t> bytes = nova_tool::ReadFileBytes(args[1]);
  nova::TPage page;
  std::string name = nova::Utf8ToSjis(args[1]);
  if (page.Read(bytes, name) == nova::TPageReadResult::NeedsRebuild) {
    throw nova::ENovaError(args[1] + ": page version " + std::to_string(page.version()) + ": " +
                           nova::ScriptText(nova::TScriptText::Rebuild));
  }
  std::fputs(nova::DisassemblePage(page).c_str(), stdout);
  return 0;
}

} // namespace

// `novatool page asm|disasm`: script pages to and from their text form (docs/page.md).
int Tool_page(const ToolArgs& args) {
  if (args.empty())
    return Usage();
  if (args[0] == "asm")
    return Asm(args);
  if (args[0] == "disasm")
    return Disasm(args);
  return Usage();
}
