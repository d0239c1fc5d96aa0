// SPDX-License-Identifier: MIT
#include "media/video_decoder.h"

#include <algorithm>
#include <deque>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "base/nova_error.h"
#include "graphics/dibx_custom.h"
#include "media/ffmpeg_stream_io.h"
#include "platform/audio_output.h"
#include "vfs/stream.h"

namespace nova {
namespace {

// Containers the titles ship movies in; anything else (pictures, playlists, raw pipes) is
// refused before a demuxer sees more than the probe.
constexpr const char* kFormatWhitelist = "asf,mpeg,mpegvideo,mpegts,avi,mov,matroska,ogg,m4v";

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

struct PacketQueue {
  std::deque<AVPacket*> packets;
  int64_t bytes = 0;

  void Push(AVPacket* p) {
    bytes += p->size;
    packets.push_back(p);
  }
  AVPacket* Pop() {
    AVPacket* p = packets.front();
    packets.pop_front();
    bytes -= p->size;
    return p;
  }
  void Clear() {
    for (AVPacket* p : packets)
      av_packet_free(&p);
    packets.clear();
    bytes = 0;
  }
};

struct CodecDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

AVPixelFormat SurfaceFormat(const TCustomDIBX& dst) {
  switch (dst.StorageBitCount()) {
  case 32:
    return AV_PIX_FMT_BGRA;
  case 24:
    return AV_PIX_FMT_BGR24;
  case 16:
    return dst.GreenMask() == 0x7E0 ? AV_PIX_FMT_RGB565LE : AV_PIX_FMT_RGB555LE;
  default:
    return AV_PIX_FMT_NONE;
  }
}

void ClearAlpha(uint8_t* row0, int pitch, int width, int height) {
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(row0 + static_cast<ptrdiff_t>(y) * pitch);
    for (int x = 0; x < width; ++x)
      row[x] &= 0x00FFFFFFu;
  }
}

} // namespace

struct TVideoDecoder::State {
  std::string name;
  TVideoLimits limits;
  std::unique_ptr<TFfmpegStreamIo> io;
  AVFormatContext* format = nullptr;
  int video_index = -1, audio_index = -1;
  CodecPtr video, audio;
  int64_t start_us = 0;
  AVRational video_tb{1, 1000}, audio_tb{1, 1000};

  PacketQueue video_queue, audio_queue;
  bool demux_done = false;
  bool video_flushed = false, audio_flushed = false;
  bool video_drained = false, audio_drained = false;

  FramePtr shown, next;
  int64_t shown_ms = 0, shown_end_ms = 0, next_ms = 0;
  bool has_shown = false, has_next = false;

  SwsContext* sws = nullptr;
  SwrContext* swr = nullptr;
  int in_rate = 0, in_format = -1, in_channels = 0; // what the resampler takes
  FramePtr audio_frame;
  int64_t audio_frames_out = 0; // output frames since media time 0
  bool audio_anchored = false;
  int64_t audio_skip_to = 0; // output frames dropped before this after a seek
  std::vector<int16_t> resampled;

  ~State() {
    video_queue.Clear();
    audio_queue.Clear();
    sws_freeContext(sws);
    swr_free(&swr);
    avformat_close_input(&format);
  }

  [[noreturn]] void Fail(const std::string& what) const { throw ENovaError(name + ": " + what); }

  int64_t ToMs(int64_t pts, AVRational tb) const {
    if (pts == AV_NOPTS_VALUE)
      return 0;
    return av_rescale_q(pts, tb, AVRational{1, 1000}) - start_us / 1000;
  }

