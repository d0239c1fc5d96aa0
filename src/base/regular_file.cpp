// SPDX-License-Identifier: MIT
#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace nova {

int OpenRegularFile(const std::filesystem::path& path) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer before fstat could refuse it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::optional<std::string> ReadRegularFile(const std::filesystem::path& path, size_t max_bytes,
                                           std::string* error) {
  const auto fail = [error](const std::string& what) -> std::optional<std::string> {
    if (error)
      *error = what;
    return std::nullopt;
  };
  const int fd = OpenRegularFile(path);
  if (fd < 0)
    return fail(errno == EINVAL ? "not a regular file" : std::strerror(errno));
  struct stat st;
  if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) > max_bytes) {
    ::close(fd);
    return fail("larger than " + std::to_string(max_bytes) + " bytes");
  }
  std::string text(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t r = ::read(fd, text.data() + done, text.size() - done);
    if (r < 0 && errno == EINTR)
      continue;
    if (r <= 0)
      break;
    done += static_cast<size_t>(r);
  }
  ::close(fd);
  if (done != text.size())
    return fail("cannot be read whole");
  return text;
}

} // namespace nova
