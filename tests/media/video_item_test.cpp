// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>

#include "media/video_fixture.h"
#include "media/video_manager.h"

namespace nova {
namespace {

using test::ClipPath;
using test::SquareCentre;
using test::VideoClip;

class VideoItemTest : public testing::TestWithParam<VideoClip> {
protected:
  void SetUp() override { first_ms_ = test::FirstPictureMs(ClipPath(GetParam())); }
  TVideoContext Context(IAudioOutput* audio = nullptr) {
    TVideoContext c;
    c.clock_ms = clock_.Fn();
    c.audio = audio;
    c.log = [this](const std::string& line) { log_.push_back(line); };
    return c;
  }
  std::unique_ptr<TVideoItem> Open(IAudioOutput* audio = nullptr) {
    manager_ = std::make_unique<TVideoManager>(Context(audio));
    return test::AddVideo(*manager_, ClipPath(GetParam()));
  }
  // Where the square stands at clock time `clock_ms`, as the item draws it into a surface.
  double LeftAt(TVideoItem& item, int64_t clock_ms) {
    clock_.now = clock_ms;
    TDIBX frame(item.GetSourceWidth(), item.GetSourceHeight(), 32);
    EXPECT_TRUE(item.CopyPicture(frame));
    return SquareCentre(frame);
  }
  // Where the square of the picture due at `media_ms` stands.
  double Expected(int64_t media_ms) const {
    const TVideoPattern& p = GetParam().pattern;
    const int64_t frame =
        std::clamp<int64_t>((media_ms - first_ms_) * p.fps / 1000, 0, p.frames - 1);
    return PatternSquareLeft(p, static_cast<int>(frame)) + (kPatternSquare - 1) / 2.0;
  }

