// SPDX-License-Identifier: MIT
#include "vfs/stream.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/private/file_io.h"

namespace nova {

int64_t TStream::Size() {
  int64_t here = Position();
  int64_t end = Seek(0, TSeekOrigin::soEnd);
  SetPosition(here);
  return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (Read(buffer, count) != count)
    throw ENovaError("stream read error: unexpected end of data");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (Write(buffer, count) != count)
    throw ENovaError("stream write error");
}

TMemoryStream::TMemoryStream(TMemoryStream&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)), pos_(std::exchange(other.pos_, 0)) {}

TMemoryStream& TMemoryStream::operator=(TMemoryStream&& other) noexcept {
  if (this != &other) {
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    pos_ = std::exchange(other.pos_, 0);
  }
  return *this;
}

TMemoryStream::~TMemoryStream() { std::free(data_); }

void TMemoryStream::Reserve(int64_t capacity) {
  if (capacity <= capacity_)
    return;
  void* grown = std::realloc(data_, static_cast<size_t>(capacity));
  if (!grown)
    throw std::bad_alloc();
  data_ = static_cast<uint8_t*>(grown);
  capacity_ = capacity;
}

void TMemoryStream::Clear() {
  size_ = 0;
  pos_ = 0;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0)
    size = 0;
  if (size > capacity_)
    Reserve(size);
  size_ = size;
  if (pos_ > size_)
    pos_ = size_;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= size_)
    return 0;
  int64_t n = count < size_ - pos_ ? count : size_ - pos_;
  std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0)
    return 0;
  int64_t end = pos_ + count;
  if (end > capacity_)
    Reserve(end > capacity_ * 2 ? end : capacity_ * 2);
  std::memcpy(data_ + pos_, buffer, static_cast<size_t>(count));
  pos_ = end;
  if (end > size_)
    size_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0
                 : origin == TSeekOrigin::soCurrent ? pos_
                                                    : size_;
  int64_t p = base + offset;
  pos_ = p < 0 ? 0 : p;
  return pos_;
}

void TMemoryStream::LoadFromFile(const std::string& native_path, int64_t max_bytes) {
  FileHandle file = OpenFileOrThrow(native_path, O_RDONLY);
  int64_t size = FileSizeOrThrow(file, native_path);
  if (size > max_bytes)
    throw ENovaError(Utf8ToSjis(native_path) + ": " + std::to_string(size) +
                     " bytes, more than the " + std::to_string(max_bytes) +
                     " such a file may hold");
  Clear();
  SetSize(size);
  ReadAtOrThrow(file, data_, size, 0, native_path);
}

void TMemoryStream::SaveToFile(const std::string& native_path) const {
  FileHandle file = OpenFileOrThrow(native_path, O_WRONLY | O_CREAT | O_TRUNC);
  WriteAtOrThrow(file, data_, size_, 0, native_path);
}

} // namespace nova
