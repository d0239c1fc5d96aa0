// SPDX-License-Identifier: MIT
// Writes rendered samples as a 16-bit PCM wave (libsndfile) or as Ogg Vorbis (libvorbisenc,
// quality 0.4). Both are byte-identical from run to run.
#pragma once
#include <string>
#include <vector>

namespace nova::tool {

// `samples` interleaved within -1..1. The kind follows the extension of `path` (".wav" or
// ".ogg"); a failure throws ENovaError naming the file.
void WriteSoundFile(const std::string& path, const std::vector<float>& samples, int channels,
                    int rate);

} // namespace nova::tool
