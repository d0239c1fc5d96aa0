// SPDX-License-Identifier: MIT
// The cinema: playing a film by the game clock, its end, and input to its private scene.
#include <gtest/gtest.h>

#include "media_fixture.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

struct FilmLog {
  int frames = 10;
  int current = -1;
  std::vector<int> seeks;
  bool paused = false;
};

class LoggedFilm : public ICinemaFilm {
public:
  explicit LoggedFilm(FilmLog& log) : log_(log) {}
  int FrameCount() const override { return log_.frames; }
  int LoopStart() const override { return 0; }
  int CurrentFrame() const override { return log_.current; }
  int Width() const override { return 64; }
  int Height() const override { return 48; }
  bool OwnScene() const override { return true; }
  void Attach(TNovaBaseList&) override {}
  void Start() override {}
  void Seek(int frame) override {
    log_.current = frame;
    log_.seeks.push_back(frame);
  }
  void SetPaused(bool paused) override { log_.paused = paused; }
  void SetVolume(int32_t) override {}

private:
  FilmLog& log_;
};

class CinemaTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    list.SetMediaServices({nullptr, [this](const std::string&, int32_t) {
                             return std::make_unique<LoggedFilm>(log);
                           }});
    cinema = CreateComponent<TNovaCinema>(&list);
    cinema->SetName("c");
    cinema->SetParent(list.Front());
    cinema->SetProp(PR_ONPLAYEND, TPropValue::Str("end"));
    cinema->SetProp(PR_SOURCE, TPropValue::Str("f.nmt"));
  }
  void Step(int ms) {
    RunState().FrameDelta = ms;
    list.UpdateStep();
  }
  FilmLog log;
  TNovaBaseList list{200, 100};
  TNovaCinema* cinema = nullptr;
};

TEST_F(CinemaTest, PlaysByTheClockAndEndsOnTheLastFrameOnce) {
  Step(0);
  Step(0);
  for (int i = 0; i < 10; ++i)
    Step(15);
  EXPECT_EQ(log.current, 9) << "frame 9 at 150 ms";
  EXPECT_TRUE(Drain(list).empty());
  Step(17);
  EXPECT_EQ(log.current, 9);
  EXPECT_TRUE(cinema->Ended());
  Step(16);
  Step(16);
  EXPECT_EQ(Drain(list), (std::vector<std::string>{"end"}));
  EXPECT_FALSE(cinema->GetProp(PR_PLAYING).f);
}

TEST_F(CinemaTest, RepeatWrapsAndAJumpSeeksAgain) {
  cinema->SetProp(PR_REPEAT, TPropValue::Flag(true));
  Step(0);
  Step(0);
  for (int i = 0; i < 12; ++i)
    Step(16);
  EXPECT_LT(log.current, 5);
  EXPECT_FALSE(cinema->Ended());
  cinema->SetProp(PR_INDEX, TPropValue::Int(7));
  log.seeks.clear();
  Step(16);
  EXPECT_EQ(log.seeks, (std::vector<int>{7})) << "a jump seeks even to the same frame";
  cinema->SetProp(PR_PAUSED, TPropValue::Flag(true));
  EXPECT_TRUE(log.paused);
}

TEST_F(CinemaTest, ClicksReachThePrivateSceneAsEventsOfTheCinema) {
  cinema->SetBounds(20, 10, 0, 0);
  cinema->SetProp(PR_WIDTH, TPropValue::Int(64));
  cinema->SetProp(PR_HEIGHT, TPropValue::Int(48));
  TNovaBox* inside = NewBox(cinema->Scene(), "inside", 5, 5, 10, 10);
  inside->SetHandler(chLBtnDown, "pressed");
  list.SetPointer(27, 17);
  list.PressButton(false);
  list.SetButtonHeld(false, true);
  Frame(list);
  ASSERT_EQ(list.Events().Count(), 1);
  EXPECT_EQ(list.Events().At(0).handler, "pressed");
  EXPECT_EQ(list.Events().At(0).component, cinema);
  EXPECT_EQ(list.Events().At(0).params, (std::vector<std::string>{"2", "2"}));
}

// Films place network, media and image components into the private scene; they must reach
// what the host scene has installed, even when it was installed after the cinema was made.
TEST_F(CinemaTest, ThePrivateSceneUsesTheHostsServices) {
  list.SetHttpGet([](const std::string& url, const std::string&) { return "got " + url; });
  auto* http = CreateComponent<TNovaHttp>(&cinema->Scene());
  http->SetProp(PR_SOURCE, TPropValue::Str("u"));
  http->WaitForRequest();
  http->Update();
  EXPECT_EQ(http->Body(), "got u");
}

} // namespace
} // namespace nova::test
