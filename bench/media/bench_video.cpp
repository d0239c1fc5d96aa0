// SPDX-License-Identifier: MIT
// Decoding a 1280x720 movie and converting each picture into a 32-bit surface, against FFmpeg
// alone (its own file reading, the decoder and sws_scale to BGRA) in the same run. One
// iteration plays the whole clip; the time per picture is the iteration time / pictures.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "graphics/dibx.h"
#include "media/video_decoder.h"
#include "media/video_pattern.h"
#include "vfs/range_stream.h"

namespace nova {
namespace {

constexpr int kFrames = 48;

TVideoPattern Clip(TVideoPatternCodec codec) {
  TVideoPattern p;
  p.codec = codec;
  p.width = 1280;
  p.height = 720;
  p.frames = kFrames;
  p.sound = false;
  return p;
}

const std::string& ClipFile(TVideoPatternCodec codec) {
  static const std::string dir =
      (std::filesystem::temp_directory_path() / ("nova_bench_video_" + std::to_string(getpid())))
          .string();
  static std::string paths[3];
  std::string& path = paths[static_cast<int>(codec)];
  if (path.empty()) {
    std::filesystem::create_directories(dir);
    path = dir + (codec == TVideoPatternCodec::Wmv2 ? "/clip.wmv" : "/clip.avi");
    WriteVideoPattern(path, Clip(codec));
  }
  return path;
}

void BM_VideoToSurface(benchmark::State& state, TVideoPatternCodec codec) {
  const std::string& path = ClipFile(codec);
  TDIBX surface(1280, 720, 32);
  for (auto _ : state) {
    TVideoDecoder decoder(path, std::make_unique<TFileRangeStream>(path, 0, 0), false);
    int shown = 0;
    for (int64_t ms = 0; !decoder.VideoDrained() && ms < 60000; ms += 40) {
      if (decoder.VideoTo(ms))
        shown += decoder.ConvertInto(surface);
    }
    if (shown != kFrames)
      state.SkipWithError("pictures missing");
    benchmark::DoNotOptimize(surface.PixelAddress(0, 0));
  }
  state.counters["us_per_frame"] =
      benchmark::Counter(static_cast<double>(kFrames * state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The peer: FFmpeg reading the file itself, decoding, and sws_scale to BGRA.
void BM_FfmpegAlone(benchmark::State& state, TVideoPatternCodec codec) {
  const std::string& path = ClipFile(codec);
  std::vector<uint8_t> bgra(1280 * 720 * 4);
  for (auto _ : state) {
    AVFormatContext* format = nullptr;
    avformat_open_input(&format, path.c_str(), nullptr, nullptr);
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodecParameters* par = format->streams[index]->codecpar;
    AVCodecContext* ctx = avcodec_alloc_context3(avcodec_find_decoder(par->codec_id));
    avcodec_parameters_to_context(ctx, par);
    ctx->thread_count = 1;
    avcodec_open2(ctx, nullptr, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    int shown = 0;
    const auto receive = [&] {
      while (avcodec_receive_frame(ctx, frame) == 0) {
        sws = sws_getCachedContext(sws, frame->width, frame->height,
                                   static_cast<AVPixelFormat>(frame->format), 1280, 720,
                                   AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        uint8_t* planes[4] = {bgra.data()};
        int pitches[4] = {1280 * 4};
        sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, pitches);
        ++shown;
      }
    };
    while (av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == index) {
        avcodec_send_packet(ctx, packet);
        receive();
      }
      av_packet_unref(packet);
    }
    avcodec_send_packet(ctx, nullptr);
    receive();
    if (shown != kFrames)
      state.SkipWithError("pictures missing");
    benchmark::DoNotOptimize(bgra.data());
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&ctx);
    avformat_close_input(&format);
  }
  state.counters["us_per_frame"] =
      benchmark::Counter(static_cast<double>(kFrames * state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(BM_VideoToSurface, Mpeg4_1280x720, TVideoPatternCodec::Mpeg4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FfmpegAlone, Mpeg4_1280x720 / vs_ffmpeg_sws, TVideoPatternCodec::Mpeg4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VideoToSurface, Wmv2_1280x720, TVideoPatternCodec::Wmv2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FfmpegAlone, Wmv2_1280x720 / vs_ffmpeg_sws, TVideoPatternCodec::Wmv2)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace nova

BENCHMARK_MAIN();
