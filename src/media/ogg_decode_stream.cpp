// SPDX-License-Identifier: MIT
// Ogg Vorbis through libvorbisfile, reading the resource through the player's stream.
#include <vorbis/vorbisfile.h>

#include <algorithm>

#include "media/decode_stream.h"
#include "media/private/decode_limits.h"

namespace nova {

namespace {

size_t ReadData(void* ptr, size_t size, size_t count, void* source) {
  if (size == 0)
    return 0;
  const int64_t got = static_cast<TStream*>(source)->Read(ptr, static_cast<int64_t>(size * count));
  return got <= 0 ? 0 : static_cast<size_t>(got) / size;
}

int SeekData(void* source, ogg_int64_t offset, int whence) {
  auto* stream = static_cast<TStream*>(source);
  const TSeekOrigin origin = whence == SEEK_SET   ? TSeekOrigin::soBeginning
                             : whence == SEEK_CUR ? TSeekOrigin::soCurrent
                                                  : TSeekOrigin::soEnd;
  stream->Seek(offset, origin);
  return 0;
}

long TellData(void* source) { return static_cast<long>(static_cast<TStream*>(source)->Position()); }

class TOggDecodeStream final : public TDecodeStream {
public:
  explicit TOggDecodeStream(std::unique_ptr<TStream> data) : data_(std::move(data)) {
    const ov_callbacks callbacks{ReadData, SeekData, nullptr, TellData};
    if (ov_open_callbacks(data_.get(), &file_, nullptr, 0, callbacks) != 0)
      ThrowSoundDataInvalid();
    open_ = true;
    const vorbis_info* info = ov_info(&file_, -1);
    const ogg_int64_t frames = ov_pcm_total(&file_, -1);
    if (!info || frames < 0 || !PlausibleSoundFormat(info->channels, info->rate)) {
      ov_clear(&file_);
      ThrowSoundDataInvalid();
    }
    SetFormat(static_cast<uint16_t>(info->channels), static_cast<uint32_t>(info->rate), 16);
    size_ = frames * format_.block_align;
  }
  ~TOggDecodeStream() override {
    if (open_)
      ov_clear(&file_);
  }

  int64_t Read(void* buffer, int64_t count) override {
    count = AlignDown(std::min(count, size_ - pos_));
    auto* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < count) {
      int link = 0;
      const long got =
          ov_read(&file_, out + done, static_cast<int>(std::min<int64_t>(count - done, 1 << 16)), 0,
                  2, 1, &link);
      if (got == OV_HOLE)
        continue;
      if (got <= 0) {
        // The data ends before the last page said: that is the real end.
        size_ = pos_ + AlignDown(done);
        break;
      }
      // A chained stream whose next part has another layout ends here.
      const vorbis_info* info = ov_info(&file_, link);
      if (!info || info->channels != format_.channels) {
        size_ = pos_ + AlignDown(done);
        break;
      }
      done += got;
    }
    done = AlignDown(done);
    pos_ += done;
    return done;
  }

  void SetPos(int64_t bytes) override {
    pos_ = AlignDown(std::clamp<int64_t>(bytes, 0, size_));
    if (ov_pcm_seek(&file_, pos_ / format_.block_align) != 0)
      pos_ = size_; // unseekable damage: nothing more to play
  }

private:
  std::unique_ptr<TStream> data_;
  OggVorbis_File file_{};
  bool open_ = false;
};

} // namespace

std::unique_ptr<TDecodeStream> OpenOggDecodeStream(std::unique_ptr<TStream> data) {
  return std::make_unique<TOggDecodeStream>(std::move(data));
}

} // namespace nova
