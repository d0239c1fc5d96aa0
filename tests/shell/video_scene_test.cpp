// SPDX-License-Identifier: MIT
// Video components playing real movies through the media system, as the player wires them:
// pictures in step with the game clock, the end event, blending under other components, and
// files that cannot play.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/run_state.h"
#include "graphics/dibx.h"
#include "media/media_system.h"
#include "media/video_manager.h"
#include "media/video_pattern.h"
#include "platform/audio_output.h"
#include "platform/clock.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "shell/media_library_adapter.h"

namespace nova {
namespace {

uint32_t Rgb(TCustomDIBX& s, int x, int y) { return s.PixelToColor(s.GetPixel(x, y)); }

class VideoScene : public testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ =
        std::filesystem::temp_directory_path() / ("nova_video_scene_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    WriteVideoPattern((dir_ / "op.mpg").string(), Pattern());
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }
  static TVideoPattern Pattern() {
    TVideoPattern p;
    p.codec = TVideoPatternCodec::Mpeg1;
    p.sound = false;
    return p;
  }

  void SetUp() override {
    ResetRunState();
    TMediaPlugins plugins;
    plugins.video = [this](TMediaContext& media) {
      TVideoContext context;
      context.audio = &media.output;
      context.log = [this](const std::string& line) { log.push_back(line); };
      return std::unique_ptr<TMediaManager>(new TVideoManager(context));
    };
    media = std::make_unique<TMediaSystem>(*output, clock, TMediaSettings{}, plugins);
    library = std::make_unique<TMediaLibraryAdapter>(*media);
    list.SetScreenSurface(&screen);
    list.SetMediaServices({library.get(), nullptr});
  }
  TNovaVideo* NewVideo(const std::string& source, bool overlay) {
    auto* v = CreateComponent<TNovaVideo>(&list);
    v->SetName("movie");
    v->SetParent(list.Front());
    v->SetProp(PR_OVERLAY, TPropValue::Flag(overlay));
    v->SetProp(PR_SOURCE, TPropValue::Str(source));
    v->SetProp(PR_ONPLAYEND, TPropValue::Str("after"));
    return v;
  }
  // One frame of `ms` at the game clock; answers the play-end events it queued.
  int Frame(int ms = 40) {
    RunState().GameClock += ms;
    RunState().FrameDelta = ms;
    output->RenderUntil(static_cast<uint64_t>(RunState().GameClock) * kAudioOutputRate / 1000);
    media->Update();
    list.UpdateStep();
    list.DrawStep();
    int ends = 0;
    for (int i = 0; i < list.Events().Count(); ++i)
      ends += list.Events().At(i).type == PR_ONPLAYEND;
    list.Events().Clear();
    return ends;
  }
  // The mean column of the square's red pixels on the screen.
  double SquareCentre() {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < screen.Height(); ++y)
      for (int x = 0; x < screen.Width(); ++x) {
        const uint32_t c = Rgb(screen, x, y);
        if ((c & 0xFF) > 150 && ((c >> 8) & 0xFF) < 100 && (c >> 16) < 100) {
          sum += x;
          ++count;
        }
      }
    return count ? sum / count : -1;
  }

  static inline std::filesystem::path dir_;
  std::vector<std::string> log;
  TVirtualClock clock;
  std::unique_ptr<IHeadlessAudioOutput> output = CreateHeadlessAudioOutput("");
  std::unique_ptr<TMediaSystem> media;
  std::unique_ptr<TMediaLibraryAdapter> library;
  TDIBX screen{320, 240, 32};
  TNovaBaseList list{320, 240};
};

TEST_F(VideoScene, PlaysInStepWithTheGameClockAndEndsOnce) {
  for (bool overlay : {false, true}) {
    SCOPED_TRACE(overlay ? "overlay" : "into surface");
    TNovaVideo* v = NewVideo((dir_ / "op.mpg").string(), overlay);
    v->SetLeft(100);
    v->Play();
    ASSERT_NE(v->Item(), nullptr);
    EXPECT_EQ(v->GetWidth(), 176);
    int ends = 0;
    const int64_t start = RunState().GameClock;
    while (RunState().GameClock - start < 1000)
      ends += Frame();
    // The square moves about 3 pixels per picture from x 8; the picture of 1 s is the 25th.
    EXPECT_NEAR(SquareCentre(), 100 + PatternSquareLeft(Pattern(), 24) + 7.5, 4.0);
    for (int i = 0; i < 60; ++i)
      ends += Frame();
    EXPECT_EQ(ends, 1) << "the end is reported once";
    EXPECT_NEAR(SquareCentre(), 100 + PatternSquareLeft(Pattern(), 49) + 7.5, 2.0)
        << "the last picture stays";
    v->SetPlayState(kPlayStop);
    Frame();
    EXPECT_TRUE(media->Manager(TMediaKind::Video)->Items().empty());
    list.Front()->Invalidate();
    Frame();
  }
  EXPECT_TRUE(log.empty());
}

TEST_F(VideoScene, PausingTheComponentHoldsThePicture) {
  TNovaVideo* v = NewVideo((dir_ / "op.mpg").string(), false);
  v->Play();
  for (int i = 0; i < 10; ++i)
    Frame();
  v->SetProp(PR_PAUSED, TPropValue::Flag(true));
  const double held = SquareCentre();
  for (int i = 0; i < 10; ++i)
    Frame();
  EXPECT_EQ(SquareCentre(), held);
  EXPECT_EQ(v->Item()->GetPosition(), 400);
  v->SetProp(PR_PAUSED, TPropValue::Flag(false));
  for (int i = 0; i < 5; ++i)
    Frame();
  EXPECT_EQ(v->Item()->GetPosition(), 600);
  EXPECT_GT(SquareCentre(), held + 10);
}

TEST_F(VideoScene, ABlendedBoxOverTheMovieMixesWithItsPicture) {
  TNovaVideo* v = NewVideo((dir_ / "op.mpg").string(), false);
  v->Play();
  Frame();
  const int x = static_cast<int>(SquareCentre()), y = PatternSquareTop(Pattern()) + 8;
  const uint32_t under = Rgb(screen, x, y);
  auto* box = CreateComponent<TNovaBox>(&list);
  box->SetParent(list.Front());
  box->SetBounds(0, 0, 320, 240);
  box->SetColor(0xFFFFFF);
  box->SetProp(PR_ALPHA, TPropValue::Int(128));
  list.DrawStep(); // same game time: the same picture under the box
  const uint32_t mixed = Rgb(screen, x, y);
  for (int shift : {0, 8, 16}) {
    const int u = (under >> shift) & 0xFF;
    EXPECT_NEAR((mixed >> shift) & 0xFF, (u * 127 + 255 * 128) >> 8, 1) << shift;
  }
}

TEST_F(VideoScene, AFileThatCannotPlayStaysBlankAndEndsSoScriptsGoOn) {
  const std::string bad = (dir_ / "damaged.mpg").string();
  std::ofstream(bad, std::ios::binary) << std::string(4096, '\x47');
  TNovaVideo* v = NewVideo(bad, false);
  v->SetLeft(10);
  v->Play();
  ASSERT_NE(v->Item(), nullptr);
  int ends = 0;
  for (int i = 0; i < 5; ++i)
    ends += Frame();
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(Rgb(screen, 10, 0), 0u) << "nothing drawn";
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("damaged.mpg"), std::string::npos) << log[0];
}

} // namespace
} // namespace nova
