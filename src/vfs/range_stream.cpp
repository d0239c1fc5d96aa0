// SPDX-License-Identifier: MIT
#include "vfs/range_stream.h"

#include <algorithm>

namespace nova {

TRangeStream::TRangeStream(std::unique_ptr<TZpBigStream> source, int64_t start, int64_t size)
    : source_(std::move(source)) {
  const int64_t source_size = source_->GetSize();
  start_ = std::clamp<int64_t>(start, 0, source_size);
  size_ = size <= 0 ? source_size - start_ : std::min(size, source_size - start_);
  pos_ = start_;
}

int64_t TRangeStream::Read(void* buffer, int64_t count) {
  std::lock_guard<std::mutex> hold(lock_);
  const int64_t n = std::min(count, start_ + size_ - pos_);
  if (n <= 0)
    return 0;
  source_->SetPosition(pos_);
  const int64_t got = source_->Read(buffer, n);
  if (got > 0)
    pos_ += got;
  return got > 0 ? got : 0;
}

int64_t TRangeStream::Seek(int64_t offset, TSeekOrigin origin) {
  std::lock_guard<std::mutex> hold(lock_);
  const int64_t base = origin == TSeekOrigin::soBeginning ? start_
                       : origin == TSeekOrigin::soCurrent ? pos_
                                                          : start_ + size_;
  pos_ = std::clamp<int64_t>(base + offset, start_, start_ + size_);
  return pos_ - start_;
}

TFileRangeStream::TFileRangeStream(const std::string& native_path, int64_t start, int64_t size,
                                   int64_t volume_size)
    : TRangeStream(
          std::make_unique<TZpBigFileStream>(native_path, TBigFileMode::fmOpenRead, volume_size),
          start, size) {}

TResourceRangeStream::TResourceRangeStream(const std::string& module_path,
                                           const std::string& resource_name,
                                           const std::string& resource_type, int64_t start,
                                           int64_t size)
    : TRangeStream(
          std::make_unique<TZpBigResourceStream>(module_path, resource_name, resource_type), start,
          size) {}

} // namespace nova
