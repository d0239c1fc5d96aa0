// SPDX-License-Identifier: MIT
#include "platform/temp_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {

std::filesystem::path TempFolder() {
  const char* dir = std::getenv("TMPDIR");
  if (dir && *dir)
    return dir;
  return "/tmp";
}

std::filesystem::path CreateTempFile(const std::filesystem::path& folder,
                                     const std::string& prefix) {
  // Numbered like the system's temporary names, starting from a per-process point so that
  // players running side by side rarely meet.
  const unsigned start = static_cast<unsigned>(getpid()) * 2654435761u >> 16;
  for (unsigned i = 0; i < 0x10000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%.4X.tmp", (start + i) & 0xFFFF);
    std::filesystem::path path = folder / (prefix + name);
    int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST)
      break;
  }
  throw ENovaError(
      Utf8ToSjis("cannot create a work file with prefix \"" + prefix + "\" in " + folder.string()));
}

} // namespace nova
