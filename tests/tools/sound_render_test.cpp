// SPDX-License-Identifier: MIT
// Rendered sounds, written as wave and Ogg Vorbis and read back by libsndfile and vorbisfile.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/sound_desc.h"
#include "audio/sound_file_out.h"
#include "audio/sound_render.h"
#include "base/nova_error.h"

namespace nova::tool {
namespace {

struct TLevels {
  double peak = 0, rms = 0;
};

TLevels Levels(const std::vector<float>& s, size_t from = 0, size_t to = SIZE_MAX) {
  TLevels l;
  to = std::min(to, s.size());
  double sum = 0;
  for (size_t i = from; i < to; ++i) {
    l.peak = std::max(l.peak, static_cast<double>(std::abs(s[i])));
    sum += static_cast<double>(s[i]) * s[i];
  }
  l.rms = to > from ? std::sqrt(sum / (to - from)) : 0;
  return l;
}

std::filesystem::path Temp(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("nova_sound_" + std::to_string(getpid()) + "_" + name);
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<float> Render(const std::string& text) {
  return RenderSound(ParseSoundDesc(text, "t"));
}

TEST(SoundRender, EveryWaveSoundsForItsLengthWithinFullScale) {
  for (const char* wave : {"sine", "square", "saw", "triangle", "noise"}) {
    SCOPED_TRACE(wave);
    const std::vector<float> s =
        Render(std::string("voice 0.1 0.2\nenv 0.01 0 1 0.1\nwave ") + wave +
               "\npitch 2000\nglide 4000\nvibrato 6 50\n"
               "lowpass 8000 3000\nhighpass 100\nband 500 5000 0.7\nvolume 4\n");
    // 0.1 s of silence, 0.2 s held, 0.1 s released, stereo at 44,100.
    EXPECT_NEAR(s.size() / 2.0, 0.4 * 44100, 2);
    EXPECT_EQ(Levels(s, 0, 4000 * 2).peak, 0.0);
    const TLevels held = Levels(s, 5000 * 2, 13000 * 2);
    EXPECT_GT(held.rms, 0.05);
    EXPECT_LE(held.peak, 1.0); // volume 4 is clipped, never wrapped
  }
}

TEST(SoundRender, VowelMurmurAndPanAndNormalize) {
  const std::vector<float> s =
      Render("normalize 0.5\nvoice 0 0.6\nvowels a i u e o\npitch 220\nglide 180\npan -1\n");
  EXPECT_NEAR(Levels(s).peak, 0.5, 1e-6);
  double left = 0, right = 0;
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    left += std::abs(s[i]);
    right += std::abs(s[i + 1]);
  }
  EXPECT_GT(left, 1000 * right); // pan -1 is the left side alone
}

TEST(SoundRender, LoopFoldsTheTailOntoTheStart) {
  // The note starts at 0.9 s of a 1 s loop and rings on; what passes the end plays from 0.
  const std::string voice = "voice 0.9 0.5\nwave sine\npitch 440\n";
  const std::vector<float> plain = Render("length 1\n" + voice);
  const std::vector<float> looped = Render("length 1\nloop\n" + voice);
  ASSERT_EQ(plain.size(), 44100u * 2);
  ASSERT_EQ(looped.size(), 44100u * 2);
  EXPECT_EQ(Levels(plain, 0, 0.3 * 44100 * 2).peak, 0.0);
  EXPECT_GT(Levels(looped, 0, 0.3 * 44100 * 2).rms, 0.1);
}

TEST(SoundRender, SameDescriptionSameBytes_WaveAndOggReadBack) {
  const std::string text = "seed 3\nreverb 0.5 0.3\necho 0.1 0.4 0.3\n"
                           "voice 0 0.5\nwave noise\nrepeat 3 0.2 0.05\nlowpass 3000\n"
                           "voice 0 1\nwave saw\nunison 3 10\npitches C4\n";
  const TSoundDesc desc = ParseSoundDesc(text, "t");
  const std::vector<float> samples = RenderSound(desc);
  const size_t frames = samples.size() / 2;
  for (const char* ext : {".wav", ".ogg"}) {
    SCOPED_TRACE(ext);
    const std::filesystem::path a = Temp(std::string("a") + ext), b = Temp(std::string("b") + ext);
    WriteSoundFile(a.string(), samples, 2, 44100);
    WriteSoundFile(b.string(), RenderSound(ParseSoundDesc(text, "t")), 2, 44100);
    EXPECT_EQ(Slurp(a), Slurp(b));
    std::vector<float> read(samples.size() + 4096);
    size_t got = 0;
    int rate = 0, channels = 0;
    if (std::string(ext) == ".wav") {
      SF_INFO info{};
      SNDFILE* f = sf_open(a.c_str(), SFM_READ, &info);
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
      rate = info.samplerate;
      channels = info.channels;
      got =
          static_cast<size_t>(sf_readf_float(f, read.data(), static_cast<sf_count_t>(frames + 10)));
      sf_close(f);
    } else {
      OggVorbis_File vf;
      ASSERT_EQ(ov_fopen(a.c_str(), &vf), 0);
      rate = static_cast<int>(ov_info(&vf, -1)->rate);
      channels = ov_info(&vf, -1)->channels;
      float** pcm = nullptr;
      int section = 0;
      for (long n; (n = ov_read_float(&vf, &pcm, 1024, &section)) > 0; got += n)
        for (long i = 0; i < n && got + i < frames + 2048; ++i)
          for (int c = 0; c < 2; ++c)
            read[(got + i) * 2 + c] = pcm[c][i];
      ov_clear(&vf);
    }
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(got, frames);
    read.resize(std::min(got, frames) * 2);
    const TLevels want = Levels(samples), have = Levels(read);
    EXPECT_NEAR(have.rms, want.rms, want.rms * 0.05);
    EXPECT_GT(have.rms, 0.01);
    std::filesystem::remove(a);
    std::filesystem::remove(b);
  }
}

TEST(SoundRender, UnknownOutputKindIsRefused) {
  EXPECT_THROW(WriteSoundFile(Temp("x.mp3").string(), {0.0f, 0.0f}, 2, 44100), ENovaError);
}

} // namespace
} // namespace nova::tool