  CodecPtr OpenCodec(int index) {
    const AVCodecParameters* par = format->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec)
      return nullptr;
    CodecPtr ctx(avcodec_alloc_context3(codec));
    if (!ctx || avcodec_parameters_to_context(ctx.get(), par) < 0)
      return nullptr;
    ctx->thread_count = limits.decoder_threads;
    ctx->max_pixels = int64_t{limits.max_side} * limits.max_side;
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0)
      return nullptr;
    return ctx;
  }

  // Reads one packet into the queue of its stream; false at the end of the data.
  bool DemuxOne() {
    if (demux_done)
      return false;
    AVPacket* p = av_packet_alloc();
    if (!p)
      Fail("out of memory");
    // Any read error ends the data: a truncated or damaged file simply stops there.
    if (av_read_frame(format, p) < 0) {
      av_packet_free(&p);
      demux_done = true;
      return false;
    }
    if (p->stream_index == video_index) {
      video_queue.Push(p);
    } else if (p->stream_index == audio_index && audio) {
      audio_queue.Push(p);
      // Nobody asked for sound this far ahead: the oldest goes rather than memory.
      while (audio_queue.bytes > limits.max_queued_bytes)
        if (AVPacket* old = audio_queue.Pop())
          av_packet_free(&old);
    } else {
      av_packet_free(&p);
    }
    return true;
  }

  // Feeds one packet (or the end) to a decoder; false when nothing more can be fed.
  bool Feed(AVCodecContext* ctx, PacketQueue& queue, bool& flushed, int& budget) {
    while (queue.packets.empty()) {
      if (--budget < 0)
        return false;
      // Sound must not make the picture queue grow without end, and the other way round.
      if (&queue == &audio_queue && video_queue.bytes > limits.max_queued_bytes)
        return false;
      if (!DemuxOne()) {
        if (flushed)
          return false;
        flushed = true;
        avcodec_send_packet(ctx, nullptr);
        return true;
      }
    }
    AVPacket* p = queue.Pop();
    // A packet the decoder rejects is skipped: damaged data loses pictures, not the movie.
    avcodec_send_packet(ctx, p);
    av_packet_free(&p);
    return true;
  }

  // Decodes the next picture into `next`; false when none is to be had now.
  bool DecodeNextPicture() {
    if (video_drained)
      return false;
    if (!next)
      next.reset(av_frame_alloc());
    int budget = limits.max_packets_per_step;
    for (;;) {
      const int r = avcodec_receive_frame(video.get(), next.get());
      if (r == 0)
        break;
      if (r == AVERROR_EOF) {
        video_drained = true;
        return false;
      }
      if (r != AVERROR(EAGAIN) || !Feed(video.get(), video_queue, video_flushed, budget))
        return false;
    }
    if (next->width <= 0 || next->height <= 0 || next->width > limits.max_side ||
        next->height > limits.max_side)
      Fail("a picture of " + std::to_string(next->width) + " x " + std::to_string(next->height) +
           " pixels is beyond the limit");
    // A picture without a time follows the one before it.
    next_ms = next->best_effort_timestamp == AV_NOPTS_VALUE
                  ? (has_shown ? shown_end_ms : 0)
                  : ToMs(next->best_effort_timestamp, video_tb);
    has_next = true;
    return true;
  }

  // One decoded sound frame into `resampled`; false when none is to be had now.
  bool DecodeNextSound() {
    if (audio_drained)
      return false;
    int budget = limits.max_packets_per_step;
    for (;;) {
      const int r = avcodec_receive_frame(audio.get(), audio_frame.get());
      if (r == 0)
        break;
      if (r == AVERROR_EOF) {
        audio_drained = true;
        return false;
      }
      if (r != AVERROR(EAGAIN) || !Feed(audio.get(), audio_queue, audio_flushed, budget))
        return false;
    }
    AVFrame* f = audio_frame.get();
    if (!audio_anchored) {
      audio_anchored = true;
      const int64_t ms = ToMs(f->best_effort_timestamp, audio_tb);
      audio_frames_out = std::max<int64_t>(0, ms) * kAudioOutputRate / 1000;
    }
    // A damaged stream may change its sound format from one frame to the next.
    if ((!swr || f->sample_rate != in_rate || f->format != in_format ||
         f->ch_layout.nb_channels != in_channels) &&
        !ConfigureResampler(f->sample_rate, f->format, f->ch_layout)) {
      av_frame_unref(f);
      return true;
    }
    const int capacity = swr_get_out_samples(swr, f->nb_samples);
    if (capacity <= 0) {
      av_frame_unref(f);
      return true;
    }
    resampled.resize(static_cast<size_t>(capacity) * kAudioOutputChannels);
    uint8_t* out = reinterpret_cast<uint8_t*>(resampled.data());
    const int got = swr_convert(swr, &out, capacity, const_cast<const uint8_t**>(f->extended_data),
                                f->nb_samples);
    av_frame_unref(f);
    resampled.resize(static_cast<size_t>(std::max(got, 0)) * kAudioOutputChannels);
    return true;
  }

  // Moves the demuxer to `ms` or before and forgets everything decoded.
  void SeekTo(int64_t ms) {
    const int64_t ts = ms * 1000 + start_us;
    if (av_seek_frame(format, -1, ts, AVSEEK_FLAG_BACKWARD) < 0)
      av_seek_frame(format, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD);
    video_queue.Clear();
    audio_queue.Clear();
    demux_done = false;
    video_flushed = audio_flushed = false;
    video_drained = audio_drained = false;
    avcodec_flush_buffers(video.get());
    has_next = false;
    has_shown = false;
    if (audio) {
      avcodec_flush_buffers(audio.get());
      if (swr)
        swr_init(swr);
      audio_anchored = false;
    }
  }

  // (Re)builds the resampler for sound of this rate, sample format and channels; false when
  // they are out of range or not supported.
  bool ConfigureResampler(int rate, int sample_format, const AVChannelLayout& layout) {
    swr_free(&swr);
    in_rate = in_channels = 0;
    in_format = -1;
    if (rate <= 0 || rate > 384000 || layout.nb_channels <= 0 || layout.nb_channels > 8 ||
        sample_format < 0 || sample_format >= AV_SAMPLE_FMT_NB)
      return false;
    AVChannelLayout in_layout{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_default(&in_layout, layout.nb_channels);
    else if (av_channel_layout_copy(&in_layout, &layout) < 0)
      return false;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    const int r =
        swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, kAudioOutputRate, &in_layout,
                            static_cast<AVSampleFormat>(sample_format), rate, 0, nullptr);
    av_channel_layout_uninit(&in_layout);
    if (r < 0 || swr_init(swr) < 0) {
      swr_free(&swr);
      return false;
    }
    in_rate = rate;
    in_format = sample_format;
    in_channels = layout.nb_channels;
    return true;
  }

  void OpenAudio() {
    const AVCodecParameters* par = format->streams[audio_index]->codecpar;
    if (par->sample_rate <= 0 || par->sample_rate > 384000 || par->ch_layout.nb_channels <= 0 ||
        par->ch_layout.nb_channels > 8)
      return;
    audio = OpenCodec(audio_index);
    audio_frame.reset(av_frame_alloc());
    // Without a resampler the movie still plays, silently.
    if (!audio || !audio_frame ||
        !ConfigureResampler(audio->sample_rate, audio->sample_fmt, audio->ch_layout))
      audio.reset();
  }
};

