// SPDX-License-Identifier: MIT
#include "vfs/private/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/nova_error.h"
#include "base/regular_file.h"
#include "base/sjis.h"

namespace nova {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

FileHandle::~FileHandle() {
  if (fd_ >= 0)
    ::close(fd_);
}

void ThrowFileError(const std::string& native_path, const char* action) {
  int err = errno;
  throw ENovaError(Utf8ToSjis(native_path) + ": cannot " + action + " (" + std::strerror(err) +
                   ")");
}

FileHandle OpenFileOrThrow(const std::string& native_path, int flags) {
  // Reading waits forever on a FIFO: only regular files are read.
  const int fd = (flags & O_ACCMODE) == O_RDONLY
                     ? OpenRegularFile(native_path)
                     : ::open(native_path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0)
    ThrowFileError(native_path, (flags & O_ACCMODE) == O_RDONLY ? "open" : "create");
  return FileHandle(fd);
}

int64_t FileSizeOrThrow(const FileHandle& file, const std::string& native_path) {
  struct stat st;
  if (::fstat(file.fd(), &st) != 0)
    ThrowFileError(native_path, "read the size of");
  return st.st_size;
}

int64_t ReadAt(int fd, void* buffer, int64_t count, int64_t offset) {
  auto* p = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t r = ::pread(fd, p + done, static_cast<size_t>(count - done), offset + done);
    if (r < 0) {
      if (errno == EINTR)
        continue;
      return done > 0 ? done : -1;
    }
    if (r == 0)
      break;
    done += r;
  }
  return done;
}

int64_t WriteAt(int fd, const void* buffer, int64_t count, int64_t offset) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t r = ::pwrite(fd, p + done, static_cast<size_t>(count - done), offset + done);
    if (r < 0) {
      if (errno == EINTR)
        continue;
      return done > 0 ? done : -1;
    }
    done += r;
  }
  return done;
}

void ReadAtOrThrow(const FileHandle& file, void* buffer, int64_t count, int64_t offset,
                   const std::string& native_path) {
  int64_t n = ReadAt(file.fd(), buffer, count, offset);
  if (n < 0)
    ThrowFileError(native_path, "read");
  if (n != count)
    throw ENovaError(Utf8ToSjis(native_path) + ": unexpected end of file");
}

void WriteAtOrThrow(const FileHandle& file, const void* buffer, int64_t count, int64_t offset,
                    const std::string& native_path) {
  if (WriteAt(file.fd(), buffer, count, offset) != count)
    ThrowFileError(native_path, "write");
}

bool IsRegularFile(const std::string& native_path) {
  struct stat st;
  return ::stat(native_path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& native_path) {
  struct stat st;
  return ::stat(native_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace nova
