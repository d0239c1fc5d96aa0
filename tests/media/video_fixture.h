// SPDX-License-Identifier: MIT
// Pattern movies written once per test run, a clock the test moves by hand, an audio output
// that records what it is given, and a reader of where the pattern's square stands.
#pragma once
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "media/video_item.h"
#include "media/video_manager.h"
#include "media/video_pattern.h"
#include "platform/audio_output.h"
#include "vfs/range_stream.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace nova::test {

struct VideoClip {
  const char* label;
  TVideoPattern pattern;
  const char* file;
};

inline TVideoPattern Pattern(TVideoPatternCodec codec) {
  TVideoPattern p;
  p.codec = codec;
  return p;
}

inline const std::vector<VideoClip>& PatternClips() {
  static const std::vector<VideoClip> clips = {
      {"wmv2", Pattern(TVideoPatternCodec::Wmv2), "pattern.wmv"},
      {"mpeg1", Pattern(TVideoPatternCodec::Mpeg1), "pattern.mpg"},
  };
  return clips;
}

// A folder of this test process, removed at exit.
inline const std::filesystem::path& VideoScratch() {
  static const struct Dir {
    std::filesystem::path path;
    Dir() {
      path = std::filesystem::temp_directory_path() / ("nova_video_" + std::to_string(::getpid()));
      std::filesystem::create_directories(path);
    }
    ~Dir() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } dir;
  return dir.path;
}

// The clip's native path; written on first use.
inline std::string ClipPath(const VideoClip& clip) {
  static std::mutex lock;
  static std::map<std::string, std::string> written;
  std::lock_guard<std::mutex> guard(lock);
  auto it = written.find(clip.file);
  if (it != written.end())
    return it->second;
  const std::string path = (VideoScratch() / clip.file).string();
  WriteVideoPattern(path, clip.pattern);
  return written[clip.file] = path;
}

// The manager's item for `name` (a native path is a real file), as the movie item it is.
inline std::unique_ptr<TVideoItem> AddVideo(TVideoManager& manager, const std::string& name) {
  return std::unique_ptr<TVideoItem>(static_cast<TVideoItem*>(manager.Add(name).release()));
}

struct ManualClock {
  int64_t now = 0;
  std::function<int64_t()> Fn() {
    return [this] { return now; };
  }
};

// Pulls nothing by itself: the test renders its sources when it wants samples.
class RecordingOutput : public IAudioOutput {
public:
  void AddSource(IAudioSource* s) override { sources.push_back(s); }
  void RemoveSource(IAudioSource* s) override { std::erase(sources, s); }
  bool HasDevice() const override { return false; }
  std::vector<int16_t> Render(size_t frames) {
    std::vector<int16_t> out(frames * 2, 0), block(frames * 2);
    for (IAudioSource* s : sources) {
      s->Render(block.data(), frames);
      for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(out[i] + block[i]);
    }
    return out;
  }
  std::vector<IAudioSource*> sources;
};

// Mean absolute sample of one channel (0 left, 1 right).
inline double Loudness(const std::vector<int16_t>& samples, int channel) {
  double sum = 0;
  for (size_t i = channel; i < samples.size(); i += 2)
    sum += std::abs(samples[i]);
  return samples.empty() ? 0 : sum / (samples.size() / 2);
}

// The mean column of the red square's pixels in `s`; -1 when there is no square.
inline double SquareCentre(const TCustomDIBX& s) {
  double sum = 0;
  int count = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      const uint32_t c = s.PixelToColor(s.GetPixel(x, y)); // 0x00BBGGRR
      const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
      if (r > 150 && g < 100 && b < 100) {
        sum += x;
        ++count;
      }
    }
  return count < 16 ? -1 : sum / count;
}

// Where the muxer put the first picture, read by FFmpeg alone: containers may start the
// picture a little after the sound (ASF shifts both by the sound encoder's delay).
inline int64_t FirstPictureMs(const std::string& path) {
  AVFormatContext* f = nullptr;
  int64_t ms = 0;
  if (avformat_open_input(&f, path.c_str(), nullptr, nullptr) == 0 &&
      avformat_find_stream_info(f, nullptr) >= 0) {
    const int v = av_find_best_stream(f, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVStream* st = f->streams[v];
    const int64_t start = f->start_time == AV_NOPTS_VALUE ? 0 : f->start_time;
    ms = (av_rescale_q(st->start_time, st->time_base, AVRational{1, 1000000}) - start) / 1000;
  }
  avformat_close_input(&f);
  return ms;
}

} // namespace nova::test
