// SPDX-License-Identifier: MIT
// The sources of an output and how they are summed into one block; both outputs share it.
#pragma once
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/audio_output.h"

namespace nova {

class TAudioSourceList {
public:
  void Add(IAudioSource* source) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end())
      sources_.push_back(source);
  }
  void Remove(IAudioSource* source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
  }
  // Silence, then every source added in the order they were registered.
  void Render(int16_t* out, size_t frames) {
    const size_t samples = frames * kAudioOutputChannels;
    std::memset(out, 0, samples * sizeof(int16_t));
    if (scratch_.size() < samples)
      scratch_.resize(samples);
    for (IAudioSource* source : sources_) {
      source->Render(scratch_.data(), frames);
      MixAddSaturating(out, scratch_.data(), frames);
    }
  }

private:
  std::vector<IAudioSource*> sources_;
  std::vector<int16_t> scratch_;
};

} // namespace nova
