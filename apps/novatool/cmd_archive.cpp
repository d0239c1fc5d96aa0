// SPDX-License-Identifier: MIT
// `novatool archive list|extract|pack|cat`: inspects and builds title archives.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "tool_args.h"
#include "vfs/big_stream.h"
#include "vfs/entry_stream.h"
#include "vfs/native_names.h"
#include "vfs/vr_file_collection.h"

namespace fs = std::filesystem;

namespace {

using nova::ENovaError;
using nova::TVrFileCollection;

int Usage() {
  std::fputs("usage: novatool archive list ARCHIVE\n"
             "       novatool archive extract ARCHIVE OUTDIR\n"
             "       novatool archive pack DIR OUTFILE [--exe PLAYER]\n"
             "       novatool archive cat ARCHIVE NAME\n",
             stderr);
  return 2;
}

void OpenExisting(TVrFileCollection& archive, const std::string& path) {
  if (!fs::is_regular_file(path))
    throw ENovaError(nova::Utf8ToSjis(path) + ": no such archive file");
  archive.Open(path);
}

bool IsEof(const nova::TVrFile& e) { return e.name == nova::kEofEntryName; }

int List(const std::string& path) {
  TVrFileCollection archive;
  OpenExisting(archive, path);
  std::printf("version %d, %d entries\n", archive.Version(), archive.Count() - 1);
  for (const nova::TVrFile& e : archive.Entries()) {
    if (IsEof(e))
      continue;
    std::printf("%12lld  %-6s  %s\n", static_cast<long long>(e.size), e.stored ? "stored" : "zlib",
                nova::SjisToUtf8(e.name).c_str());
  }
  return 0;
}

int Extract(const std::string& path, const std::string& out_dir) {
  TVrFileCollection archive;
  OpenExisting(archive, path);
  // Every name is checked before anything is written.
  for (const nova::TVrFile& e : archive.Entries()) {
    if (!IsEof(e) && !nova::IsContainedName(e.name)) {
      throw ENovaError(nova::Utf8ToSjis(path) + ": entry \"" + e.name +
                       "\" would leave the output folder; nothing extracted");
    }
  }
  for (int i = 0; i < archive.Count(); ++i) {
    const nova::TVrFile& e = archive.Entry(i);
    if (IsEof(e))
      continue;
    fs::path target = fs::path(out_dir) / nova::NativeRelativeName(e.name);
    fs::create_directories(target.parent_path());
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(target.c_str(), "wb"),
                                                         &std::fclose);
    if (!file)
      throw ENovaError(nova::Utf8ToSjis(target.string()) + ": cannot create the file");
    // Entry by entry, piece by piece: an entry is never held whole.
    bool written = true;
    nova::StreamEntry(archive, i, [&](const uint8_t* data, size_t size) {
      written = written && std::fwrite(data, 1, size, file.get()) == size;
    });
    if (!written || std::fflush(file.get()) != 0)
      throw ENovaError(nova::Utf8ToSjis(target.string()) + ": cannot write the file");
  }
  return 0;
}

int Pack(const std::string& dir, const std::string& out_path, const std::string& player) {
  if (!fs::is_directory(dir))
    throw ENovaError(nova::Utf8ToSjis(dir) + ": no such folder");
  std::vector<std::pair<std::string, std::string>> files; // title name, native path
  std::error_code ec;
  const fs::path out_abs = fs::weakly_canonical(out_path, ec);
  for (const auto& item : fs::recursive_directory_iterator(dir)) {
    if (!item.is_regular_file())
      continue;
    if (fs::weakly_canonical(item.path(), ec) == out_abs)
      continue;
    std::string relative = fs::relative(item.path(), dir).generic_string();
    files.emplace_back(nova::TitleNameFromNative(relative), item.path().string());
  }
  std::sort(files.begin(), files.end());
  TVrFileCollection archive;
  for (const auto& [name, native] : files)
    archive.AddFileEntry(name, native);

  nova::TZpBigFileStream out(out_path, nova::TBigFileMode::fmCreate);
  const auto report = [](const std::string& message) {
    std::fprintf(stderr, "%s\n", nova::SjisToUtf8(message).c_str());
  };
  if (player.empty()) {
    archive.WriteTo(out, report);
    return 0;
  }
  nova::TZpBigFileStream exe(player, nova::TBigFileMode::fmOpenRead);
  out.CopyFrom(exe, 0);
  const int64_t start = out.GetPosition();
  if (start > INT32_MAX)
    throw ENovaError(nova::Utf8ToSjis(player) + ": too large for an appended archive");
  archive.WriteTo(out, report);
  nova::BinaryWriter trailer;
  trailer.I32(static_cast<int32_t>(start));
  trailer.Bytes(std::string_view("nv"));
  out.WriteBuffer(trailer.data().data(), static_cast<int64_t>(trailer.size()),
                  nova::Utf8ToSjis(out_path));
  return 0;
}

int Cat(const std::string& path, const std::string& utf8_name) {
  TVrFileCollection archive;
  OpenExisting(archive, path);
  const std::string name = nova::TitleNameFromNative(utf8_name);
  const int index = archive.IndexOf(name);
  if (index < 0 || IsEof(archive.Entry(index))) {
    throw ENovaError(nova::Utf8ToSjis(path) + ": no entry \"" + name + "\"");
  }
  bool written = true;
  nova::StreamEntry(archive, index, [&](const uint8_t* data, size_t size) {
    written = written && std::fwrite(data, 1, size, stdout) == size;
  });
  return written && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int Tool_archive(const ToolArgs& args) {
  if (args.empty())
    return Usage();
  const std::string& command = args[0];
  if (command == "list" && args.size() == 2)
    return List(args[1]);
  if (command == "extract" && args.size() == 3)
    return Extract(args[1], args[2]);
  if (command == "cat" && args.size() == 3)
    return Cat(args[1], args[2]);
  if (command == "pack" && args.size() == 3)
    return Pack(args[1], args[2], "");
  if (command == "pack" && args.size() == 5 && args[3] == "--exe")
    return Pack(args[1], args[2], args[4]);
  return Usage();
}
