// SPDX-License-Identifier: MIT
#include "vfs/durable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/private/file_io.h"

namespace nova {
namespace {

TFileFaultHook& FaultHook() {
  static TFileFaultHook hook;
  return hook;
}

// True when the seam makes this call fail (errno is then set).
bool Injected(TFileCall call) {
  if (!FaultHook())
    return false;
  const int err = FaultHook()(call);
  if (err == 0)
    return false;
  errno = err;
  return true;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Removes the temporary file on every way out but success.
class TTempFile {
public:
  explicit TTempFile(std::string path) : path_(std::move(path)) {}
  ~TTempFile() {
    if (!kept_)
      ::unlink(path_.c_str());
  }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  const std::string& path() const { return path_; }
  void Keep() { kept_ = true; }

private:
  std::string path_;
  bool kept_ = false;
};

[[noreturn]] void Fail(const std::string& path, const char* step) {
  const int err = errno;
  throw ENovaError(Utf8ToSjis(path) + ": cannot " + step + " (" + std::strerror(err) + ")");
}

void WriteAll(int fd, std::span<const uint8_t> bytes, const std::string& path) {
  size_t done = 0;
  while (done < bytes.size()) {
    if (Injected(TFileCall::Write))
      Fail(path, "write the new file");
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      Fail(path, "write the new file");
    }
    done += static_cast<size_t>(n);
  }
}

void RefreshBackup(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0)
    return; // nothing to keep yet
  // The old file is linked under a temporary name first so that ".bak" is always whole.
  const std::string bak = BackupPathOf(path);
  const std::string bak_tmp = bak + ".tmp";
  ::unlink(bak_tmp.c_str());
  if (Injected(TFileCall::Backup) || ::link(path.c_str(), bak_tmp.c_str()) != 0)
    Fail(path, "keep the previous file as .bak");
  if (::rename(bak_tmp.c_str(), bak.c_str()) != 0) {
    const int err = errno;
    ::unlink(bak_tmp.c_str());
    errno = err;
    Fail(path, "keep the previous file as .bak");
  }
}

} // namespace

void SetFileFaultHook(TFileFaultHook hook) { FaultHook() = std::move(hook); }

std::string BackupPathOf(const std::string& native_path) { return native_path + ".bak"; }

void WriteFileDurably(const std::string& native_path, std::span<const uint8_t> bytes,
                      TBackup backup) {
  TTempFile temp(native_path + ".tmp");
  if (Injected(TFileCall::Open))
    Fail(native_path, "create the new file");
  const int fd = ::open(temp.path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0)
    Fail(native_path, "create the new file");
  try {
    WriteAll(fd, bytes, native_path);
    if (Injected(TFileCall::Sync) || ::fsync(fd) != 0)
      Fail(native_path, "flush the new file");
  } catch (...) {
    ::close(fd);
    throw;
  }
  // A failed close may still lose data (network file systems report late errors there).
  if (Injected(TFileCall::Close)) {
    const int err = errno;
    ::close(fd);
    errno = err;
    Fail(native_path, "close the new file");
  }
  if (::close(fd) != 0)
    Fail(native_path, "close the new file");
  if (backup == TBackup::Refresh)
    RefreshBackup(native_path);
  if (Injected(TFileCall::Rename) || ::rename(temp.path().c_str(), native_path.c_str()) != 0)
    Fail(native_path, "replace the file");
  temp.Keep();
  // Without this the rename itself may not survive a power cut.
  FileHandle folder;
  if (!Injected(TFileCall::SyncFolder))
    folder = FileHandle(::open(FolderOf(native_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid() || ::fsync(folder.fd()) != 0)
    Fail(native_path, "flush its folder");
}

} // namespace nova
