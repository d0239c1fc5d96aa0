// SPDX-License-Identifier: MIT
// Sound files made at test time: waves of any coding with libsndfile, Ogg Vorbis with
// the tools' encoder. The signal is a sine of `hz` at about half scale.
#pragma once
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/ogg_vorbis_encode.h"

namespace nova::test {

inline std::vector<short> Sine(int channels, int rate, int frames, double hz = 440.0) {
  std::vector<short> out(static_cast<size_t>(frames) * channels);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      out[static_cast<size_t>(i) * channels + c] =
          static_cast<short>(16000 * std::sin(2 * M_PI * hz * i / rate));
  return out;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The bytes of a sound file of libsndfile's `format` (SF_FORMAT_WAV | SF_FORMAT_PCM_16 ...).
inline std::string MakeWave(int format, int channels, int rate, int frames, double hz = 440.0) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("nova_fixture_" + std::to_string(getpid()) + ".wav");
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = rate;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
    return {};
  const std::vector<short> samples = Sine(channels, rate, frames, hz);
  sf_writef_short(file, samples.data(), frames);
  sf_close(file);
  std::string bytes = ReadBytes(path);
  std::filesystem::remove(path);
  return bytes;
}

// The bytes of an Ogg Vorbis file.
inline std::string MakeOgg(int channels, int rate, int frames, double hz = 440.0) {
  const std::vector<short> pcm = Sine(channels, rate, frames, hz);
  std::vector<float> samples(pcm.size());
  for (size_t i = 0; i < pcm.size(); ++i)
    samples[i] = pcm[i] / 32768.0f;
  return tool::EncodeOggVorbis(samples, channels, rate).value_or(std::string());
}

} // namespace nova::test
