// SPDX-License-Identifier: MIT
// FFmpeg reads movies and sound files through the player's own streams (a range stream over an
// archive entry or a file), never by opening a path itself.
#pragma once
#include <cstdint>
#include <memory>

struct AVIOContext;

namespace nova {

class TStream;

class TFfmpegStreamIo {
public:
  explicit TFfmpegStreamIo(std::unique_ptr<TStream> stream);
  ~TFfmpegStreamIo();
  TFfmpegStreamIo(const TFfmpegStreamIo&) = delete;
  TFfmpegStreamIo& operator=(const TFfmpegStreamIo&) = delete;

  // Null only when memory ran out.
  AVIOContext* Context() { return context_; }

private:
  static int Read(void* opaque, uint8_t* buffer, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);

  std::unique_ptr<TStream> stream_;
  int64_t size_ = 0;
  AVIOContext* context_ = nullptr;
};

} // namespace nova
