// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "base/nova_error.h"
#include "media/private/media_texts.h"

namespace nova {

// What a sound resource may claim before it is called invalid.
inline constexpr uint32_t kMaxSoundRate = 384000;
inline constexpr int kMaxSoundChannels = 8;

inline bool PlausibleSoundFormat(int64_t channels, int64_t rate) {
  return channels >= 1 && channels <= kMaxSoundChannels && rate >= 1 && rate <= kMaxSoundRate;
}

[[noreturn]] inline void ThrowSoundDataInvalid() { throw ENovaError(MediaText(kSoundDataInvalid)); }

} // namespace nova
