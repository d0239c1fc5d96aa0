// SPDX-License-Identifier: MIT
#include "media/decode_stream.h"

#include <cmath>

#include "base/sjis.h"

namespace nova {

int32_t TDecodeStream::GetLen() const {
  if (format_.avg_bytes_per_sec == 0)
    return 0;
  const int64_t ms = size_ * 1000 / format_.avg_bytes_per_sec;
  return ms > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ms);
}

void TDecodeStream::SetFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
  format_.format_tag = 1;
  format_.channels = channels;
  format_.samples_per_sec = rate;
  format_.bits_per_sample = bits;
  format_.block_align = static_cast<uint16_t>(channels * bits / 8);
  format_.avg_bytes_per_sec = rate * format_.block_align;
}

int64_t TDecodeStream::AlignDown(int64_t bytes) const {
  const int64_t frame = format_.block_align ? format_.block_align : 1;
  return bytes < 0 ? 0 : bytes / frame * frame;
}

TSoundCoding SoundCodingOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : LowerCaseJ(name.substr(dot));
  if (ext == ".ogg")
    return TSoundCoding::Ogg;
  if (ext == ".wma" || ext == ".asf" || ext == ".wmv")
    return TSoundCoding::WindowsMedia;
  return TSoundCoding::Wave;
}

std::unique_ptr<TDecodeStream> OpenDecodeStream(std::unique_ptr<TStream> data,
                                                TSoundCoding coding) {
  switch (coding) {
  case TSoundCoding::Ogg:
    return OpenOggDecodeStream(std::move(data));
  case TSoundCoding::WindowsMedia:
    return OpenFfmpegDecodeStream(std::move(data));
  case TSoundCoding::Wave:
    break;
  }
  return OpenWaveDecodeStream(std::move(data));
}

} // namespace nova
