// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vfs/stream.h"

namespace nova {

// Each volume of a split file holds at most this many bytes.
inline constexpr int64_t kVolumeSize = 0x40000000;

// A 64-bit stream: archives and the save file are read and written through these.
class TZpBigStream {
public:
  virtual ~TZpBigStream() = default;

  virtual int64_t GetSize() = 0;
  virtual int64_t GetPosition() = 0;
  virtual void SetPosition(int64_t position) = 0;
  // Both return the number of bytes moved; short only at the end (read) or on failure.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Copies `count` bytes from the source's position; a count of 0 copies the whole source from
  // its position 0. Returns the bytes copied.
  virtual int64_t CopyFrom(TZpBigStream& source, int64_t count);
  virtual int64_t CopyFromStream(TStream& source, int64_t count);
  // Copies `count` bytes from this stream's position into `dest` (0: everything from position 0).
  virtual int64_t CopyToStream(TStream& dest, int64_t count);

  // Exactly `count` bytes or ENovaError naming `what`.
  void ReadBuffer(void* buffer, int64_t count, const std::string& what);
  void WriteBuffer(const void* buffer, int64_t count, const std::string& what);
};

enum class TBigFileMode {
  fmOpenRead,      // existing volumes, read only
  fmCreate,        // every existing volume is deleted first
  fmOpenReadWrite, // existing volumes (volume 0 is created when missing)
};

// A file that may be split into volumes: volume 0 carries the name itself, volume k >= 1 the name
// without its extension + "." + k in three digits. Positions address the volumes as one stream.
class TZpBigFileStream final : public TZpBigStream {
public:
  // `native_path` is a file-system path. Throws ENovaError when volume 0 cannot be opened.
  TZpBigFileStream(std::string native_path, TBigFileMode mode, int64_t volume_size = kVolumeSize);
  ~TZpBigFileStream() override;

  int64_t GetSize() override;
  int64_t GetPosition() override { return pos_; }
  void SetPosition(int64_t position) override { pos_ = position < 0 ? 0 : position; }
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Read(void* buffer, int64_t count) override;

  const std::string& FileName() const { return path_; }
  int VolumeCount() const { return static_cast<int>(fds_.size()); }
  // File name of volume `index` of `native_path`.
  static std::string VolumeName(const std::string& native_path, int index);

private:
  bool OpenVolume(int index, bool create);

  std::string path_;
  TBigFileMode mode_;
  int64_t volume_size_;
  std::vector<int> fds_;
  int64_t pos_ = 0;
};

// A memory-backed 64-bit stream.
class TZpBigMemoryStream final : public TZpBigStream {
public:
  int64_t GetSize() override { return memory_.Size(); }
  int64_t GetPosition() override { return memory_.Position(); }
  void SetPosition(int64_t position) override { memory_.SetPosition(position); }
  int64_t Write(const void* buffer, int64_t count) override { return memory_.Write(buffer, count); }
  int64_t Read(void* buffer, int64_t count) override { return memory_.Read(buffer, count); }

  TMemoryStream& Memory() { return memory_; }
  void LoadFromFile(const std::string& native_path) { memory_.LoadFromFile(native_path); }
  void SaveToFile(const std::string& native_path) const { memory_.SaveToFile(native_path); }

private:
  TMemoryStream memory_;
};

// Read-only window [start, start + size) of another 64-bit stream that it owns.
class TZpBigWindowStream : public TZpBigStream {
public:
  TZpBigWindowStream(std::unique_ptr<TZpBigStream> source, int64_t start, int64_t size);

  int64_t GetSize() override { return size_; }
  int64_t GetPosition() override { return pos_; }
  void SetPosition(int64_t position) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Read(void* buffer, int64_t count) override;

  int64_t Start() const { return start_; }

protected:
  TZpBigWindowStream() = default;
  void Reset(std::unique_ptr<TZpBigStream> source, int64_t start, int64_t size);

private:
  std::unique_ptr<TZpBigStream> source_;
  int64_t start_ = 0;
  int64_t size_ = 0;
  int64_t pos_ = 0;
};

// A resource of a Windows executable or module file (module path, resource name, resource type),
// read through our own reader of the file's resource directory. Read-only.
class TZpBigResourceStream final : public TZpBigWindowStream {
public:
  // Throws "リソースが見つかりません" when the module has no such resource or it is empty, and
  // ENovaError naming the module when the file cannot be opened.
  TZpBigResourceStream(const std::string& module_path, const std::string& resource_name,
                       const std::string& resource_type);
};

// Read-ahead buffer of 102400 bytes over another stream (used for an archive's name table). When
// freed, it moves the underlying position back by the bytes buffered but not consumed.
class TZpBuffBigStream final : public TZpBigStream {
public:
  static constexpr int64_t kBufferSize = 102400;
  explicit TZpBuffBigStream(TZpBigStream& source);
  ~TZpBuffBigStream() override;

  int64_t GetSize() override { return source_.GetSize(); }
  int64_t GetPosition() override { return source_.GetPosition() - (filled_ - used_); }
  void SetPosition(int64_t position) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Read(void* buffer, int64_t count) override;

private:
  TZpBigStream& source_;
  std::vector<uint8_t> buffer_;
  int64_t filled_ = 0;
  int64_t used_ = 0;
};

} // namespace nova
