// SPDX-License-Identifier: MIT
// Rate and channel conversion with SDL's audio streams: a pure computation, the same on every
// run, so headless captures stay exact.
#include <SDL.h>

#include "platform/audio_output.h"

namespace nova {

namespace {

constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 8;

class TSdlAudioResampler final : public IAudioResampler {
public:
  TSdlAudioResampler(SDL_AudioStream* stream, int channels)
      : stream_(stream), channels_(channels) {}
  ~TSdlAudioResampler() override { SDL_FreeAudioStream(stream_); }
  void Put(const int16_t* in, size_t frames) override {
    SDL_AudioStreamPut(stream_, in, static_cast<int>(frames * channels_ * sizeof(int16_t)));
  }
  size_t Get(int16_t* out, size_t frames) override {
    const int got = SDL_AudioStreamGet(
        stream_, out, static_cast<int>(frames * kAudioOutputChannels * sizeof(int16_t)));
    return got <= 0 ? 0 : static_cast<size_t>(got) / (kAudioOutputChannels * sizeof(int16_t));
  }
  size_t Available() const override {
    const int bytes = SDL_AudioStreamAvailable(stream_);
    return bytes <= 0 ? 0 : static_cast<size_t>(bytes) / (kAudioOutputChannels * sizeof(int16_t));
  }
  void Flush() override { SDL_AudioStreamFlush(stream_); }
  void Clear() override { SDL_AudioStreamClear(stream_); }

private:
  SDL_AudioStream* stream_;
  int channels_;
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
  return std::make_unique<TSdlAudioResampler>(stream, source_channels);
}

} // namespace nova