TVideoDecoder::TVideoDecoder(const std::string& name, std::unique_ptr<TStream> stream,
                             bool with_audio, const TVideoLimits& limits)
    : s_(std::make_unique<State>()) {
  State& s = *s_;
  // Faults reach the log as one line of ours; FFmpeg's own messages would add noise.
  av_log_set_level(AV_LOG_QUIET);
  s.name = name;
  s.limits = limits;
  s.io = std::make_unique<TFfmpegStreamIo>(std::move(stream));
  s.format = avformat_alloc_context();
  if (!s.format || !s.io->Context())
    s.Fail("out of memory");
  s.format->pb = s.io->Context();
  s.format->flags |= AVFMT_FLAG_CUSTOM_IO;
  s.format->probesize = limits.probe_bytes;
  s.format->max_analyze_duration = limits.analyze_us;
  s.format->format_whitelist = av_strdup(kFormatWhitelist);
  if (int r = avformat_open_input(&s.format, nullptr, nullptr, nullptr); r < 0) {
    // avformat_open_input frees the context on failure.
    s.format = nullptr;
    s.Fail("not a movie file the player can read (" + AvError(r) + ")");
  }
  if (int r = avformat_find_stream_info(s.format, nullptr); r < 0)
    s.Fail("the streams cannot be read (" + AvError(r) + ")");
  s.video_index = av_find_best_stream(s.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (s.video_index < 0)
    s.Fail("there is no picture stream");
  const AVCodecParameters* par = s.format->streams[s.video_index]->codecpar;
  if (par->width <= 0 || par->height <= 0 || par->width > limits.max_side ||
      par->height > limits.max_side)
    s.Fail("a picture of " + std::to_string(par->width) + " x " + std::to_string(par->height) +
           " pixels is beyond the limit");
  s.video = s.OpenCodec(s.video_index);
  if (!s.video)
    s.Fail(std::string("the picture codec ") + avcodec_get_name(par->codec_id) +
           " cannot be decoded");
  s.video_tb = s.format->streams[s.video_index]->time_base;
  s.start_us = s.format->start_time == AV_NOPTS_VALUE ? 0 : s.format->start_time;
  if (with_audio) {
    s.audio_index =
        av_find_best_stream(s.format, AVMEDIA_TYPE_AUDIO, -1, s.video_index, nullptr, 0);
    if (s.audio_index >= 0) {
      s.audio_tb = s.format->streams[s.audio_index]->time_base;
      s.OpenAudio();
    }
  }
}

TVideoDecoder::~TVideoDecoder() = default;

int TVideoDecoder::Width() const { return s_->video->width; }
int TVideoDecoder::Height() const { return s_->video->height; }
bool TVideoDecoder::HasAudio() const { return s_->audio != nullptr; }
bool TVideoDecoder::HasPicture() const { return s_->has_shown; }
int64_t TVideoDecoder::ShownEndMs() const { return s_->shown_end_ms; }
bool TVideoDecoder::VideoDrained() const { return s_->video_drained && !s_->has_next; }
bool TVideoDecoder::AudioDrained() const { return !s_->audio || s_->audio_drained; }
int64_t TVideoDecoder::AudioMs() const { return s_->audio_frames_out * 1000 / kAudioOutputRate; }

int64_t TVideoDecoder::LengthMs() const {
  const AVFormatContext* f = s_->format;
  if (f->duration != AV_NOPTS_VALUE && f->duration > 0)
    return f->duration / 1000;
  const AVStream* v = f->streams[s_->video_index];
  if (v->duration != AV_NOPTS_VALUE && v->duration > 0)
    return av_rescale_q(v->duration, v->time_base, AVRational{1, 1000});
  return 0;
}

bool TVideoDecoder::VideoTo(int64_t ms) {
  State& s = *s_;
  bool changed = false;
  for (;;) {
    if (!s.has_next && !s.DecodeNextPicture())
      break;
    if (s.has_shown && s.next_ms > ms)
      break;
    std::swap(s.shown, s.next);
    av_frame_unref(s.next.get());
    s.has_next = false;
    s.has_shown = true;
    s.shown_ms = s.next_ms;
    const int64_t duration =
        s.shown->pkt_duration > 0 ? av_rescale_q(s.shown->pkt_duration, s.video_tb, {1, 1000}) : 0;
    s.shown_end_ms = s.shown_ms + std::max<int64_t>(duration, 1);
    changed = true;
  }
  return changed;
}

bool TVideoDecoder::ConvertInto(TCustomDIBX& dst) {
  State& s = *s_;
  const AVPixelFormat dst_format = SurfaceFormat(dst);
  uint8_t* row0 = dst.PixelAddress(0, 0);
  if (!s.has_shown || dst_format == AV_PIX_FMT_NONE || !row0 || dst.IsEmpty())
    return false;
  const AVFrame* f = s.shown.get();
  s.sws = sws_getCachedContext(s.sws, f->width, f->height, static_cast<AVPixelFormat>(f->format),
                               dst.Width(), dst.Height(), dst_format, SWS_BILINEAR, nullptr,
                               nullptr, nullptr);
  if (!s.sws)
    return false;
  uint8_t* planes[4] = {row0, nullptr, nullptr, nullptr};
  int pitches[4] = {dst.Pitch(), 0, 0, 0};
  sws_scale(s.sws, f->data, f->linesize, 0, f->height, planes, pitches);
  // swscale's fast 32-bit path writes an opaque alpha byte where the player's pixels keep 0.
  // Only a colour key compares whole pixels, so only a keyed surface pays for clearing it.
  if (dst_format == AV_PIX_FMT_BGRA && dst.TransparentColor() != -1)
    ClearAlpha(row0, dst.Pitch(), dst.Width(), dst.Height());
  return true;
}

void TVideoDecoder::AudioTo(int64_t ms, std::vector<int16_t>& out) {
  State& s = *s_;
  if (!s.audio)
    return;
  const int64_t target = ms * kAudioOutputRate / 1000;
  while (s.audio_frames_out < target && s.DecodeNextSound()) {
    const int64_t frames = static_cast<int64_t>(s.resampled.size()) / kAudioOutputChannels;
    // Sound before a seek's target is dropped so that picture and sound start together.
    const int64_t skip = std::clamp<int64_t>(s.audio_skip_to - s.audio_frames_out, 0, frames);
    out.insert(out.end(), s.resampled.begin() + skip * kAudioOutputChannels, s.resampled.end());
    s.audio_frames_out += frames;
  }
}

void TVideoDecoder::Seek(int64_t ms) {
  State& s = *s_;
  ms = std::max<int64_t>(ms, 0);
  // Some containers land after the key picture before the target (program streams search by
  // time stamps, not key pictures): step further back until the first picture is not late.
  for (int64_t back = 0;; back = back == 0 ? 500 : back * 2) {
    const int64_t at = std::max<int64_t>(ms - back, 0);
    s.SeekTo(at);
    if (!s.DecodeNextPicture() || s.next_ms <= ms || at == 0)
      break;
  }
  if (s.audio)
    s.audio_skip_to = ms * kAudioOutputRate / 1000;
  // The picture due at the target: decoding runs forward from the key picture before it.
  VideoTo(ms);
}

} // namespace nova
