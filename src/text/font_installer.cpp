// SPDX-License-Identifier: MIT
#include "text/font_installer.h"

#include <filesystem>
#include <system_error>

#include "base/sjis.h"
#include "text/pixel_font_manager.h"
#include "vfs/stream.h"
#include "vfs/vr_file_collection.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

bool HasNftExtension(const std::string& name) {
  return name.size() > 4 && SameTextJ(std::string_view(name).substr(name.size() - 4), ".nft");
}

} // namespace

std::vector<std::string> InstallTitleFonts(TVrFileCollection* archive, TPixelFontManager& fonts) {
  TVrFileManager& files = FileManager();
  std::vector<std::string> names;
  if (archive) {
    archive->ListFolder("", names);
  } else if (!files.BaseFolder().empty()) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(files.BaseFolder(), ec)) {
      if (!entry.is_regular_file(ec))
        continue;
      // Fonts copied from read-only media keep their attributes; make them ours.
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ec);
      names.push_back(Utf8ToSjis(entry.path().filename().string()));
    }
  }
  std::vector<std::string> accepted;
  for (const std::string& name : names) {
    if (!HasNftExtension(name))
      continue;
    // The section keeps the file's bytes in memory, so no work file has to outlive this call.
    TMemoryStream data;
    if (archive)
      archive->ReadEntry(data, name);
    else
      files.Load(data, name);
    const auto bytes = data.Bytes();
    if (fonts.RegisterBytes(name, std::vector<uint8_t>(bytes.begin(), bytes.end())))
      accepted.push_back(name);
  }
  return accepted;
}

} // namespace nova
