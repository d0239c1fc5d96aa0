// SPDX-License-Identifier: MIT
#include "media/video_writer.h"

#include <cmath>
#include <functional>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include "base/nova_error.h"

namespace nova {

bool VideoCodecForName(const std::string& path, TVideoPatternCodec& codec) {
  const auto ends = [&](const char* tail) {
    const std::string t(tail);
    return path.size() >= t.size() && path.compare(path.size() - t.size(), t.size(), t) == 0;
  };
  if (ends(".wmv") || ends(".asf"))
    codec = TVideoPatternCodec::Wmv2;
  else if (ends(".mpg") || ends(".mpeg"))
    codec = TVideoPatternCodec::Mpeg1;
  else if (ends(".avi"))
    codec = TVideoPatternCodec::Mpeg4;
  else
    return false;
  return true;
}

struct TVideoWriter::Output {
  std::string path;
  TVideoFormat format_;
  AVFormatContext* format = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  AVStream* video_stream = nullptr;
  AVStream* audio_stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int64_t pictures = 0;
  int64_t sound_at = 0;
  bool finished = false;

  ~Output() {
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    av_frame_free(&frame);
    av_packet_free(&packet);
    if (format && format->pb)
      avio_closep(&format->pb);
    avformat_free_context(format);
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw ENovaError(path + ": cannot write the movie (" + what + ")");
  }
  AVCodecContext* Open(AVCodecID id, AVStream*& stream,
                       const std::function<void(AVCodecContext*)>& setup) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (!codec)
      Fail(std::string("no encoder for ") + avcodec_get_name(id));
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx)
      Fail("out of memory");
    setup(ctx);
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
      ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(ctx, codec, nullptr) < 0) {
      avcodec_free_context(&ctx);
      Fail(std::string("the encoder ") + codec->name + " refused the settings");
    }
    stream = avformat_new_stream(format, nullptr);
    if (!stream || avcodec_parameters_from_context(stream->codecpar, ctx) < 0) {
      avcodec_free_context(&ctx);
      Fail("cannot add a stream");
    }
    stream->time_base = ctx->time_base;
    return ctx;
  }

  void Drain(AVCodecContext* ctx, AVStream* stream) {
    while (avcodec_receive_packet(ctx, packet) == 0) {
      av_packet_rescale_ts(packet, ctx->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (av_interleaved_write_frame(format, packet) < 0)
        Fail("write error");
    }
  }

  void Send(AVCodecContext* ctx, AVStream* stream, AVFrame* f) {
    if (avcodec_send_frame(ctx, f) < 0)
      Fail("the encoder refused a frame");
    Drain(ctx, stream);
  }

  // The tone up to sample `until`, in the encoder's frame size.
  void SendSoundTo(int64_t until) {
    const int chunk = audio && audio->frame_size > 0 ? audio->frame_size : 1024;
    for (; audio && sound_at < until; sound_at += chunk) {
      AVFrame* f = frame;
      av_frame_unref(f);
      f->format = audio->sample_fmt;
      f->sample_rate = 44100;
      f->nb_samples = chunk;
      av_channel_layout_copy(&f->ch_layout, &audio->ch_layout);
      if (av_frame_get_buffer(f, 0) < 0)
        Fail("out of memory");
      for (int i = 0; i < chunk; ++i) {
        const double v = 0.25 * std::sin(2 * M_PI * format_.tone_hz * double(sound_at + i) / 44100);
        if (f->format == AV_SAMPLE_FMT_FLTP) {
          reinterpret_cast<float*>(f->data[0])[i] = static_cast<float>(v);
          reinterpret_cast<float*>(f->data[1])[i] = static_cast<float>(v);
        } else {
          auto* s = reinterpret_cast<int16_t*>(f->data[0]);
          s[i * 2] = s[i * 2 + 1] = static_cast<int16_t>(v * 32767);
        }
      }
      f->pts = sound_at;
      Send(audio, audio_stream, f);
    }
  }
};

