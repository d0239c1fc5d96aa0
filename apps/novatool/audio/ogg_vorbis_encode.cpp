// SPDX-License-Identifier: MIT
#include "audio/ogg_vorbis_encode.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace nova::tool {

std::optional<std::string> EncodeOggVorbis(const std::vector<float>& samples, int channels,
                                           int rate) {
  if (channels <= 0)
    return std::nullopt;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) {
    vorbis_info_clear(&vi);
    return std::nullopt;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x4E6F7661); // a fixed serial keeps the file the same on every build
  std::string out;
  auto flush_pages = [&](bool force) {
    ogg_page page;
    while (force ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
      out.append(reinterpret_cast<const char*>(page.header), page.header_len);
      out.append(reinterpret_cast<const char*>(page.body), page.body_len);
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
  return out;
}

} // namespace nova::tool
