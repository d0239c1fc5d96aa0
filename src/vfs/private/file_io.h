// SPDX-License-Identifier: MIT
#pragma once
#include <fcntl.h>

#include <cstdint>
#include <string>

namespace nova {

// An owned POSIX file descriptor.
class FileHandle {
public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();
  int fd() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

private:
  int fd_ = -1;
};

// Errors name the file (converted to Shift-JIS for the message) and the system's reason.
[[noreturn]] void ThrowFileError(const std::string& native_path, const char* action);
FileHandle OpenFileOrThrow(const std::string& native_path, int flags);
int64_t FileSizeOrThrow(const FileHandle& file, const std::string& native_path);
// Loops over short transfers; a read that meets the end of the file throws.
void ReadAtOrThrow(const FileHandle& file, void* buffer, int64_t count, int64_t offset,
                   const std::string& native_path);
void WriteAtOrThrow(const FileHandle& file, const void* buffer, int64_t count, int64_t offset,
                    const std::string& native_path);
// Bytes read (short only at the end of the file); -1 on failure.
int64_t ReadAt(int fd, void* buffer, int64_t count, int64_t offset);
int64_t WriteAt(int fd, const void* buffer, int64_t count, int64_t offset);

bool IsRegularFile(const std::string& native_path);
bool IsDirectory(const std::string& native_path);

} // namespace nova
