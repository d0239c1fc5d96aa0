// SPDX-License-Identifier: MIT
#include "media/wav_out.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "pcm_fixture.h"
#include "platform/clock.h"

namespace nova {
namespace {

using test::Pcm16;
using test::TPcmStream;

constexpr int kDelayMs = 100; // blocks of 17,640 bytes: 4,410 frames
constexpr size_t kBlockSamples = 17640 / 2;

// A wave output on a headless device, mixing when the device renders, at a virtual time.
struct TMixer {
  std::unique_ptr<IHeadlessAudioOutput> device = CreateHeadlessAudioOutput("");
  TVirtualClock clock{1000};
  TWavOut out{*device, clock, kDelayMs, TMixingMode::OnRender};
  std::vector<std::vector<int16_t>> blocks;

  TMixer() {
    out.SetNotification([this](const int16_t* s, size_t n) { blocks.emplace_back(s, s + n); });
    EXPECT_TRUE(out.Open());
  }
  TWavBuffer* Add(uint16_t channels, uint32_t rate, uint16_t bits, std::vector<uint8_t> bytes) {
    return out.AddBuffer(std::make_unique<TPcmStream>(channels, rate, bits, std::move(bytes)));
  }
};

TEST(WavOut, BlockSizeFollowsDelayTime) {
  auto device = CreateHeadlessAudioOutput("");
  TVirtualClock clock;
  EXPECT_EQ(TWavOut(*device, clock, 500, TMixingMode::OnRender).BlockBytes(), 88200u);
  EXPECT_EQ(TWavOut(*device, clock, 100, TMixingMode::OnRender).BlockBytes(), 17640u);
}

// Each source format becomes 16-bit stereo at 44,100 Hz; the first output frames and how many
// source bytes one block reads.
TEST(WavOut, ConvertsEverySourceFormat) {
  struct TCase {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    std::vector<uint8_t> bytes;  // the first source frames
    std::vector<int16_t> expect; // the first output samples (left, right, ...)
    size_t bytes_per_block;
  };
  const std::vector<TCase> cases = {
      {2, 44100, 16, Pcm16(1, 1000, -1000), {1000, -1000}, 17640},
      {1, 44100, 16, {0xE8, 0x03}, {1000, 1000}, 8820},
      {2, 22050, 16, Pcm16(1, 5, -5), {5, -5, 5, -5}, 8820},
      {2, 44100, 8, {0x81, 0x7F}, {256, -256}, 8820},
      {1, 44100, 8, {0xFF}, {127 * 256, 127 * 256}, 4410},
      {2, 22050, 8, {0x00, 0x80}, {-32768, 0, -32768, 0}, 4410},
      {1, 22050, 16, {0x02, 0x00}, {2, 2, 2, 2}, 4410},
      // Mono 8-bit at 22,050 Hz: one byte gives four samples.
      {1, 22050, 8, {0x90}, {16 * 256, 16 * 256, 16 * 256, 16 * 256}, 2205},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " ch " << c.rate << " Hz " << c.bits);
    TMixer m;
    std::vector<uint8_t> bytes = c.bytes;
    bytes.resize(100000, c.bits == 8 ? 0x80 : 0); // silence after the first frames
    TWavBuffer* b = m.Add(c.channels, c.rate, c.bits, bytes);
    b->Play();
    m.out.FillStep();
    ASSERT_EQ(m.blocks.size(), 2u);
    ASSERT_EQ(m.blocks[0].size(), kBlockSamples);
    EXPECT_EQ(std::vector<int16_t>(m.blocks[0].begin(), m.blocks[0].begin() + c.expect.size()),
              c.expect);
    EXPECT_EQ(b->ReadPosition(), static_cast<int64_t>(2 * c.bytes_per_block));
  }
}

TEST(WavOut, MixesWithGainAndSaturation) {
  struct TCase {
    const char* what;
    int16_t a, b;   // the two sources' constant sample
    int32_t gain_a; // gain of the first
    int16_t expect;
  };
  const TCase cases[] = {
      {"opposite phases cancel", 32767, -32767, 256, 0},
      {"full scale clips at 32767", 32767, 32767, 256, 32767},
      {"full negative clips at -32768", -32768, -32768, 256, -32768},
      {"gain 128 halves", 1000, 0, 128, 500},
      {"the shift keeps the sign", -1, 0, 128, -1},
      {"gain 255 is unity", 1001, 0, 255, 1001},
      {"gain 0 is silence", 1001, 0, 0, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TMixer m;
    TWavBuffer* a = m.Add(2, 44100, 16, Pcm16(10000, c.a, c.a));
    TWavBuffer* b = m.Add(2, 44100, 16, Pcm16(10000, c.b, c.b));
    a->SetGain(c.gain_a);
    a->Play();
    b->Play();
    m.out.FillStep();
    ASSERT_FALSE(m.blocks.empty());
    EXPECT_EQ(m.blocks[0][0], c.expect);
    EXPECT_EQ(m.blocks[0][kBlockSamples - 1], c.expect);
  }
}

TEST(WavOut, RepeatingBufferContinuesInsideTheBlock) {
  TMixer m;
  // 1,000 frames: 1..1000 on the left; repeat from frame 10.
  std::vector<uint8_t> bytes;
  for (int i = 1; i <= 1000; ++i) {
    auto f = Pcm16(1, static_cast<int16_t>(i), 0);
    bytes.insert(bytes.end(), f.begin(), f.end());
  }
  TWavBuffer* b = m.Add(2, 44100, 16, bytes);
  b->SetRepeat(true);
  b->SetRepeatPosition(10 * 4);
  b->Play();
  m.out.FillStep();
  ASSERT_EQ(m.blocks.size(), 2u);
  const auto& block = m.blocks[0];
  EXPECT_EQ(block[2 * 999], 1000);
  EXPECT_EQ(block[2 * 1000], 11); // straight on from the repeat position
  EXPECT_EQ(block[2 * (1000 + 990)], 11);
  EXPECT_FALSE(b->IsFinished());
}

// A repeat position at or past the end must not stall the mix (it would spin under the lock).
TEST(WavOut, RepeatPositionPastTheEndStillMakesProgress) {
  for (int64_t repeat_at : {int64_t{400}, int64_t{1 << 30}}) {
    TMixer m;
    TWavBuffer* b = m.Add(2, 44100, 16, Pcm16(100, 7, 7));
    b->SetRepeat(true);
    b->SetRepeatPosition(repeat_at);
    b->Play();
    m.out.FillStep();
    ASSERT_EQ(m.blocks.size(), 2u);
    EXPECT_EQ(m.blocks[1][kBlockSamples - 1], 7);
  }
}

TEST(WavOut, BufferFinishesAndEndsAfterItsSoundWasHeard) {
  TMixer m;
  TWavBuffer* b = m.Add(2, 44100, 16, Pcm16(1000, 9, 9)); // less than a block
  b->Play();
  m.out.FillStep();
  ASSERT_EQ(m.blocks.size(), 1u);
  EXPECT_EQ(m.blocks[0][2 * 999], 9);
  EXPECT_EQ(m.blocks[0][2 * 1000], 0);
  EXPECT_TRUE(b->IsFinished());
  EXPECT_FALSE(b->HasEnded());
  m.clock.Advance(2 * kDelayMs + 10);
  EXPECT_FALSE(b->HasEnded());
  m.clock.Advance(1);
  EXPECT_TRUE(b->HasEnded());
}

TEST(WavOut, PlayedBytesLagsOneBlockBehindTheMix) {
  TMixer m;
  TWavBuffer* b = m.Add(1, 22050, 16, Pcm16(100000, 0, 0));
  b->Play();
  m.out.FillStep(); // two blocks: 2 x 4,410 source bytes
  const int64_t per_block = 4410;
  EXPECT_EQ(b->ReadPosition(), 2 * per_block);
  EXPECT_EQ(b->PlayedBytes(), per_block);
  m.clock.Advance(50); // half a block later
  EXPECT_EQ(b->PlayedBytes(), per_block + per_block / 2);
  m.clock.Advance(200); // past 2 x DelayTime: the read position
  EXPECT_EQ(b->PlayedBytes(), 2 * per_block);
}

// A format the mixer cannot convert is silent, yet its time passes and it ends.
TEST(WavOut, UnconvertibleFormatEndsAfterItsLength) {
  TMixer m;
  TWavBuffer* b = m.Add(2, 48000, 16, Pcm16(4800, 100, 100)); // 100 ms
  b->Play();
  m.out.FillStep();
  ASSERT_EQ(m.blocks.size(), 1u);
  EXPECT_EQ(m.blocks[0][0], 0);
  EXPECT_TRUE(b->IsFinished());
}

TEST(WavOut, DeviceTakesBlocksInOrderAndAtMostTwoAreQueued) {
  TMixer m;
  TWavBuffer* b = m.Add(2, 44100, 16, Pcm16(44100, 3, 3));
  m.out.SetNotification(nullptr);
  b->Play();
  m.out.FillStep();
  EXPECT_EQ(m.out.QueuedBlocks(), 2u);
  m.out.FillStep();
  EXPECT_EQ(m.out.QueuedBlocks(), 2u);
  std::vector<int16_t> frames(4410 * 2);
  m.out.Render(frames.data(), 4410);
  EXPECT_EQ(frames[0], 3);
  m.out.Render(frames.data(), 4410); // mixes the third block as it needs it
  EXPECT_EQ(m.out.QueuedBlocks(), 2u);
  b->Stop();
  m.out.Render(frames.data(), 4410);
  m.out.Render(frames.data(), 4410);
  m.out.Render(frames.data(), 4410);
  EXPECT_EQ(frames[0], 0); // drained: silence
}

// In a window a thread of its own mixes every DelayTime / 4 ms, while the device takes blocks.
TEST(WavOut, OutputThreadKeepsTwoBlocksQueued) {
  auto device = CreateHeadlessAudioOutput("");
  TVirtualClock clock;
  TWavOut out(*device, clock, kDelayMs, TMixingMode::Thread);
  ASSERT_TRUE(out.Open());
  TWavBuffer* b = out.AddBuffer(std::make_unique<TPcmStream>(2, 44100, 16, Pcm16(44100, 5, 5)));
  b->Play();
  for (int i = 0; i < 200 && out.QueuedBlocks() < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(out.QueuedBlocks(), 2u);
  device->RenderUntil(4410); // the device plays one block
  for (int i = 0; i < 200 && b->ReadPosition() < 3 * 17640; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(b->ReadPosition(), 3 * 17640);
  out.Close();
  EXPECT_FALSE(out.IsOpen());
}

} // namespace
} // namespace nova
