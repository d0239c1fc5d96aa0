// SPDX-License-Identifier: MIT
#include "media/video_sound.h"

#include <algorithm>

namespace nova {

TVideoSound::TVideoSound(IAudioOutput& output)
    : output_(output), ring_(kCapacityFrames * kAudioOutputChannels) {
  output_.AddSource(this);
}

TVideoSound::~TVideoSound() { output_.RemoveSource(this); }

void TVideoSound::Push(const std::vector<int16_t>& samples) {
  std::lock_guard<std::mutex> guard(lock_);
  const size_t frames = std::min(samples.size() / kAudioOutputChannels, kCapacityFrames - count_);
  for (size_t i = 0; i < frames; ++i) {
    const size_t at = (head_ + count_ + i) % kCapacityFrames * kAudioOutputChannels;
    ring_[at] = samples[i * 2];
    ring_[at + 1] = samples[i * 2 + 1];
  }
  count_ += frames;
}

void TVideoSound::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  head_ = count_ = 0;
}

size_t TVideoSound::QueuedFrames() const {
  std::lock_guard<std::mutex> guard(lock_);
  return count_;
}

void TVideoSound::Render(int16_t* out, size_t frames) {
  std::fill(out, out + frames * kAudioOutputChannels, int16_t{0});
  if (!running_)
    return;
  // Linear gain over the volume range, as the player's wave output does; the pan lowers the
  // far side only. Gains are 1/4096ths.
  const int32_t volume = std::clamp<int32_t>(volume_, -5000, 0);
  const int32_t pan = std::clamp<int32_t>(pan_, -10000, 10000);
  const int64_t gain = int64_t{volume + 5000} * 4096 / 5000;
  const int64_t left = pan > 0 ? gain * (10000 - pan) / 10000 : gain;
  const int64_t right = pan < 0 ? gain * (10000 + pan) / 10000 : gain;
  std::lock_guard<std::mutex> guard(lock_);
  const size_t n = std::min(frames, count_);
  for (size_t i = 0; i < n; ++i) {
    const size_t at = (head_ + i) % kCapacityFrames * kAudioOutputChannels;
    out[i * 2] = static_cast<int16_t>(ring_[at] * left / 4096);
    out[i * 2 + 1] = static_cast<int16_t>(ring_[at + 1] * right / 4096);
  }
  head_ = (head_ + n) % kCapacityFrames;
  count_ -= n;
}

} // namespace nova
