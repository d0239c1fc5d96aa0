// SPDX-License-Identifier: MIT
// Ogg Vorbis in memory (libvorbisenc, quality 0.4, a fixed stream serial), so the same samples
// always give the same bytes.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace nova::tool {

// `samples` interleaved within -1..1. Nothing when the encoder refuses the channel count or rate.
std::optional<std::string> EncodeOggVorbis(const std::vector<float>& samples, int channels,
                                           int rate);

} // namespace nova::tool