TVideoWriter::TVideoWriter(const std::string& path, const TVideoFormat& p)
    : out_(std::make_unique<Output>()) {
  av_log_set_level(AV_LOG_QUIET);
  Output& out = *out_;
  out.path = path;
  out.format_ = p;
  if (p.width < 32 || p.height < 32 || p.width > 4096 || p.height > 4096 || p.width % 2 ||
      p.height % 2 || p.fps < 1 || p.fps > 120)
    out.Fail("the size must be even, 32 to 4096, and the rate 1 to 120 pictures a second");
  const char* container = p.codec == TVideoPatternCodec::Wmv2    ? "asf"
                          : p.codec == TVideoPatternCodec::Mpeg1 ? "mpeg"
                                                                 : "avi";
  if (avformat_alloc_output_context2(&out.format, nullptr, container, path.c_str()) < 0)
    out.Fail("no muxer");
  const AVCodecID video_id = p.codec == TVideoPatternCodec::Wmv2    ? AV_CODEC_ID_WMV2
                             : p.codec == TVideoPatternCodec::Mpeg1 ? AV_CODEC_ID_MPEG1VIDEO
                                                                    : AV_CODEC_ID_MPEG4;
  out.video = out.Open(video_id, out.video_stream, [&](AVCodecContext* c) {
    c->width = p.width;
    c->height = p.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, p.fps};
    c->framerate = AVRational{p.fps, 1};
    c->gop_size = 12;
    c->max_b_frames = p.codec == TVideoPatternCodec::Wmv2 ? 0 : 2;
    c->bit_rate = int64_t{p.width} * p.height * p.fps / 4;
    c->thread_count = 1;
  });
  if (p.tone_hz > 0) {
    const AVCodecID audio_id =
        p.codec == TVideoPatternCodec::Wmv2 ? AV_CODEC_ID_WMAV2 : AV_CODEC_ID_MP2;
    out.audio = out.Open(audio_id, out.audio_stream, [&](AVCodecContext* c) {
      c->sample_rate = 44100;
      c->sample_fmt = audio_id == AV_CODEC_ID_WMAV2 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
      c->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
      c->bit_rate = 128000;
      c->time_base = AVRational{1, 44100};
    });
  }
  if (!(out.format->oformat->flags & AVFMT_NOFILE) &&
      avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
    out.Fail("cannot create the file");
  if (avformat_write_header(out.format, nullptr) < 0)
    out.Fail("cannot write the header");
  out.frame = av_frame_alloc();
  out.packet = av_packet_alloc();
  if (!out.frame || !out.packet)
    out.Fail("out of memory");
}

TVideoWriter::~TVideoWriter() = default;

void TVideoWriter::AddPicture(std::span<const uint32_t> colours) {
  Output& out = *out_;
  const int w = out.format_.width, h = out.format_.height;
  if (out.finished || colours.size() != static_cast<size_t>(w) * static_cast<size_t>(h))
    out.Fail("a picture of the wrong size");
  AVFrame* f = out.frame;
  av_frame_unref(f);
  f->format = AV_PIX_FMT_YUV420P;
  f->width = w;
  f->height = h;
  if (av_frame_get_buffer(f, 0) < 0)
    out.Fail("out of memory");
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c =
          colours[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      const double r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
      f->data[0][y * f->linesize[0] + x] =
          static_cast<uint8_t>(std::lround(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255));
      if ((x & 1) == 0 && (y & 1) == 0) {
        f->data[1][y / 2 * f->linesize[1] + x / 2] =
            static_cast<uint8_t>(std::lround(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255));
        f->data[2][y / 2 * f->linesize[2] + x / 2] =
            static_cast<uint8_t>(std::lround(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255));
      }
    }
  f->pts = out.pictures++;
  out.Send(out.video, out.video_stream, f);
  // The sound goes alongside, so the muxer need not hold the whole movie to interleave it.
  out.SendSoundTo(int64_t{44100} * out.pictures / out.format_.fps);
}

void TVideoWriter::Finish() {
  Output& out = *out_;
  if (out.finished)
    return;
  out.finished = true;
  out.Send(out.video, out.video_stream, nullptr);
  if (out.audio)
    out.Send(out.audio, out.audio_stream, nullptr);
  if (av_write_trailer(out.format) < 0)
    out.Fail("cannot write the trailer");
}

} // namespace nova
