// SPDX-License-Identifier: MIT
// Waves of every coding titles carry (8/16/24/32-bit PCM, float, IMA and MS ADPCM, u-law,
// A-law) through libsndfile, reading the resource through the player's stream. 8-bit data stays
// 8-bit unsigned, everything else becomes 16-bit.
#include <sndfile.h>

#include <algorithm>
#include <vector>

#include "media/decode_stream.h"
#include "media/private/decode_limits.h"

namespace nova {

namespace {

sf_count_t Length(void* source) {
  auto* stream = static_cast<TStream*>(source);
  const int64_t at = stream->Position();
  const int64_t size = stream->Seek(0, TSeekOrigin::soEnd);
  stream->SetPosition(at);
  return size;
}

sf_count_t Seek(sf_count_t offset, int whence, void* source) {
  const TSeekOrigin origin = whence == SEEK_SET   ? TSeekOrigin::soBeginning
                             : whence == SEEK_CUR ? TSeekOrigin::soCurrent
                                                  : TSeekOrigin::soEnd;
  return static_cast<TStream*>(source)->Seek(offset, origin);
}

sf_count_t ReadBytes(void* ptr, sf_count_t count, void* source) {
  const int64_t got = static_cast<TStream*>(source)->Read(ptr, count);
  return got < 0 ? 0 : got;
}

sf_count_t WriteBytes(const void*, sf_count_t, void*) { return 0; }

sf_count_t Tell(void* source) { return static_cast<TStream*>(source)->Position(); }

class TWaveDecodeStream final : public TDecodeStream {
public:
  explicit TWaveDecodeStream(std::unique_ptr<TStream> data) : data_(std::move(data)) {
    SF_VIRTUAL_IO io{Length, Seek, ReadBytes, WriteBytes, Tell};
    SF_INFO info{};
    file_ = sf_open_virtual(&io, SFM_READ, &info, data_.get());
    if (!file_)
      ThrowSoundDataInvalid();
    if (!PlausibleSoundFormat(info.channels, info.samplerate) || info.frames < 0) {
      sf_close(file_);
      ThrowSoundDataInvalid();
    }
    const int coding = info.format & SF_FORMAT_SUBMASK;
    raw8_ = coding == SF_FORMAT_PCM_U8 || coding == SF_FORMAT_PCM_S8;
    signed8_ = coding == SF_FORMAT_PCM_S8;
    SetFormat(static_cast<uint16_t>(info.channels), static_cast<uint32_t>(info.samplerate),
              raw8_ ? 8 : 16);
    // The declared length is only believed as far as the data goes (Read shrinks it).
    size_ = info.frames > INT64_MAX / format_.block_align ? INT64_MAX / format_.block_align
                                                          : info.frames * format_.block_align;
  }
  ~TWaveDecodeStream() override { sf_close(file_); }

  int64_t Read(void* buffer, int64_t count) override {
    count = AlignDown(std::min(count, size_ - pos_));
    if (count <= 0)
      return 0;
    int64_t got = 0;
    if (raw8_) {
      got = sf_read_raw(file_, buffer, count);
      if (signed8_) {
        auto* bytes = static_cast<uint8_t*>(buffer);
        for (int64_t i = 0; i < got; ++i)
          bytes[i] = static_cast<uint8_t>(bytes[i] + 128);
      }
    } else {
      // Samples land in the caller's bytes, which need not be aligned for int16_t.
      const sf_count_t frames = count / format_.block_align;
      scratch_.resize(static_cast<size_t>(frames) * format_.channels);
      const sf_count_t read = sf_readf_short(file_, scratch_.data(), frames);
      got = read < 0 ? 0 : read * format_.block_align;
      auto* out = static_cast<uint8_t*>(buffer);
      for (int64_t i = 0; i < got / 2; ++i) {
        const auto v = static_cast<uint16_t>(scratch_[static_cast<size_t>(i)]);
        out[2 * i] = static_cast<uint8_t>(v);
        out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
      }
    }
    got = AlignDown(got);
    if (got < count)
      size_ = pos_ + got; // the data ends before the header said
    pos_ += got;
    return got;
  }

  void SetPos(int64_t bytes) override {
    pos_ = AlignDown(std::clamp<int64_t>(bytes, 0, size_));
    if (sf_seek(file_, pos_ / format_.block_align, SEEK_SET) < 0)
      pos_ = size_;
  }

private:
  std::unique_ptr<TStream> data_;
  SNDFILE* file_ = nullptr;
  bool raw8_ = false, signed8_ = false;
  std::vector<short> scratch_;
};

} // namespace

std::unique_ptr<TDecodeStream> OpenWaveDecodeStream(std::unique_ptr<TStream> data) {
  return std::make_unique<TWaveDecodeStream>(std::move(data));
}

} // namespace nova
