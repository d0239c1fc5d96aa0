// SPDX-License-Identifier: MIT
#include "vfs/big_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/private/file_io.h"
#include "vfs/private/pe_resource.h"
#include "vfs/private/vfs_texts.h"

namespace nova {

namespace {

constexpr int64_t kCopyBufferSize = 1 << 20;

// Moves up to `count` bytes through a buffer of at most 1 MiB; stops at the first short read or
// write and returns the bytes moved.
template <typename ReadFn, typename WriteFn>
int64_t CopyChunks(int64_t count, ReadFn read, WriteFn write) {
  std::vector<uint8_t> buffer(static_cast<size_t>(std::clamp<int64_t>(count, 0, kCopyBufferSize)));
  int64_t done = 0;
  while (done < count) {
    int64_t want = std::min<int64_t>(count - done, static_cast<int64_t>(buffer.size()));
    int64_t got = read(buffer.data(), want);
    if (got <= 0 || write(buffer.data(), got) != got)
      break;
    done += got;
  }
  return done;
}

} // namespace

int64_t TZpBigStream::CopyFrom(TZpBigStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.GetSize();
  }
  return CopyChunks(
      count, [&](void* b, int64_t n) { return source.Read(b, n); },
      [&](const void* b, int64_t n) { return Write(b, n); });
}

int64_t TZpBigStream::CopyFromStream(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  return CopyChunks(
      count, [&](void* b, int64_t n) { return source.Read(b, n); },
      [&](const void* b, int64_t n) { return Write(b, n); });
}

int64_t TZpBigStream::CopyToStream(TStream& dest, int64_t count) {
  if (count == 0) {
    SetPosition(0);
    count = GetSize();
  }
  return CopyChunks(
      count, [&](void* b, int64_t n) { return Read(b, n); },
      [&](const void* b, int64_t n) { return dest.Write(b, n); });
}

void TZpBigStream::ReadBuffer(void* buffer, int64_t count, const std::string& what) {
  if (count < 0 || Read(buffer, count) != count) {
    throw ENovaError(what + ": unexpected end of data");
  }
}

void TZpBigStream::WriteBuffer(const void* buffer, int64_t count, const std::string& what) {
  if (Write(buffer, count) != count)
    throw ENovaError(what + ": write failed");
}

// --- TZpBigFileStream ---

std::string TZpBigFileStream::VolumeName(const std::string& native_path, int index) {
  if (index == 0)
    return native_path;
  size_t slash = native_path.rfind('/');
  size_t dot = native_path.rfind('.');
  std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                         ? native_path.substr(0, dot)
                         : native_path;
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".%.3d", index);
  return stem + suffix;
}

TZpBigFileStream::TZpBigFileStream(std::string native_path, TBigFileMode mode, int64_t volume_size)
    : path_(std::move(native_path)), mode_(mode),
      volume_size_(volume_size > 0 ? volume_size : kVolumeSize) {
  if (mode_ == TBigFileMode::fmCreate) {
    for (int k = 0; ::unlink(VolumeName(path_, k).c_str()) == 0; ++k) {
    }
    if (!OpenVolume(0, true))
      ThrowFileError(path_, "create");
    return;
  }
  if (!OpenVolume(0, false)) {
    if (mode_ == TBigFileMode::fmOpenRead || !OpenVolume(0, true))
      ThrowFileError(path_, "open");
  }
  while (OpenVolume(static_cast<int>(fds_.size()), false)) {
  }
}

TZpBigFileStream::~TZpBigFileStream() {
  for (int fd : fds_)
    ::close(fd);
}

bool TZpBigFileStream::OpenVolume(int index, bool create) {
  int flags = O_CLOEXEC;
  if (mode_ == TBigFileMode::fmOpenRead) {
    flags |= O_RDONLY;
  } else {
    flags |= O_RDWR;
    if (create)
      flags |= O_CREAT | O_TRUNC;
  }
  // O_NONBLOCK: opening a FIFO would wait for a writer before fstat could refuse it.
  int fd = ::open(VolumeName(path_, index).c_str(), flags | O_NONBLOCK, 0644);
  if (fd < 0)
    return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fds_.push_back(fd);
  return true;
}

int64_t TZpBigFileStream::GetSize() {
  if (fds_.empty())
    return 0;
  struct stat st;
  if (::fstat(fds_.back(), &st) != 0)
    return 0;
  return static_cast<int64_t>(fds_.size() - 1) * volume_size_ + st.st_size;
}

