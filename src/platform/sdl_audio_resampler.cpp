// SPDX-License-Identifier: MIT
// Rate and channel conversion with SDL's audio streams: a pure computation, the same on every
// run, so headless captures stay exact.
#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/audio_output.h"

namespace nova {

namespace {

constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 8;

class TSdlAudioResampler final : public IAudioResampler {
public:
  TSdlAudioResampler(SDL_AudioStream* stream, int rate, int channels)
      : stream_(stream), rate_(rate), channels_(channels) {}
  ~TSdlAudioResampler() override { SDL_FreeAudioStream(stream_); }
  void Put(const int16_t* in, size_t frames) override {
    SDL_AudioStreamPut(stream_, in, static_cast<int>(frames * channels_ * sizeof(int16_t)));
    fed_ += frames;
  }
  size_t Get(int16_t* out, size_t frames) override {
    // SDL hands out what it has converted so far, which may take more than one call.
    constexpr size_t kFrameBytes = kAudioOutputChannels * sizeof(int16_t);
    if (flushed_) {
      const uint64_t due = fed_ * kAudioOutputRate / static_cast<uint64_t>(rate_);
      frames = std::min<uint64_t>(frames, due > taken_ ? due - taken_ : 0);
    }
    size_t done = 0;
    while (done < frames) {
      const int got = SDL_AudioStreamGet(stream_, out + done * kAudioOutputChannels,
                                         static_cast<int>((frames - done) * kFrameBytes));
      if (got <= 0)
        break;
      done += static_cast<size_t>(got) / kFrameBytes;
    }
    taken_ += done;
    return done;
  }
  size_t Available() const override {
    const int bytes = SDL_AudioStreamAvailable(stream_);
    return bytes <= 0 ? 0 : static_cast<size_t>(bytes) / (kAudioOutputChannels * sizeof(int16_t));
  }
  // SDL keeps the last stretch back for its filter even when flushed: silence pushes it out,
  // and Get stops where the fed sound ends.
  void Flush() override {
    const size_t pad = static_cast<size_t>(rate_) / 10 + 64;
    const std::vector<int16_t> silence(pad * static_cast<size_t>(channels_));
    SDL_AudioStreamPut(stream_, silence.data(), static_cast<int>(silence.size() * sizeof(int16_t)));
    SDL_AudioStreamFlush(stream_);
    flushed_ = true;
  }
  void Clear() override {
    SDL_AudioStreamClear(stream_);
    fed_ = taken_ = 0;
    flushed_ = false;
  }

private:
  SDL_AudioStream* stream_;
  int rate_;
  int channels_;
  uint64_t fed_ = 0;   // source frames put since the last Clear
  uint64_t taken_ = 0; // output frames got since
  bool flushed_ = false;
};

} // namespace

std::unique_ptr<IAudioResampler> CreateAudioResampler(int source_rate, int source_channels) {
  if (source_rate < 1 || source_rate > kMaxRate || source_channels < 1 ||
      source_channels > kMaxChannels)
    return nullptr;
  SDL_AudioStream* stream =
      SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(source_channels), source_rate,
                         AUDIO_S16SYS, kAudioOutputChannels, kAudioOutputRate);
  if (!stream)
    return nullptr;
  return std::make_unique<TSdlAudioResampler>(stream, source_rate, source_channels);
}

} // namespace nova
