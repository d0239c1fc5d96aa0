// SPDX-License-Identifier: MIT
#include "media/ffmpeg_stream_io.h"

#include <cstdio>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include "vfs/stream.h"

namespace nova {
namespace {

constexpr int kBufferBytes = 64 * 1024;

} // namespace

TFfmpegStreamIo::TFfmpegStreamIo(std::unique_ptr<TStream> stream) : stream_(std::move(stream)) {
  size_ = stream_->Size();
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  if (!buffer)
    return;
  context_ = avio_alloc_context(buffer, kBufferBytes, 0, this, &Read, nullptr, &Seek);
  if (!context_)
    av_free(buffer);
}

TFfmpegStreamIo::~TFfmpegStreamIo() {
  if (context_) {
    av_freep(&context_->buffer);
    avio_context_free(&context_);
  }
}

int TFfmpegStreamIo::Read(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<TFfmpegStreamIo*>(opaque);
  const int64_t got = self->stream_->Read(buffer, size);
  return got > 0 ? static_cast<int>(got) : AVERROR_EOF;
}

int64_t TFfmpegStreamIo::Seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<TFfmpegStreamIo*>(opaque);
  switch (whence & ~AVSEEK_FORCE) {
  case AVSEEK_SIZE:
    return self->size_;
  case SEEK_SET:
    break;
  case SEEK_CUR:
    offset += self->stream_->Position();
    break;
  case SEEK_END:
    offset += self->size_;
    break;
  default:
    return AVERROR(EINVAL);
  }
  if (offset < 0 || offset > self->size_)
    return AVERROR(EINVAL);
  return self->stream_->Seek(offset, TSeekOrigin::soBeginning);
}

} // namespace nova
