// SPDX-License-Identifier: MIT
#include "media/decode_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "sound_fixtures.h"

namespace nova {
namespace {

std::unique_ptr<TStream> Memory(const std::string& bytes) {
  auto stream = std::make_unique<TMemoryStream>();
  stream->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

// Every byte of the stream, read in odd-sized pieces.
std::vector<uint8_t> ReadAll(TDecodeStream& s) {
  std::vector<uint8_t> out;
  uint8_t piece[1003];
  for (int64_t got; (got = s.Read(piece, sizeof piece)) > 0;)
    out.insert(out.end(), piece, piece + got);
  return out;
}

int16_t Sample16(const std::vector<uint8_t>& bytes, size_t index) {
  return static_cast<int16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

TEST(DecodeStream, ReadsEveryWaveCoding) {
  struct TCase {
    const char* what;
    int format;
    uint16_t bits;
    int tolerance; // of the decoded samples against the sine
  };
  const TCase cases[] = {
      {"8-bit PCM", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8, 0},
      {"16-bit PCM", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 16, 0},
      {"24-bit PCM", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 16, 1},
      {"IMA ADPCM", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 16, 2000},
      {"MS ADPCM", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 16, 2000},
      {"u-law", SF_FORMAT_WAV | SF_FORMAT_ULAW, 16, 600},
      {"A-law", SF_FORMAT_WAV | SF_FORMAT_ALAW, 16, 600},
  };
  const int frames = 22050;
  const std::vector<short> sine = test::Sine(1, 22050, frames);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto s =
        OpenDecodeStream(Memory(test::MakeWave(c.format, 1, 22050, frames)), TSoundCoding::Wave);
    EXPECT_EQ(s->Format().channels, 1);
    EXPECT_EQ(s->Format().samples_per_sec, 22050u);
    EXPECT_EQ(s->Format().bits_per_sample, c.bits);
    EXPECT_NEAR(s->GetLen(), 1000, 20); // ADPCM pads its last block
    const std::vector<uint8_t> pcm = ReadAll(*s);
    ASSERT_EQ(pcm.size(), static_cast<size_t>(s->GetSize()));
    // ADPCM pads its last block; every other coding holds the frames exactly.
    EXPECT_GE(pcm.size(), static_cast<size_t>(frames * c.bits / 8));
    for (size_t i : {size_t{100}, size_t{1234}, size_t{20000}}) {
      const int expect = c.bits == 8 ? (sine[i] >> 8) + 128 : sine[i];
      const int got = c.bits == 8 ? pcm[i] : Sample16(pcm, i);
      EXPECT_NEAR(got, expect, c.bits == 8 ? 1 : c.tolerance) << "frame " << i;
    }
  }
}

TEST(DecodeStream, ReadsOggVorbisAndSeeksToWholeFrames) {
  auto s = OpenDecodeStream(Memory(test::MakeOgg(2, 44100, 44100)), TSoundCoding::Ogg);
  EXPECT_EQ(s->Format().channels, 2);
  EXPECT_EQ(s->Format().block_align, 4);
  EXPECT_EQ(s->GetSize(), 44100 * 4);
  EXPECT_EQ(s->GetLen(), 1000);
  s->SetPos(22050 * 4 + 3); // inside a frame: down to its start
  EXPECT_EQ(s->GetPos(), 22050 * 4);
  const std::vector<uint8_t> rest = ReadAll(*s);
  EXPECT_EQ(rest.size(), 22050u * 4);
  const std::vector<short> sine = test::Sine(2, 44100, 44100);
  EXPECT_NEAR(Sample16(rest, 2 * 1000), sine[2 * (22050 + 1000)], 1500);
}

// The FFmpeg path (Windows-Media audio, MP3 rips) decodes whole; fed a wave here, whose exact
// samples show the conversion: mono stays mono, more than two channels become stereo.
TEST(DecodeStream, FfmpegDecodesWholeIntoMonoOrStereo) {
  struct TCase {
    int channels;
    uint16_t out_channels;
  };
  for (const TCase c : {TCase{1, 1}, TCase{2, 2}, TCase{6, 2}}) {
    SCOPED_TRACE(c.channels);
    auto s = OpenDecodeStream(
        Memory(test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, c.channels, 32000, 16000)),
        TSoundCoding::WindowsMedia);
    EXPECT_EQ(s->Format().channels, c.out_channels);
    EXPECT_EQ(s->Format().samples_per_sec, 32000u);
    EXPECT_EQ(s->GetSize(), 16000 * 2 * c.out_channels);
    EXPECT_EQ(s->GetLen(), 500);
    const std::vector<uint8_t> pcm = ReadAll(*s);
    ASSERT_EQ(pcm.size(), static_cast<size_t>(s->GetSize()));
    if (c.channels <= 2) {
      const std::vector<short> sine = test::Sine(c.channels, 32000, 16000);
      for (size_t i : {size_t{7}, size_t{3001}})
        EXPECT_EQ(Sample16(pcm, i), sine[i]);
    }
  }
}

// Damaged data: a clear error or a stream whose size is what really decodes; never a hang or
// an allocation of what a header claims.
TEST(DecodeStream, DamagedDataFailsCleanly) {
  const std::string wave = test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 4410);
  auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    std::string out = wave;
    size_t i = at;
    for (uint8_t b : bytes)
      out[i++] = static_cast<char>(b);
    return out;
  };
  struct TCase {
    const char* what;
    std::string bytes;
    TSoundCoding coding;
  };
  const TCase invalid[] = {
      {"empty", "", TSoundCoding::Wave},
      {"not a sound", std::string(4000, 'x'), TSoundCoding::Wave},
      {"zero channels", patched(22, {0, 0}), TSoundCoding::Wave},
      {"rate 0", patched(24, {0, 0, 0, 0}), TSoundCoding::Wave},
      {"rate 10 MHz", patched(24, {0x80, 0x96, 0x98, 0x00}), TSoundCoding::Wave},
      {"empty Ogg", "", TSoundCoding::Ogg},
      {"Ogg cut in its headers", test::MakeOgg(1, 22050, 22050).substr(0, 200), TSoundCoding::Ogg},
      {"Ogg cut in the middle", test::MakeOgg(1, 22050, 44100).substr(0, 3000), TSoundCoding::Ogg},
      {"not Windows Media", std::string(4000, 'x'), TSoundCoding::WindowsMedia},
  };
  for (const TCase& c : invalid) {
    SCOPED_TRACE(c.what);
    try {
      OpenDecodeStream(Memory(c.bytes), c.coding);
      ADD_FAILURE() << "opened";
    } catch (const ENovaError& e) {
      EXPECT_EQ(SjisToUtf8(e.what()), "サウンドデータが不正です");
    }
  }
  // A data chunk claiming 2^32 - 1 bytes, and a file cut short: what is there plays.
  struct TShortCase {
    const char* what;
    std::string bytes;
    TSoundCoding coding;
    size_t at_most; // PCM bytes
  };
  const TShortCase short_data[] = {
      {"data size 2^32 - 1", patched(40, {0xFF, 0xFF, 0xFF, 0xFF}), TSoundCoding::Wave, 17640},
      {"truncated wave", wave.substr(0, 44 + 1000), TSoundCoding::Wave, 1000},
  };
  for (const TShortCase& c : short_data) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TDecodeStream> s;
    try {
      s = OpenDecodeStream(Memory(c.bytes), c.coding);
    } catch (const ENovaError&) {
      ADD_FAILURE() << "refused";
      continue;
    }
    const std::vector<uint8_t> pcm = ReadAll(*s);
    EXPECT_EQ(static_cast<int64_t>(pcm.size()), s->GetSize());
    EXPECT_LE(pcm.size(), c.at_most);
    EXPECT_EQ(s->Read(nullptr, 0), 0);
  }
}

} // namespace
} // namespace nova
