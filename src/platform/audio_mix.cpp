// SPDX-License-Identifier: MIT
#include <algorithm>

#include "platform/audio_output.h"

namespace nova {

void MixAddSaturating(int16_t* dst, const int16_t* src, size_t frames) {
  const size_t samples = frames * kAudioOutputChannels;
  for (size_t i = 0; i < samples; ++i)
    dst[i] = static_cast<int16_t>(std::clamp(int32_t{dst[i]} + src[i], -32768, 32767));
}

} // namespace nova
