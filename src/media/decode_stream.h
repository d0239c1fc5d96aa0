// SPDX-License-Identifier: MIT
// The media library's decoding streams: a sound resource read as a byte stream of PCM data with
// its wave format. Ogg Vorbis decodes with libvorbisfile, waves of every common coding with
// libsndfile, Windows-Media audio with FFmpeg. Positions and sizes are bytes of PCM data,
// always whole frames.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "vfs/stream.h"

namespace nova {

// A wave format as the mixers read it (PCM: tag 1).
struct TWaveFormat {
  uint16_t format_tag = 1;
  uint16_t channels = 0;
  uint32_t samples_per_sec = 0;
  uint32_t avg_bytes_per_sec = 0;
  uint16_t block_align = 0;
  uint16_t bits_per_sample = 0; // 8 (unsigned samples) or 16 (signed, little-endian)
};

class TDecodeStream {
public:
  virtual ~TDecodeStream() = default;
  const TWaveFormat& Format() const { return format_; }
  // Up to `count` bytes (whole frames) from the position; 0 at the end. A stream whose data
  // ends before its declared size takes the real end as its size, so reading always moves on.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  int64_t GetPos() const { return pos_; }
  // Clamped into 0 ... size and down to a whole frame.
  virtual void SetPos(int64_t bytes) = 0;
  int64_t GetSize() const { return size_; }
  // Milliseconds of sound.
  int32_t GetLen() const;

protected:
  // Makes `format_` consistent from channels, rate and bits.
  void SetFormat(uint16_t channels, uint32_t rate, uint16_t bits);
  int64_t AlignDown(int64_t bytes) const;

  TWaveFormat format_;
  int64_t pos_ = 0;
  int64_t size_ = 0;
};

enum class TSoundCoding : uint8_t { Ogg, Wave, WindowsMedia };

// The coding by the name's extension: ".ogg", ".wma"/".asf"/".wmv", anything else a wave.
TSoundCoding SoundCodingOf(const std::string& name);

// Opens a decoding stream over `data`. Throws ENovaError with "サウンドデータが不正です" when the
// format cannot be read (no sound in it, zero channels, a rate outside 1 ... 384,000 Hz).
std::unique_ptr<TDecodeStream> OpenDecodeStream(std::unique_ptr<TStream> data, TSoundCoding coding);

std::unique_ptr<TDecodeStream> OpenOggDecodeStream(std::unique_ptr<TStream> data);
std::unique_ptr<TDecodeStream> OpenWaveDecodeStream(std::unique_ptr<TStream> data);
// Any coding FFmpeg knows (Windows-Media audio, MP3 ...); decoded whole when opened, at most
// kMaxDecodedBytes.
std::unique_ptr<TDecodeStream> OpenFfmpegDecodeStream(std::unique_ptr<TStream> data);

} // namespace nova
