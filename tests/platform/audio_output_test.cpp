// SPDX-License-Identifier: MIT
#include "platform/audio_output.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

namespace nova {
namespace {

// A source of one constant frame value that counts its pulls.
struct TConstant : IAudioSource {
  explicit TConstant(int16_t v) : value(v) {}
  void Render(int16_t* out, size_t frames) override {
    std::fill(out, out + 2 * frames, value);
    pulled += frames;
  }
  int16_t value;
  std::atomic<size_t> pulled{0};
};

TEST(HeadlessAudioOutput, WritesWhatItsSourcesSumToUpToTheFrameAsked) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("nova_audio_" + std::to_string(::getpid()) + ".wav");
  TConstant a(30000), b(10000), c(-5);
  {
    auto out = CreateHeadlessAudioOutput(path.string());
    out->AddSource(&a);
    out->AddSource(&b);
    out->RenderUntil(100);
    out->RenderUntil(100); // already there
    out->RemoveSource(&b);
    out->AddSource(&c);
    out->RenderUntil(10000); // in pieces
    EXPECT_EQ(out->RenderedFrames(), 10000u);
    EXPECT_EQ(a.pulled, 10000u);
    EXPECT_EQ(b.pulled, 100u);
  }
  std::ifstream in(path, std::ios::binary);
  const std::string wav((std::istreambuf_iterator<char>(in)), {});
  std::filesystem::remove(path);
  ASSERT_EQ(wav.size(), 44u + 10000 * 4);
  uint32_t data_size;
  std::memcpy(&data_size, wav.data() + 40, 4);
  EXPECT_EQ(data_size, 40000u);
  EXPECT_EQ(wav.compare(0, 4, "RIFF"), 0);
  auto sample = [&](size_t i) {
    int16_t v;
    std::memcpy(&v, wav.data() + 44 + 2 * i, 2);
    return v;
  };
  EXPECT_EQ(sample(0), 32767); // 30000 + 10000 saturates
  EXPECT_EQ(sample(199), 32767);
  EXPECT_EQ(sample(200), 29995); // the third source from frame 100 on
  EXPECT_EQ(sample(19999), 29995);
}

TEST(HeadlessAudioOutput, UnwritableFileIsAClearError) {
  EXPECT_ANY_THROW(CreateHeadlessAudioOutput("/nonexistent-folder/x.wav"));
}

// SDL's dummy driver pulls in real time; removing a source stops its pulls.
TEST(SdlAudioOutput, PullsSourcesOnItsThread) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto out = CreateSdlAudioOutput();
  if (!out->HasDevice())
    GTEST_SKIP() << "no audio driver";
  TConstant a(1);
  out->AddSource(&a);
  for (int i = 0; i < 200 && a.pulled == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GT(a.pulled, 0u);
  out->RemoveSource(&a);
  const size_t after = a.pulled;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(a.pulled, after);
}

TEST(AudioResampler, ConvertsRateAndChannels) {
  EXPECT_EQ(CreateAudioResampler(0, 1), nullptr);
  EXPECT_EQ(CreateAudioResampler(10000000, 2), nullptr);
  EXPECT_EQ(CreateAudioResampler(22050, 0), nullptr);
  auto r = CreateAudioResampler(22050, 1);
  ASSERT_NE(r, nullptr);
  std::vector<int16_t> in(22050, 1000);
  r->Put(in.data(), in.size());
  r->Flush();
  std::vector<int16_t> out(2 * 50000);
  const size_t got = r->Get(out.data(), 50000);
  EXPECT_NEAR(static_cast<double>(got), 44100, 64);
  EXPECT_NEAR(out[2 * 22050], 1000, 2);
  EXPECT_EQ(out[2 * 22050], out[2 * 22050 + 1]); // mono on both channels
}

} // namespace
} // namespace nova
