// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "vfs/big_stream.h"
#include "vfs/stream.h"

namespace nova {

// A read-only window [start, start + size) of a 64-bit stream that it owns; size 0 at creation
// means the window reaches the end of the source. Positions are relative to the window. Seek and
// Read hold the stream's own lock, because media decoders read from threads of their own.
class TRangeStream : public TStream {
public:
  TRangeStream(std::unique_ptr<TZpBigStream> source, int64_t start, int64_t size);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  int64_t WindowStart() const { return start_; }
  int64_t WindowSize() const { return size_; }

private:
  std::mutex lock_;
  std::unique_ptr<TZpBigStream> source_;
  int64_t start_;
  int64_t size_;
  int64_t pos_ = 0; // absolute, within [start_, start_ + size_]
};

// A window of a (possibly split) file, opened by its own file stream.
class TFileRangeStream final : public TRangeStream {
public:
  TFileRangeStream(const std::string& native_path, int64_t start, int64_t size,
                   int64_t volume_size = kVolumeSize);
};

// A window of an executable's resource, opened by its own resource stream.
class TResourceRangeStream final : public TRangeStream {
public:
  TResourceRangeStream(const std::string& module_path, const std::string& resource_name,
                       const std::string& resource_type, int64_t start, int64_t size);
};

} // namespace nova