int64_t TZpBigFileStream::Read(void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    int64_t volume = pos_ / volume_size_;
    if (volume >= static_cast<int64_t>(fds_.size()))
      break;
    int64_t offset = pos_ % volume_size_;
    int64_t want = std::min(count - done, volume_size_ - offset);
    int64_t got = ReadAt(fds_[static_cast<size_t>(volume)], p + done, want, offset);
    if (got <= 0)
      break;
    done += got;
    pos_ += got;
    if (got < want)
      break;
  }
  return done;
}

int64_t TZpBigFileStream::Write(const void* buffer, int64_t count) {
  if (mode_ == TBigFileMode::fmOpenRead)
    return 0;
  const auto* p = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    int64_t volume = pos_ / volume_size_;
    while (volume >= static_cast<int64_t>(fds_.size())) {
      if (!OpenVolume(static_cast<int>(fds_.size()), true)) {
        ThrowFileError(VolumeName(path_, static_cast<int>(fds_.size())), "create");
      }
    }
    int64_t offset = pos_ % volume_size_;
    int64_t want = std::min(count - done, volume_size_ - offset);
    int64_t put = WriteAt(fds_[static_cast<size_t>(volume)], p + done, want, offset);
    if (put <= 0)
      break;
    done += put;
    pos_ += put;
  }
  return done;
}

// --- TZpBigWindowStream / TZpBigResourceStream ---

TZpBigWindowStream::TZpBigWindowStream(std::unique_ptr<TZpBigStream> source, int64_t start,
                                       int64_t size) {
  Reset(std::move(source), start, size);
}

void TZpBigWindowStream::Reset(std::unique_ptr<TZpBigStream> source, int64_t start, int64_t size) {
  source_ = std::move(source);
  start_ = start;
  size_ = size;
  pos_ = 0;
}

void TZpBigWindowStream::SetPosition(int64_t position) {
  pos_ = std::clamp<int64_t>(position, 0, size_);
}

int64_t TZpBigWindowStream::Read(void* buffer, int64_t count) {
  int64_t n = std::min(count, size_ - pos_);
  if (n <= 0)
    return 0;
  source_->SetPosition(start_ + pos_);
  int64_t got = source_->Read(buffer, n);
  if (got > 0)
    pos_ += got;
  return got;
}

namespace {

struct LocatedResource {
  std::unique_ptr<TZpBigStream> file;
  PeResourceLocation where;
};

LocatedResource LocateResource(const std::string& module_path, const std::string& name,
                               const std::string& type) {
  auto file = std::make_unique<TZpBigFileStream>(module_path, TBigFileMode::fmOpenRead);
  std::optional<PeResourceLocation> where = FindPeResource(*file, name, type);
  if (!where || where->size == 0)
    throw ResourceNotFoundError(module_path, name, type);
  return {std::move(file), *where};
}

} // namespace

TZpBigResourceStream::TZpBigResourceStream(const std::string& module_path,
                                           const std::string& resource_name,
                                           const std::string& resource_type) {
  LocatedResource r = LocateResource(module_path, resource_name, resource_type);
  Reset(std::move(r.file), r.where.offset, r.where.size);
}

// --- TZpBuffBigStream ---

TZpBuffBigStream::TZpBuffBigStream(TZpBigStream& source) : source_(source), buffer_(kBufferSize) {}

TZpBuffBigStream::~TZpBuffBigStream() {
  if (filled_ > used_)
    source_.SetPosition(source_.GetPosition() - (filled_ - used_));
}

void TZpBuffBigStream::SetPosition(int64_t position) {
  filled_ = used_ = 0;
  source_.SetPosition(position);
}

int64_t TZpBuffBigStream::Read(void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    if (used_ == filled_) {
      // Large reads go straight through; the buffer is for the many small ones.
      if (count - done >= kBufferSize) {
        int64_t got = source_.Read(p + done, count - done);
        return got > 0 ? done + got : done;
      }
      filled_ = std::max<int64_t>(0, source_.Read(buffer_.data(), kBufferSize));
      used_ = 0;
      if (filled_ == 0)
        break;
    }
    int64_t n = std::min(count - done, filled_ - used_);
    std::memcpy(p + done, buffer_.data() + used_, static_cast<size_t>(n));
    used_ += n;
    done += n;
  }
  return done;
}

} // namespace nova
