// SPDX-License-Identifier: MIT
// Codings that only FFmpeg knows (Windows-Media audio, MP3 CD rips): the resource is decoded
// whole into 16-bit PCM at its own rate, mono or stereo, when it is opened, so positions and
// sizes are exact. Decoding stops at a cap, whatever the file claims.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/decode_stream.h"
#include "media/ffmpeg_stream_io.h"
#include "media/private/decode_limits.h"

namespace nova {

namespace {

// About three hours of 48 kHz stereo.
constexpr size_t kMaxDecodedBytes = size_t{2} << 30;

// Everything FFmpeg hands out, freed in one place.
struct TFfmpegSession {
  std::unique_ptr<TFfmpegStreamIo> io; // outlives the format context, freed after it
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* swr = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  ~TFfmpegSession() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    swr_free(&swr);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }
};

class TFfmpegDecodeStream final : public TDecodeStream {
public:
  explicit TFfmpegDecodeStream(std::unique_ptr<TStream> data) {
    TFfmpegSession s;
    s.io = std::make_unique<TFfmpegStreamIo>(std::move(data));
    if (!s.io->Context())
      ThrowSoundDataInvalid();
    s.format = avformat_alloc_context();
    s.format->pb = s.io->Context();
    s.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&s.format, nullptr, nullptr, nullptr) < 0)
      ThrowSoundDataInvalid(); // the context was freed by the failed open
    if (avformat_find_stream_info(s.format, nullptr) < 0)
      ThrowSoundDataInvalid();
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(s.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder)
      ThrowSoundDataInvalid();
    s.codec = avcodec_alloc_context3(decoder);
    if (!s.codec ||
        avcodec_parameters_to_context(s.codec, s.format->streams[index]->codecpar) < 0 ||
        avcodec_open2(s.codec, decoder, nullptr) < 0)
      ThrowSoundDataInvalid();
    const int channels = s.codec->ch_layout.nb_channels;
    const int rate = s.codec->sample_rate;
    if (channels < 1 || channels > 64 || !PlausibleSoundFormat(1, rate))
      ThrowSoundDataInvalid();
    const int out_channels = std::min(channels, 2);
    AVChannelLayout out_layout;
    av_channel_layout_default(&out_layout, out_channels);
    if (swr_alloc_set_opts2(&s.swr, &out_layout, AV_SAMPLE_FMT_S16, rate, &s.codec->ch_layout,
                            s.codec->sample_fmt, rate, 0, nullptr) < 0 ||
        swr_init(s.swr) < 0)
      ThrowSoundDataInvalid();
    SetFormat(static_cast<uint16_t>(out_channels), static_cast<uint32_t>(rate), 16);
    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();
    if (!s.packet || !s.frame)
      ThrowSoundDataInvalid();
    Decode(s, index);
    size_ = AlignDown(static_cast<int64_t>(pcm_.size()));
  }

  int64_t Read(void* buffer, int64_t count) override {
    count = AlignDown(std::min(count, size_ - pos_));
    if (count <= 0)
      return 0;
    std::memcpy(buffer, pcm_.data() + pos_, static_cast<size_t>(count));
    pos_ += count;
    return count;
  }

  void SetPos(int64_t bytes) override { pos_ = AlignDown(std::clamp<int64_t>(bytes, 0, size_)); }

private:
  void Decode(TFfmpegSession& s, int index) {
    bool draining = false;
    while (pcm_.size() < kMaxDecodedBytes) {
      if (!draining) {
        const int read = av_read_frame(s.format, s.packet);
        if (read < 0) {
          draining = true;
          avcodec_send_packet(s.codec, nullptr);
        } else {
          if (s.packet->stream_index == index)
            avcodec_send_packet(s.codec, s.packet); // a damaged packet is skipped
          av_packet_unref(s.packet);
        }
      }
      int got;
      while ((got = avcodec_receive_frame(s.codec, s.frame)) >= 0) {
        Convert(s);
        av_frame_unref(s.frame);
      }
      if (draining && got != AVERROR(EAGAIN))
        break;
    }
  }

  void Convert(TFfmpegSession& s) {
    const int out_frames = swr_get_out_samples(s.swr, s.frame->nb_samples);
    if (out_frames <= 0)
      return;
    const size_t at = pcm_.size();
    const size_t bytes = static_cast<size_t>(out_frames) * format_.block_align;
    if (at + bytes > kMaxDecodedBytes)
      return;
    pcm_.resize(at + bytes);
    uint8_t* out = pcm_.data() + at;
    const int done =
        swr_convert(s.swr, &out, out_frames, const_cast<const uint8_t**>(s.frame->extended_data),
                    s.frame->nb_samples);
    pcm_.resize(at + static_cast<size_t>(std::max(done, 0)) * format_.block_align);
  }

  std::vector<uint8_t> pcm_;
};

} // namespace

std::unique_ptr<TDecodeStream> OpenFfmpegDecodeStream(std::unique_ptr<TStream> data) {
  return std::make_unique<TFfmpegDecodeStream>(std::move(data));
}

} // namespace nova