  test::ManualClock clock_;
  std::vector<std::string> log_;
  int64_t first_ms_ = 0;
  std::unique_ptr<TVideoManager> manager_;
};

TEST_P(VideoItemTest, OpensWithTheClipsSizeAndLength) {
  auto item = Open();
  ASSERT_FALSE(item->Failed()) << (log_.empty() ? "" : log_[0]);
  EXPECT_EQ(item->GetSourceWidth(), 176);
  EXPECT_EQ(item->GetSourceHeight(), 144);
  EXPECT_NEAR(item->GetLength(), 2000, 120);
  EXPECT_TRUE(log_.empty());
}

TEST_P(VideoItemTest, ShowsThePictureDueAtTheGameClock) {
  auto item = Open();
  clock_.now = 1000; // the clock need not start at 0
  item->Play();
  for (int64_t t : {20, 420, 1020, 1500, 1920})
    EXPECT_NEAR(LeftAt(*item, 1000 + t), Expected(t), 1.0) << "at " << t << " ms";
  EXPECT_TRUE(item->IsPlaying());
}

TEST_P(VideoItemTest, RepaintIsAskedOnlyWhenAnotherPictureIsDue) {
  auto item = Open();
  item->Play();
  TDIBX frame(item->GetSourceWidth(), item->GetSourceHeight(), 32);
  EXPECT_TRUE(item->NeedPaint());
  item->CopyPicture(frame);
  EXPECT_FALSE(item->NeedPaint());
  clock_.now = 10; // same picture (25 per second)
  EXPECT_FALSE(item->NeedPaint());
  clock_.now = 100;
  EXPECT_TRUE(item->NeedPaint());
}

TEST_P(VideoItemTest, TheEndStaysReportedAndThePositionAtTheEnd) {
  auto item = Open();
  item->Play();
  clock_.now = 1000;
  EXPECT_FALSE(item->IsEnd());
  clock_.now = 2300;
  EXPECT_TRUE(item->IsEnd());
  EXPECT_TRUE(item->IsEnd()) << "latched";
  EXPECT_FALSE(item->IsPlaying());
  EXPECT_EQ(item->GetPosition(), item->GetLength());
  // The last picture stays.
  EXPECT_NEAR(LeftAt(*item, 5000), Expected(5000), 1.0);
}

TEST_P(VideoItemTest, PauseHoldsThePictureAndPlayGoesOnFromThere) {
  auto item = Open();
  item->Play();
  clock_.now = 500;
  item->Pause();
  EXPECT_TRUE(item->IsPaused());
  EXPECT_NEAR(LeftAt(*item, 1500), Expected(500), 1.0);
  EXPECT_EQ(item->GetPosition(), 500);
  item->Play();
  EXPECT_NEAR(LeftAt(*item, 1700), Expected(700), 1.0);
}

TEST_P(VideoItemTest, SeekingShowsThePictureAtTheNewPosition) {
  auto item = Open();
  item->Play();
  clock_.now = 1700;
  EXPECT_NEAR(LeftAt(*item, 1700), Expected(1700), 1.0);
  item->SetPosition(300); // backwards
  EXPECT_NEAR(LeftAt(*item, 1700), Expected(300), 1.0);
  item->SetPosition(1420); // forwards
  EXPECT_NEAR(LeftAt(*item, 1900), Expected(1620), 1.0);
  // After the end, a seek clears the end and plays again.
  clock_.now = 4000;
  EXPECT_TRUE(item->IsEnd());
  item->SetPosition(0);
  EXPECT_FALSE(item->IsEnd());
  item->Play();
  EXPECT_NEAR(LeftAt(*item, 4260), Expected(260), 1.0);
}

TEST_P(VideoItemTest, RepeatingLoopsWithoutEnding) {
  auto item = Open();
  item->SetAutoRepeat(true);
  item->Play();
  for (int64_t t = 0; t <= 4600; t += 100) {
    clock_.now = t;
    EXPECT_FALSE(item->IsEnd()) << t;
  }
  // Each loop keeps the time it overran by, so the movie's time is the clock's modulo length.
  EXPECT_NEAR(LeftAt(*item, 4600), Expected(4600 % item->GetLength()), 1.0);
}

TEST_P(VideoItemTest, PicturesConvertIntoEverySurfaceFormatAndSize) {
  auto item = Open();
  item->Play();
  clock_.now = 1020;
  for (int bits : {32, 24, 16, 15}) {
    TDIBX same(176, 144, bits);
    ASSERT_TRUE(item->CopyPicture(same)) << bits;
    EXPECT_NEAR(SquareCentre(same), Expected(1020), 1.0) << bits;
    if (bits == 32) {
      // A keyed surface compares whole pixels: the unused byte stays 0.
      same.SetTransparentColor(0);
      ASSERT_TRUE(item->CopyPicture(same));
      EXPECT_EQ(same.GetPixel(5, 5) >> 24, 0u);
    }
    // A surface of another size gets the picture scaled.
    TDIBX half(88, 72, bits);
    ASSERT_TRUE(item->CopyPicture(half)) << bits;
    EXPECT_NEAR(SquareCentre(half) * 2 + 0.5, Expected(1020), 2.0) << bits;
  }
}

TEST_P(VideoItemTest, TheSoundTrackFollowsVolumeAndPan) {
  test::RecordingOutput output;
  auto item = Open(&output);
  ASSERT_EQ(output.sources.size(), 1u);
  EXPECT_EQ(output.Render(441), std::vector<int16_t>(882, 0)) << "silent before Play";
  item->Play();
  clock_.now = 100;
  item->Refresh();
  const auto full = output.Render(4410);
  EXPECT_GT(test::Loudness(full, 0), 3000);
  EXPECT_NEAR(test::Loudness(full, 0), test::Loudness(full, 1), 200);

  item->SetPan(10000); // right only
  clock_.now = 200;
  item->Refresh();
  const auto right = output.Render(4410);
  EXPECT_LT(test::Loudness(right, 0), 10);
  EXPECT_GT(test::Loudness(right, 1), 3000);

  item->SetPan(0);
  item->SetVolume(-5000);
  clock_.now = 300;
  item->Refresh();
  EXPECT_LT(test::Loudness(output.Render(4410), 1), 10);

  item->SetVolume(0);
  item->Pause();
  EXPECT_LT(test::Loudness(output.Render(4410), 0), 10) << "a paused movie is silent";
  item.reset();
  EXPECT_TRUE(output.sources.empty());
}

TEST_P(VideoItemTest, ManagerSuspendPausesOnlyPlayingItemsAndResumesThem) {
  TVideoManager manager(Context());
  auto playing = test::AddVideo(manager, ClipPath(GetParam()));
  auto paused = test::AddVideo(manager, ClipPath(GetParam()));
  playing->Play();
  paused->Play();
  clock_.now = 200;
  paused->Pause();
  manager.Suspend();
  EXPECT_FALSE(playing->IsPlaying());
  clock_.now = 900;
  manager.Resume();
  EXPECT_TRUE(playing->IsPlaying());
  EXPECT_FALSE(paused->IsPlaying());
  EXPECT_TRUE(paused->IsPaused());
  EXPECT_EQ(playing->GetPosition(), 200);
  paused.reset();
  EXPECT_EQ(manager.Items().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Clips, VideoItemTest, testing::ValuesIn(test::PatternClips()),
                         [](const auto& info) { return std::string(info.param.label); });

// Files that are no playable movie: each gives an item that shows nothing, ends when played
// and leaves one line naming the file.
TEST(VideoItemBadInput, DamagedFilesEndCleanlyWithOneLogLine) {
  const std::string clip = ClipPath(test::PatternClips()[0]);
  std::ifstream in(clip, std::ios::binary);
  const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string noise(20000, '\0');
  for (size_t i = 0; i < noise.size(); ++i)
    noise[i] = static_cast<char>((i * 7919 + 13) >> 3);
  const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(64, '\1');
  struct Case {
    const char* name;
    std::string bytes;
    TVideoLimits limits;
    bool opens;         // plays what it has and ends
    int64_t ends_by_ms; // the end comes with the data, whatever the header claims
  };
  TVideoLimits small;
  small.max_side = 100;
  const Case cases[] = {
      {"empty.wmv", "", {}, false, 0},
      {"noise.mpg", noise, {}, false, 0},
      {"picture.wmv", png, {}, false, 0},
      {"header_only.wmv", good.substr(0, 600), {}, false, 0},
      {"too_large.wmv", good, small, false, 0},
      {"truncated.wmv", good.substr(0, good.size() / 3), {}, true, 1400},
      {"scrambled.wmv",
       good.substr(0, 8000) + noise.substr(0, good.size() / 2) +
           good.substr(8000 + good.size() / 2),
       {},
       true,
       2200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (test::VideoScratch() / c.name).string();
    std::ofstream(path, std::ios::binary) << c.bytes;
    test::ManualClock clock;
    test::RecordingOutput output;
    std::vector<std::string> log;
    TVideoContext context{clock.Fn(), &output,
                          [&log](const std::string& line) { log.push_back(line); }, c.limits};
    TVideoManager manager(context);
    auto owned = test::AddVideo(manager, path);
    TVideoItem& item = *owned;
    EXPECT_EQ(item.Failed(), !c.opens);
    item.Play();
    TDIBX frame(std::max(1, item.GetSourceWidth()), std::max(1, item.GetSourceHeight()), 32);
    bool ended = false;
    for (clock.now = 0; clock.now <= 3000 && !ended; clock.now += 40) {
      item.NeedPaint();
      item.CopyPicture(frame);
      output.Render(1764);
      ended = item.IsEnd();
    }
    EXPECT_TRUE(ended);
    EXPECT_LE(clock.now, c.ends_by_ms + 40);
    if (!c.opens) {
      ASSERT_EQ(log.size(), 1u);
      EXPECT_NE(log[0].find(c.name), std::string::npos) << log[0];
      EXPECT_FALSE(item.CopyPicture(frame));
      EXPECT_TRUE(item.IsEnd()) << "stays ended";
    }
  }
}

TEST(VideoItemBadInput, AMissingTitleFileEndsWithTheFileManagersMessage) {
  std::vector<std::string> log;
  TVideoContext context;
  context.log = [&log](const std::string& line) { log.push_back(line); };
  TVideoManager manager(context);
  auto item = test::AddVideo(manager, "movie\\none.mpg");
  EXPECT_TRUE(item->Failed());
  EXPECT_FALSE(item->IsEnd()) << "not before it is played";
  item->Play();
  EXPECT_TRUE(item->IsEnd());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("movie\\none.mpg"), std::string::npos) << log[0];
}

} // namespace
} // namespace nova
