// SPDX-License-Identifier: MIT
#include "audio/sound_file_out.h"

#include <sndfile.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

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
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file)
    throw ENovaError("cannot write \"" + path + "\"");
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) {
    vorbis_info_clear(&vi);
    throw ENovaError("cannot write \"" + path + "\": the Vorbis encoder refused the format");
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x4E6F7661); // a fixed serial keeps the file the same on every build
  bool ok = true;
  auto flush_pages = [&](bool force) {
    ogg_page page;
    while (force ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
      ok = ok && std::fwrite(page.header, 1, page.header_len, file.get()) ==
                     static_cast<size_t>(page.header_len);
      ok = ok && std::fwrite(page.body, 1, page.body_len, file.get()) ==
                     static_cast<size_t>(page.body_len);
    }
  };
  ogg_packet header, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  flush_pages(true);
  const size_t frames = samples.size() / channels;
  const size_t chunk = 1024;
  for (size_t at = 0;; at += chunk) {
    const size_t n = at < frames ? std::min(chunk, frames - at) : 0;
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buffer[c][i] = samples[(at + i) * channels + c];
    }
    vorbis_analysis_wrote(&vd, static_cast<int>(n)); // 0 marks the end of the stream
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        flush_pages(false);
      }
    }
    if (n == 0)
      break;
  }
  flush_pages(true);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  if (!ok || std::fflush(file.get()) != 0)
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
