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
  for (const std::string& param : params) {
    const std::filesystem::path path(param);
    const bool is_file = std::filesystem::is_regular_file(path, error);
    const std::filesystem::path game_dat = path / "game.dat";
    if (!is_file && std::filesystem::is_regular_file(game_dat, error))
      found.archives.push_back(game_dat);
    if (is_file && HasArchiveTrailer(path))
      found.archives.push_back(path);
  }
  return found;
}

} // namespace nova
