// SPDX-License-Identifier: MIT
// Sound files made at test time: waves of any coding with libsndfile, Ogg Vorbis with
// libvorbisenc. The signal is a sine of `hz` at about half scale.
#pragma once
#include <sndfile.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

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
  vorbis_info vi;
  vorbis_info_init(&vi);
  vorbis_encode_init_vbr(&vi, channels, rate, 0.4f);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1);
  std::string out;
  auto flush_pages = [&](bool force) {
    ogg_page page;
    while (force ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
      out.append(reinterpret_cast<char*>(page.header), page.header_len);
      out.append(reinterpret_cast<char*>(page.body), page.body_len);
    }
  };
  ogg_packet header, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  flush_pages(true);
  const std::vector<short> samples = Sine(channels, rate, frames, hz);
  const int chunk = 1024;
  for (int at = 0;; at += chunk) {
    const int n = std::max(0, std::min(chunk, frames - at));
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&vd, n);
      for (int i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buffer[c][i] = samples[static_cast<size_t>(at + i) * channels + c] / 32768.0f;
    }
    vorbis_analysis_wrote(&vd, n); // 0: the end of the stream
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
  return out;
}

} // namespace nova::test
