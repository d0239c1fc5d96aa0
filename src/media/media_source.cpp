// SPDX-License-Identifier: MIT
#include "media/media_source.h"

#include <filesystem>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/range_stream.h"
#include "vfs/vr_file.h"
#include "vfs/vr_file_manager.h"

namespace nova {

bool IsRealFileName(const std::string& name) {
  return (!name.empty() && (name[0] == '\\' || name[0] == '/')) ||
         (name.size() >= 2 && name[1] == ':');
}

std::string NativeMediaPath(const std::string& name) {
  std::string path = SjisToUtf8(name);
  for (char& c : path)
    if (c == '\\')
      c = '/';
  return path;
}

bool MediaFileExists(const std::string& name) {
  if (IsRealFileName(name)) {
    std::error_code error;
    return std::filesystem::is_regular_file(NativeMediaPath(name), error);
  }
  return FileManager().Exists(name);
}

std::unique_ptr<TStream> OpenMediaStream(const std::string& name) {
  if (IsRealFileName(name)) {
    const std::string path = NativeMediaPath(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
      throw ENovaError(path + ": no such media file");
    return std::make_unique<TFileRangeStream>(path, 0, 0);
  }
  // A compressed entry cannot be read as a window: its bytes are inflated once.
  const TVrFile* entry = FileManager().FindEntry(name);
  if (entry && !entry->stored) {
    auto memory = std::make_unique<TMemoryStream>();
    FileManager().Load(*memory, name);
    return memory;
  }
  return FileManager().GetRangeStream(name);
}

} // namespace nova
