// SPDX-License-Identifier: MIT
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "platform/temp_folder.h"

namespace nova {

namespace {

// The lock is an flock on a file whose name is built from the lock name: printable bytes stay
// readable, the rest is escaped, and very long names are cut and made unique by a hash.
std::filesystem::path LockPath(const std::string& name) {
  std::string file = "novaplay-";
  for (unsigned char c : name) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
        c == '_' || c == '.') {
      file += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%.2X", c);
      file += hex;
    }
  }
  if (file.size() > 200) {
    char hash[24];
    std::snprintf(hash, sizeof hash, "~%.16zx", std::hash<std::string>{}(name));
    file = file.substr(0, 180) + hash;
  }
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::filesystem::path dir = runtime && *runtime ? std::filesystem::path(runtime) : TempFolder();
  return dir / (file + ".lock");
}

} // namespace

std::unique_ptr<TInstanceLock> TInstanceLock::TryAcquire(const std::string& name) {
  const std::filesystem::path path = LockPath(name);
  int fd = ::open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0)
    throw ENovaError(Utf8ToSjis("cannot create the instance lock " + path.string()));
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<TInstanceLock>(new TInstanceLock(fd));
}

TInstanceLock::~TInstanceLock() { ::close(fd_); }

} // namespace nova
