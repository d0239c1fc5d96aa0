// SPDX-License-Identifier: MIT
// A title with music, a voice and an effect, heard through --audio-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

// A mono 16-bit 44,100 Hz wave of `ms` milliseconds holding the constant `value`.
std::string ConstantWave(int ms, int16_t value) {
  const uint32_t frames = static_cast<uint32_t>(ms) * 441 / 10;
  std::string w;
  auto u32 = [&w](uint32_t v) {
    for (int i = 0; i < 4; ++i)
      w.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto u16 = [&w](uint16_t v) {
    w.push_back(static_cast<char>(v));
    w.push_back(static_cast<char>(v >> 8));
  };
  w += "RIFF";
  u32(36 + frames * 2);
  w += "WAVEfmt ";
  u32(16);
  u16(1);         // PCM
  u16(1);         // mono
  u32(44100);     // rate
  u32(44100 * 2); // bytes per second
  u16(2);         // block align
  u16(16);        // bits
  w += "data";
  u32(frames * 2);
  for (uint32_t i = 0; i < frames; ++i)
    u16(static_cast<uint16_t>(value));
  return w;
}

// The left channel of a capture.
std::vector<int16_t> LeftChannel(const std::string& wav) {
  std::vector<int16_t> left;
  for (size_t at = 44; at + 4 <= wav.size(); at += 4) {
    int16_t v;
    std::memcpy(&v, wav.data() + at, 2);
    left.push_back(v);
  }
  return left;
}

// The first sample at or after `from_ms` whose value is `value`, in ms; -1 when none.
double FirstMs(const std::vector<int16_t>& left, int16_t value, double from_ms = 0) {
  for (size_t i = static_cast<size_t>(from_ms * 44.1); i < left.size(); ++i)
    if (left[i] == value)
      return static_cast<double>(i) / 44.1;
  return -1;
}

TEST(SoundE2e, MusicVoiceAndEffectSoundWhereTheScriptPlaysThem) {
  TTestTitle title("sound");
  title.Add("bgm.wav", ConstantWave(300, 1000));
  title.Add("voice.wav", ConstantWave(600, 2000));
  title.Add("se.wav", ConstantWave(100, 4000));
  title.Page("main.nsb", "VarNew \"ended\" type=1 value={0}\n"
                         "Sound PR_NAME={\"bgm\"} PR_SOURCE={\"bgm.wav\"} PR_REPEAT={TRUE}\n"
                         "Wait time={496}\n"
                         "Sound PR_NAME={\"voice\"} PR_SOURCE={\"voice.wav\"} "
                         "PR_ONPLAYEND={\"done.nsb\"}\n"
                         "Wait time={208}\n"
                         "Sound PR_NAME={\"se\"} PR_SOURCE={\"se.wav\"} PR_AUTOSCRAP={TRUE}\n"
                         "Wait time={5000}\n");
  title.Page("done.nsb", "Calc {ended = @UpdateCount}\n");
  const std::string capture = (title.Root() / "out.wav").string();
  std::string error;
  const auto vars = title.Run(100, &error, "--audio-out " + capture);
  ASSERT_TRUE(error.empty()) << error;
  const std::vector<int16_t> left = LeftChannel(title.Slurp(capture));
  // 100 frames of 16 ms.
  ASSERT_EQ(left.size(), 1600u * 441 / 10);

  // The music from the first frame on, repeating without a gap.
  const double music = FirstMs(left, 1000);
  EXPECT_GE(music, 0);
  EXPECT_LE(music, 32);
  EXPECT_EQ(left[static_cast<size_t>((music + 300) * 44.1) + 10], 1000);
  // The voice joins about 496 ms later and plays 600 ms; the effect 100 ms in the middle.
  const double voice = FirstMs(left, 3000);
  EXPECT_NEAR(voice - music, 496, 20);
  const double effect = FirstMs(left, 7000);
  EXPECT_NEAR(effect - voice, 208, 20);
  EXPECT_EQ(FirstMs(left, 7000, effect + 101), -1);
  EXPECT_EQ(left[static_cast<size_t>((effect + 150) * 44.1)], 3000);
  const double voice_end = FirstMs(left, 1000, voice + 1);
  EXPECT_NEAR(voice_end - voice, 600, 1);
  // Its end reaches the script once, in the frame after it was heard.
  const int ended = std::stoi(ValueOf(vars, "ended"));
  EXPECT_NEAR(ended * 16, voice_end, 40);
}

// A script that waits for a sound to fade out goes on once it has.
TEST(SoundE2e, WaitingForAFadeOutResumesTheScript) {
  TTestTitle title("sound_wait");
  title.Add("voice.wav", ConstantWave(5000, 2000));
  title.Page("main.nsb", "VarNew \"after\" type=1 value={0}\n"
                         "Sound PR_NAME={\"voice\"} PR_SOURCE={\"voice.wav\"}\n"
                         "Wait time={160}\n"
                         "MovieStop object={\"voice\"} fade={320} wait={TRUE}\n"
                         "Calc {after = @UpdateCount}\n");
  const std::string capture = (title.Root() / "out.wav").string();
  std::string error;
  const auto vars = title.Run(80, &error, "--audio-out " + capture);
  ASSERT_TRUE(error.empty()) << error;
  const int after = std::stoi(ValueOf(vars, "after"));
  EXPECT_NEAR(after * 16, 160 + 320, 64);
  const std::vector<int16_t> left = LeftChannel(title.Slurp(capture));
  ASSERT_GT(left.size(), 44100u);
  EXPECT_EQ(left[static_cast<size_t>(100 * 44.1)], 2000);
  EXPECT_LT(std::abs(left[static_cast<size_t>(400 * 44.1)]), 2000); // fading
  EXPECT_EQ(left[static_cast<size_t>(900 * 44.1)], 0);              // gone
}

// "CD_n" plays a ripped track from the folder game.ini names; a missing track plays nothing.
TEST(SoundE2e, CdTracksPlayFromTheirRips) {
  TTestTitle title("sound_cd");
  title.Page("main.nsb", "Sound PR_NAME={\"cd\"} PR_SOURCE={\"CD_3\"}\n"
                         "Sound PR_NAME={\"none\"} PR_SOURCE={\"CD_4\"}\n"
                         "Wait time={5000}\n");
  const auto folder = title.Root() / "title";
  std::filesystem::create_directories(folder / "rips");
  std::ofstream(folder / "game.ini") << "[Sound]\nCDTracks=rips\n";
  std::ofstream(folder / "rips" / "Track03.wav", std::ios::binary) << ConstantWave(1000, 1500);
  const std::string capture = (title.Root() / "out.wav").string();
  std::string error;
  title.Run(30, &error, "--audio-out " + capture);
  ASSERT_TRUE(error.empty()) << error;
  const std::vector<int16_t> left = LeftChannel(title.Slurp(capture));
  const double start = FirstMs(left, 1500);
  EXPECT_GE(start, 0);
  EXPECT_LE(start, 32);
}

// Both back ends: the media library's own items, and the wave output ([Sound] DirectSound=0),
// whose blocks are mixed at the virtual time the output needs them.
TEST(SoundE2e, CaptureIsTheSameOnEveryRun) {
  TTestTitle title("sound_repeat");
  title.Add("a.wav", ConstantWave(250, 3000));
  title.Add("b.wav", ConstantWave(400, -1200));
  title.Page("main.nsb", "Sound PR_NAME={\"a\"} PR_SOURCE={\"a.wav\"} PR_REPEAT={TRUE}\n"
                         "Wait time={100}\n"
                         "Sound PR_NAME={\"b\"} PR_SOURCE={\"b.wav\"} PR_VOLUME={700}\n"
                         "Wait time={5000}\n");
  for (bool direct_sound : {true, false}) {
    SCOPED_TRACE(direct_sound ? "library" : "wave output");
    std::string runs[2];
    for (std::string& run : runs) {
      // The built title's folder holds the run settings.
      std::filesystem::create_directories(title.Root() / "title");
      std::ofstream(title.Root() / "title" / "game.ini")
          << "[Sound]\nDirectSound=" << (direct_sound ? 1 : 0) << "\n";
      const std::string capture = (title.Root() / "out.wav").string();
      std::string error;
      title.Run(120, &error, "--audio-out " + capture);
      ASSERT_TRUE(error.empty()) << error;
      run = title.Slurp(capture);
    }
    ASSERT_EQ(runs[0].size(), 44u + 120 * 16 * 441 / 10 * 4);
    EXPECT_TRUE(runs[0] == runs[1]);
    // Both sounds are in it: the music alone, and mixed with the quieter second sound.
    const std::vector<int16_t> left = LeftChannel(runs[0]);
    EXPECT_GE(FirstMs(left, 3000), 0);
    EXPECT_TRUE(
        std::any_of(left.begin(), left.end(), [](int16_t v) { return v != 0 && v != 3000; }));
  }
}

} // namespace
} // namespace nova::e2e
