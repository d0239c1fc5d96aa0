// SPDX-License-Identifier: MIT
#include "media/media_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "media/ogg_manager.h"
#include "platform/clock.h"
#include "sound_fixtures.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

// A title folder of sound files and the media over a headless output, advanced like the
// player's frames: the virtual clock and the output move together.
class MediaSystemTest : public testing::Test {
protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("nova_media_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    FileManager().SetBaseFolder(folder_.string());
  }
  void TearDown() override {
    media_.reset();
    ResetFileManager();
    std::filesystem::remove_all(folder_);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  void Start(bool direct_sound, int delay_ms = 100) {
    TMediaSettings settings;
    settings.direct_sound = direct_sound;
    settings.delay_time_ms = delay_ms;
    settings.mixing = TMixingMode::OnRender;
    settings.cd_tracks_folder = folder_.string();
    media_ = std::make_unique<TMediaSystem>(*output_, clock_, settings);
  }
  // Frames of 16 ms: the clock moves, then the output renders up to it.
  void Run(int ms) {
    for (int t = 0; t < ms; t += 16) {
      clock_.Advance(16);
      elapsed_ms_ += 16;
      output_->RenderUntil(elapsed_ms_ * kAudioOutputRate / 1000);
      media_->Update();
    }
  }
  std::unique_ptr<TDMediaItem> Ogg(const std::string& name) {
    return media_->CreateItem(TMediaKind::Ogg, name);
  }

  std::filesystem::path folder_;
  std::unique_ptr<IHeadlessAudioOutput> output_ = CreateHeadlessAudioOutput("");
  TVirtualClock clock_{5000};
  uint64_t elapsed_ms_ = 0;
  std::unique_ptr<TMediaSystem> media_;
};

TEST_F(MediaSystemTest, ManagersThatAreNotPluggedInMakeNoItems) {
  Start(true);
  EXPECT_EQ(media_->CreateItem(TMediaKind::Midi, "a.mid"), nullptr);
  EXPECT_EQ(media_->CreateItem(TMediaKind::Video, "a.mpg"), nullptr);
  EXPECT_NE(media_->Manager(TMediaKind::Ogg), nullptr);
  EXPECT_EQ(media_->CreateItem(TMediaKind::CdAudio, "CDx"), nullptr);
}

// Both back ends: a one-second sound plays, reports its length and its position, and ends once.
TEST_F(MediaSystemTest, SoundPlaysToItsEnd) {
  Write("one.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 44100));
  Write("one.ogg", test::MakeOgg(1, 22050, 22050));
  for (bool direct : {true, false}) {
    for (const char* name : {"one.wav", "one.ogg"}) {
      SCOPED_TRACE(testing::Message() << name << (direct ? " library" : " wave output"));
      Start(direct);
      auto item = Ogg(name);
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(item->GetLength(), 1000);
      item->SetVolume(0);
      item->Play();
      Run(480);
      EXPECT_TRUE(item->IsPlaying());
      EXPECT_NEAR(item->GetPosition(), 480, 150);
      EXPECT_FALSE(item->IsEnd());
      Run(1000);
      EXPECT_TRUE(item->IsEnd());
      EXPECT_FALSE(item->IsPlaying());
      // Played again from the start, it has not ended until it reaches the end again.
      item->SetPosition(0);
      item->Play();
      Run(96);
      EXPECT_FALSE(item->IsEnd());
      EXPECT_TRUE(item->IsPlaying());
      Run(1500);
      EXPECT_TRUE(item->IsEnd());
      media_.reset();
    }
  }
}

TEST_F(MediaSystemTest, WaveOutputPositionsAreWholeFrames) {
  Write("s.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 44100));
  Start(false);
  auto item = Ogg("s.wav");
  auto* wave = dynamic_cast<TOggWaveItem*>(item.get());
  ASSERT_NE(wave, nullptr);
  // 3 ms of 16-bit stereo is 529.2 bytes and 5 ms 882: off a frame they would mix the bytes
  // shifted (noise) or swap the channels.
  for (auto [ms, bytes] : {std::pair{3, 528}, std::pair{5, 880}, std::pair{1000, 176400}}) {
    item->SetPosition(ms);
    EXPECT_EQ(wave->Buffer()->ReadPosition(), bytes) << ms << " ms";
  }
}

TEST_F(MediaSystemTest, VolumeAtOrBelowMinus5000IsSilence) {
  Write("s.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 44100));
  const std::filesystem::path capture = folder_ / "capture.wav";
  for (bool direct : {true, false}) {
    for (auto [volume, silent] :
         {std::pair{-5000, true}, std::pair{-9000, true}, std::pair{-2000, false}}) {
      SCOPED_TRACE(testing::Message() << volume << (direct ? " library" : " wave output"));
      output_ = CreateHeadlessAudioOutput(capture.string());
      elapsed_ms_ = 0;
      Start(direct);
      auto item = Ogg("s.wav");
      item->SetVolume(volume);
      item->Play();
      Run(400);
      media_.reset();
      output_.reset();
      const std::string bytes = test::ReadBytes(capture);
      ASSERT_EQ(bytes.size(), 44u + 4 * 17640); // 400 ms
      const bool all_zero =
          std::all_of(bytes.begin() + 44, bytes.end(), [](char c) { return c == 0; });
      EXPECT_EQ(all_zero, silent);
    }
  }
}

TEST_F(MediaSystemTest, SuspendKeepsPausedItemsPausedAndResumesTheOthers) {
  Write("s.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 441000));
  for (bool direct : {true, false}) {
    SCOPED_TRACE(direct ? "library" : "wave output");
    Start(direct);
    auto playing = Ogg("s.wav");
    auto paused = Ogg("s.wav");
    playing->Play();
    paused->Play();
    Run(100);
    paused->Pause();
    media_->Suspend();
    EXPECT_FALSE(playing->IsPlaying());
    EXPECT_TRUE(paused->IsPaused());
    media_->Resume();
    EXPECT_TRUE(playing->IsPlaying());
    EXPECT_FALSE(paused->IsPlaying());
    EXPECT_TRUE(paused->IsPaused());
    media_.reset();
  }
}

TEST_F(MediaSystemTest, PlayWhileSoundIsOffStartsWhenItIsOnAgain) {
  Write("s.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 44100));
  Start(true);
  media_->SetSoundOn(false);
  auto item = Ogg("s.wav");
  item->Play();
  Run(100);
  EXPECT_FALSE(item->IsPlaying());
  EXPECT_EQ(item->GetPosition(), 0);
  media_->SetSoundOn(true);
  EXPECT_TRUE(item->IsPlaying());
}

TEST_F(MediaSystemTest, CdTracksPlayFromRipsAndMissingOnesAreSilent) {
  Write("Track02.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 88200));
  Start(true);
  auto two = media_->CreateItem(TMediaKind::CdAudio, "CD_2");
  auto three = media_->CreateItem(TMediaKind::CdAudio, "CD_3");
  ASSERT_NE(two, nullptr);
  ASSERT_NE(three, nullptr);
  EXPECT_EQ(two->GetLength(), 2000);
  EXPECT_EQ(three->GetLength(), 0);
  two->Play();
  Run(1100);
  EXPECT_EQ(two->GetPosition(), 1000); // whole seconds, as a drive counts
  three->Play();
  EXPECT_FALSE(three->IsPlaying());
  EXPECT_TRUE(three->IsEnd()); // nothing to wait for
}

// Media shut down while a component still holds an item: the item goes quiet and inert.
TEST_F(MediaSystemTest, ItemsOutliveTheirManagerSafely) {
  Write("s.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 44100));
  for (bool direct : {true, false}) {
    Start(direct);
    auto item = Ogg("s.wav");
    item->Play();
    Run(50);
    media_.reset();
    EXPECT_TRUE(item->Detached());
    item->Play();
    item->SetPosition(10);
    EXPECT_FALSE(item->IsPlaying());
    EXPECT_EQ(item->GetLength(), 0);
  }
}

} // namespace
} // namespace nova
