// SPDX-License-Identifier: MIT
// `novatool text extract|apply`: a title's texts to a gettext catalogue, and a translated
// catalogue to a patch archive of the changed pages.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "script/page.h"
#include "script/page_translation.h"
#include "script/po_file.h"
#include "script/script_texts.h"
#include "script_tool_files.h"
#include "tool_args.h"
#include "vfs/big_stream.h"
#include "vfs/vr_file_collection.h"

namespace fs = std::filesystem;

namespace {

using namespace nova;

int Usage() {
  std::fputs("usage: novatool text extract TITLE -o texts.po\n"
             "       novatool text apply TITLE texts.po -o patch.dat\n",
             stderr);
  return 2;
}

// The title's archive: "game.dat" in a title folder, or the archive file named.
std::unique_ptr<TVrFileCollection> OpenTitle(const std::string& title) {
  std::error_code error;
  fs::path archive_path(title);
  if (fs::is_directory(archive_path, error))
    archive_path /= "game.dat";
  if (!fs::is_regular_file(archive_path, error))
    throw ENovaError(Utf8ToSjis(archive_path.string()) + ": no title archive");
  auto archive = std::make_unique<TVrFileCollection>();
  archive->Open(archive_path.string());
  return archive;
}

bool IsPageName(const std::string& name) {
  return name.size() > 4 && SameTextJ(std::string_view(name).substr(name.size() - 4), ".nsb");
}

// Calls `fn(page, original_bytes)` for each page of the archive, in archive order.
template <typename Fn> void ForEachPage(TVrFileCollection& archive, Fn fn) {
  TMemoryStream data;
  for (int i = 0; i < archive.Count(); ++i) {
    const std::string name = archive.Entry(i).name;
    if (name == kEofEntryName || !IsPageName(name))
      continue;
    archive.ReadEntryData(i, data);
    const std::vector<uint8_t> bytes(data.Bytes().begin(), data.Bytes().end());
    TPage page;
    if (page.Read(bytes, name) == TPageReadResult::NeedsRebuild)
      throw ENovaError(name + ": " + ScriptText(TScriptText::Rebuild));
    fn(page, bytes);
  }
}

int Extract(const ToolArgs& args) {
  std::string title, output;
  if (!nova_tool::SplitOutput(args, title, output) || output.empty())
    return Usage();
  std::unique_ptr<TVrFileCollection> archive = OpenTitle(title);
  std::vector<TPoEntry> entries;
  ForEachPage(*archive, [&](TPage& page, const std::vector<uint8_t>&) {
    for (TPoEntry& e : ExtractPageTexts(page))
      entries.push_back(std::move(e));
  });
  const std::string text = WritePo(entries);
  nova_tool::WriteFileBytes(output, {text.begin(), text.end()});
  std::fprintf(stderr, "%s: %zu texts\n", output.c_str(), entries.size());
  return 0;
}

int Apply(const ToolArgs& args) {
  std::vector<std::string> rest;
  std::string output;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size())
      output = args[++i];
    else
      rest.push_back(args[i]);
  }
  if (rest.size() != 2 || output.empty())
    return Usage();
  const std::string& po_name = rest[1];
  const std::vector<TPoEntry> entries = ReadPo(nova_tool::ReadFileText(po_name), po_name);
  TTranslations translations;
  for (const TPoEntry& e : entries) {
    if (!translations.emplace(e.context, &e).second)
      throw ENovaError(Utf8ToSjis(po_name) + ": " + Utf8ToSjis(e.context) +
                       ": the context appears twice");
  }
  std::unique_ptr<TVrFileCollection> archive = OpenTitle(rest[0]);
  TVrFileCollection patch;
  int pages = 0;
  ForEachPage(*archive, [&](TPage& page, const std::vector<uint8_t>& original) {
    if (ApplyPageTranslations(page, translations, po_name) == 0)
      return;
    BinaryWriter w;
    page.Write(w);
    const std::vector<uint8_t> bytes = w.Take();
    if (bytes == original)
      return;
    TVrFile& entry = patch.AddMemoryEntry(page.name());
    entry.data->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    ++pages;
  });
  // A translation that reaches no text would be lost without a word.
  for (const auto& [context, e] : translations) {
    if (!e->msgstr.empty() && !e->fuzzy)
      throw ENovaError(Utf8ToSjis(po_name) + ": " + Utf8ToSjis(context) +
                       ": the title has no such text");
  }
  for (const TPoEntry& e : entries) {
    if (!e.msgstr.empty() && !e.fuzzy && SjisToUtf8(Utf8ToSjis(e.msgstr)) != e.msgstr)
      std::fprintf(stderr, "%s: %s: characters outside Shift-JIS became '?'\n", po_name.c_str(),
                   e.context.c_str());
  }
  TZpBigFileStream out(output, TBigFileMode::fmCreate);
  patch.WriteTo(out);
  std::fprintf(stderr, "%s: %d changed pages\n", output.c_str(), pages);
  return 0;
}

} // namespace

int TextPoCommand(const ToolArgs& args) {
  if (args[0] == "extract")
    return Extract(args);
  if (args[0] == "apply")
    return Apply(args);
  return Usage();
}
