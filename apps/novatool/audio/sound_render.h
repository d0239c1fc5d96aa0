// SPDX-License-Identifier: MIT
// Turns a parsed sound description into samples. The same description always gives the same
// samples: noise and jitter come from the description's seed.
#pragma once
#include <vector>

#include "audio/sound_desc.h"

namespace nova::tool {

// Interleaved samples (desc.channels per frame, desc.rate per second) within -1..1.
std::vector<float> RenderSound(const TSoundDesc& desc);

} // namespace nova::tool
