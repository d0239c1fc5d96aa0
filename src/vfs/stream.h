// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace nova {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// An ordinary (byte-addressed, seekable) stream: what `Load` fills and what media decoders read.
class TStream {
public:
  virtual ~TStream() = default;

  // Reads up to `count` bytes; returns the number read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to `count` bytes; returns the number written (0 for read-only streams).
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  int64_t Size();
  // Read or write exactly `count` bytes, else throw ENovaError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
};

// A growable in-memory stream. Growing does not zero the new bytes, so filling it from a file or
// a decompressor costs no extra pass over the memory.
class TMemoryStream final : public TStream {
public:
  TMemoryStream() = default;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;
  TMemoryStream(TMemoryStream&& other) noexcept;
  TMemoryStream& operator=(TMemoryStream&& other) noexcept;
  ~TMemoryStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  // Empties the stream (size and position 0).
  void Clear();
  // Sets the size; new bytes are uninitialised; the position is kept unless it passes the end.
  void SetSize(int64_t size);
  uint8_t* Memory() { return data_; }
  const uint8_t* Memory() const { return data_; }
  int64_t Size() const { return size_; }
  std::span<const uint8_t> Bytes() const { return {data_, static_cast<size_t>(size_)}; }
  std::string_view View() const {
    return {reinterpret_cast<const char*>(data_), static_cast<size_t>(size_)};
  }

  // Whole plain files (native paths); errors name the file. A file larger than `max_bytes` is
  // refused before anything is read.
  void LoadFromFile(const std::string& native_path, int64_t max_bytes = INT64_MAX);
  void SaveToFile(const std::string& native_path) const;

private:
  void Reserve(int64_t capacity);

  uint8_t* data_ = nullptr;
  int64_t size_ = 0;
  int64_t capacity_ = 0;
  int64_t pos_ = 0;
};

} // namespace nova
