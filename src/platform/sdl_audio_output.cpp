// SPDX-License-Identifier: MIT
// The desktop's sound device: SDL pulls blocks on its audio thread and the sources are summed
// under the output's lock, so removing a source waits for a running pull to finish.
#include <SDL.h>

#include <mutex>

#include "platform/audio_output.h"
#include "platform/private/audio_source_list.h"

namespace nova {

namespace {

// About 23 ms per pull: short enough for a quick start, long enough not to underrun.
constexpr Uint16 kDeviceFrames = 1024;

class TSdlAudioOutput final : public IAudioOutput {
public:
  TSdlAudioOutput() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
      return;
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = kAudioOutputRate;
    want.format = AUDIO_S16SYS;
    want.channels = kAudioOutputChannels;
    want.samples = kDeviceFrames;
    want.callback = &TSdlAudioOutput::Pull;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ != 0) {
      SDL_PauseAudioDevice(device_, 0);
      return;
    }
    // No device, no sound: nor the driver's thread that keeps looking for new devices.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
  }
  ~TSdlAudioOutput() override {
    if (device_ != 0)
      SDL_CloseAudioDevice(device_);
    if (subsystem_)
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  void AddSource(IAudioSource* source) override {
    std::lock_guard lock(lock_);
    sources_.Add(source);
  }
  void RemoveSource(IAudioSource* source) override {
    std::lock_guard lock(lock_);
    sources_.Remove(source);
  }
  bool HasDevice() const override { return device_ != 0; }

private:
  static void SDLCALL Pull(void* self, Uint8* stream, int len) {
    auto* output = static_cast<TSdlAudioOutput*>(self);
    std::lock_guard lock(output->lock_);
    output->sources_.Render(reinterpret_cast<int16_t*>(stream),
                            static_cast<size_t>(len) / (sizeof(int16_t) * kAudioOutputChannels));
  }

  bool subsystem_ = false;
  SDL_AudioDeviceID device_ = 0;
  std::mutex lock_;
  TAudioSourceList sources_;
};

} // namespace

std::unique_ptr<IAudioOutput> CreateSdlAudioOutput() { return std::make_unique<TSdlAudioOutput>(); }

} // namespace nova
