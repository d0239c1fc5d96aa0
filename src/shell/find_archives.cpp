// SPDX-License-Identifier: MIT
#include "shell/find_archives.h"

#include <unistd.h>

#include <system_error>

#include "base/regular_file.h"

namespace nova {

bool HasArchiveTrailer(const std::filesystem::path& file) {
  const int fd = OpenRegularFile(file);
  if (fd < 0)
    return false;
  char trailer[2];
  const off_t size = ::lseek(fd, 0, SEEK_END);
  const bool found =
      size >= 2 && ::pread(fd, trailer, 2, size - 2) == 2 && trailer[0] == 'n' && trailer[1] == 'v';
  ::close(fd);
  return found;
}

bool IsPlainArchive(const std::filesystem::path& file) {
  const int fd = OpenRegularFile(file);
  if (fd < 0)
    return false;
  char magic[2];
  const bool found = ::pread(fd, magic, 2, 0) == 2 && magic[0] == 'v' && magic[1] == 'f';
  ::close(fd);
  return found && !HasArchiveTrailer(file);
}

std::filesystem::path TitleBaseFolder(const std::vector<std::string>& params,
                                      const std::filesystem::path& executable) {
  if (params.empty())
    return executable.parent_path();
  std::error_code error;
  const std::filesystem::path first(params.front());
  return std::filesystem::is_directory(first, error) ? first : first.parent_path();
}

TTitleArchives FindArchives(const std::vector<std::string>& params,
                            const std::filesystem::path& executable) {
  TTitleArchives found;
  found.base_folder = TitleBaseFolder(params, executable);
  if (params.empty()) {
    if (HasArchiveTrailer(executable))
      found.archives.push_back(executable);
    return found;
  }
  std::error_code error;
  std::vector<std::filesystem::path> patches;
  for (size_t i = 0; i < params.size(); ++i) {
    const std::filesystem::path path(params[i]);
    const bool is_file = std::filesystem::is_regular_file(path, error);
    const std::filesystem::path game_dat = path / "game.dat";
    if (!is_file && std::filesystem::is_regular_file(game_dat, error)) {
      found.archives.push_back(game_dat);
      if (std::filesystem::is_regular_file(path / kPatchArchiveName, error))
        patches.push_back(path / kPatchArchiveName);
    }
    if (is_file && HasArchiveTrailer(path))
      found.archives.push_back(path);
    else if (is_file && i > 0 && IsPlainArchive(path))
      patches.push_back(path);
  }
  // Names resolve in the archives' order: patches first, so their pages win.
  found.archives.insert(found.archives.begin(), patches.begin(), patches.end());
  return found;
}

} // namespace nova
