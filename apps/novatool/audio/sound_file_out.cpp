// SPDX-License-Identifier: MIT
#include "audio/sound_file_out.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

#include "audio/ogg_vorbis_encode.h"
#include "base/nova_error.h"

namespace nova::tool {
namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size())
    return false;
  for (size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i])
      return false;
  return true;
}

void WriteWave(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
  std::vector<short> pcm(samples.size());
  for (size_t i = 0; i < samples.size(); ++i)
    pcm[i] = static_cast<short>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = rate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
    throw ENovaError("cannot write \"" + path + "\": " + sf_strerror(nullptr));
  const sf_count_t frames = static_cast<sf_count_t>(pcm.size() / channels);
  const sf_count_t written = sf_writef_short(file, pcm.data(), frames);
  sf_close(file);
  if (written != frames)
    throw ENovaError("cannot write \"" + path + "\": the disk took only part of it");
}

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void WriteOgg(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
  const std::optional<std::string> bytes = EncodeOggVorbis(samples, channels, rate);
  if (!bytes)
    throw ENovaError("cannot write \"" + path + "\": the Vorbis encoder refused the format");
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file)
    throw ENovaError("cannot write \"" + path + "\"");
  if (std::fwrite(bytes->data(), 1, bytes->size(), file.get()) != bytes->size() ||
      std::fflush(file.get()) != 0)
    throw ENovaError("cannot write \"" + path + "\": the disk took only part of it");
}

} // namespace

void WriteSoundFile(const std::string& path, const std::vector<float>& samples, int channels,
                    int rate) {
  if (EndsWith(path, ".wav"))
    WriteWave(path, samples, channels, rate);
  else if (EndsWith(path, ".ogg"))
    WriteOgg(path, samples, channels, rate);
  else
    throw ENovaError("\"" + path + "\": the output name must end in .wav or .ogg");
}

} // namespace nova::tool
