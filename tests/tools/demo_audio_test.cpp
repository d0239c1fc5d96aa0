// SPDX-License-Identifier: MIT
// The built demo title holds its music and sounds under the names its pages use, each of the
// length it is meant to have and audible.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "e2e/title_runner.h"
#include "media/midi_file.h"

namespace nova::tool {
namespace {

namespace fs = std::filesystem;

std::string Tool() {
  const char* set = std::getenv("NOVA_TOOL");
  return set && *set ? set : std::string(NOVA_BINARY_DIR) + "/apps/novatool/novatool";
}

struct TSoundSeen {
  double seconds = 0, rms = 0, peak = 0;
};

TSoundSeen Measure(const std::vector<float>& samples, int channels, int rate) {
  TSoundSeen seen;
  double sum = 0;
  for (float s : samples) {
    seen.peak = std::max(seen.peak, static_cast<double>(std::abs(s)));
    sum += static_cast<double>(s) * s;
  }
  seen.seconds = static_cast<double>(samples.size()) / channels / rate;
  seen.rms = samples.empty() ? 0 : std::sqrt(sum / samples.size());
  return seen;
}

TSoundSeen ReadWave(const fs::path& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f)
    return {};
  std::vector<float> samples(static_cast<size_t>(info.frames) * info.channels);
  sf_readf_float(f, samples.data(), info.frames);
  sf_close(f);
  return Measure(samples, info.channels, info.samplerate);
}

TSoundSeen ReadOgg(const fs::path& path) {
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0)
    return {};
  const int channels = ov_info(&vf, -1)->channels;
  const int rate = static_cast<int>(ov_info(&vf, -1)->rate);
  std::vector<float> samples;
  float** pcm = nullptr;
  int section = 0;
  for (long n; (n = ov_read_float(&vf, &pcm, 4096, &section)) > 0;)
    for (long i = 0; i < n; ++i)
      for (int c = 0; c < channels; ++c)
        samples.push_back(pcm[c][i]);
  ov_clear(&vf);
  return Measure(samples, channels, rate);
}

TEST(DemoAudio, TheTitleHoldsEveryMusicAndSoundAtItsLength) {
  const fs::path archive = fs::path(NOVA_BINARY_DIR) / "demo" / "title" / "game.dat";
  ASSERT_TRUE(fs::exists(archive)) << "the demo title is built with the tree";
  const fs::path out = fs::temp_directory_path() / ("nova_demo_audio_" + std::to_string(getpid()));
  fs::remove_all(out);
  ASSERT_EQ(
      std::system((Tool() + " archive extract " + archive.string() + " " + out.string()).c_str()),
      0);
  struct Want {
    const char* name;
    double least_s, most_s;
  };
  const Want sounds[] = {
      {"click.wav", 0.02, 0.3}, {"chime.wav", 0.5, 3},    {"whoosh.wav", 0.4, 2},
      {"step.wav", 0.05, 0.5},  {"voice1.wav", 0.5, 1.5}, {"voice2.wav", 0.5, 1.5},
      {"voice3.wav", 0.5, 1.5}, {"voice4.wav", 0.5, 1.5}, {"night.ogg", 28, 34},
  };
  for (const Want& w : sounds) {
    SCOPED_TRACE(w.name);
    const fs::path path = out / w.name;
    const TSoundSeen seen = path.extension() == ".ogg" ? ReadOgg(path) : ReadWave(path);
    EXPECT_GE(seen.seconds, w.least_s);
    EXPECT_LE(seen.seconds, w.most_s);
    EXPECT_GT(seen.rms, 0.01);
    EXPECT_LE(seen.peak, 0.99);
  }
  const Want music[] = {{"theme.mid", 38, 42}, {"ending.mid", 27, 36}};
  for (const Want& w : music) {
    SCOPED_TRACE(w.name);
    std::ifstream in(out / w.name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    TMidiV midi;
    ASSERT_TRUE(midi.ReadFile(bytes));
    EXPECT_EQ(midi.Problem(), "");
    EXPECT_GE(midi.LengthMs(), w.least_s * 1000);
    EXPECT_LE(midi.LengthMs(), w.most_s * 1000);
  }
  fs::remove_all(out);
}

// The title music through the player's own sequencer and synthesizer: audible, and far from
// clipping even with the strings in.
TEST(DemoAudio, ThemeIsHeardThroughThePlayer) {
  const fs::path theme = fs::path(NOVA_BINARY_DIR) / "demo" / "audio" / "theme.mid";
  ASSERT_TRUE(fs::exists(theme));
  e2e::TTestTitle title("demo_theme");
  std::ifstream in(theme, std::ios::binary);
  title.Add("theme.mid", std::string(std::istreambuf_iterator<char>(in), {}));
  title.Page("main.nsb", "Sound PR_NAME={\"bgm\"} PR_SOURCE={\"theme.mid\"}\nWait time={60000}\n");
  const fs::path capture = title.Root() / "out.wav";
  std::string error;
  // 760 frames of 33 ms: past the 20 s where the strings come in.
  title.Run(760, &error, "--frame-ms 33 --audio-out " + capture.string());
  ASSERT_TRUE(error.empty()) << error;
  const TSoundSeen heard = ReadWave(capture);
  EXPECT_GT(heard.seconds, 24);
  EXPECT_GT(heard.rms, 0.005);
  EXPECT_LT(heard.peak, 0.5);
}

} // namespace
} // namespace nova::tool
