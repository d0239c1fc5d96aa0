// SPDX-License-Identifier: MIT
// Films in scenes: value curves, chains, damaged links, wipe tracks switching pages, sound
// tracks, relative motions and cinemas that loop or play inside the main scene.
#include <gtest/gtest.h>

#include <fstream>

#include "graphics/film_file.h"
#include "image_fixture.h"
#include "media_fixture.h"
#include "scene/films/film_manager.h"
#include "scene/films/film_players.h"
#include "scene/kinds/cinema.h"
#include "scene/kinds/custom_image.h"

namespace nova::test {
namespace {

TEST(FilmMath, CurvesEndsAndFollowers) {
  // Linear over 3 frames: 0, 5, 10 (integers) and 0, 3.33, 10 (floating).
  EXPECT_EQ(FilmInterpolate(0, 10, 0, 3, 0), 0);
  EXPECT_EQ(FilmInterpolate(0, 10, 1, 3, 0), 5);
  EXPECT_EQ(FilmInterpolate(0, 10, 2, 3, 0), 10);
  EXPECT_DOUBLE_EQ(FilmInterpolate(0.0, 10.0, 1, 3, 0), 10.0 / 3);
  EXPECT_DOUBLE_EQ(FilmInterpolate(0.0, 10.0, 2, 3, 0), 10.0);
  // With a follower the span is one longer: the last frame stops short of the end value.
  EXPECT_EQ(FilmInterpolate(0, 10, 2, 4, 0), 6);
  // Truncation toward zero for falling values.
  EXPECT_EQ(FilmInterpolate(0, -10, 1, 4, 0), -3);
  // Slow start and slow end: e - round(d sin((n-p-1)π/2n)) and s + round(d sin(pπ/2n)).
  EXPECT_EQ(FilmInterpolate(0, 100, 1, 4, 1), 100 - 71);
  EXPECT_EQ(FilmInterpolate(0, 100, 1, 4, 2), 38);
  EXPECT_EQ(FilmInterpolate(0, 100, 2, 4, 7), 71);
  // Extreme values never overflow.
  EXPECT_EQ(FilmInterpolate(INT32_MIN, INT32_MAX, 1, 3, 0), -1);
  EXPECT_EQ(FilmInterpolate(0, INT32_MAX, INT32_MAX - 2, INT32_MAX, 0), INT32_MAX - 2);
}

TEST(FilmMath, OpacityColourAndCrop) {
  struct Case {
    int32_t s, e;
    int64_t p, n;
    int32_t expected;
  } opacities[] = {
      {0, 0, 1, 3, 255},       // both 0: opaque
      {0, 55, 1, 3, 155},      // 0 stands for 255
      {-100, -100, 1, 3, 356}, // additive, strength 100
      {100, -100, 2, 3, 356},  {10, 20, 0, 3, 10},
  };
  for (const Case& c : opacities)
    EXPECT_EQ(FilmOpacity(c.s, c.e, c.p, c.n), c.expected) << c.s << " " << c.e << " " << c.p;
  // Each channel on its own.
  EXPECT_EQ(FilmColor(0x0000FF, 0xFF0000, 1, 3), 0x7F0080); // red 255 - 127, blue 127
  EXPECT_EQ(FilmColor(0x123456, 0x123456, 1, 3), 0x123456);
  // A crop size below 1 is no crop.
  TFilmCrop crop{{2, 4}, {0, 10}, {6, 8}, {20, 10}, 0, 0};
  EXPECT_EQ(FilmCrop(crop, 0, 3).width, 0);
  const TFilmClip mid = FilmCrop(crop, 1, 3);
  EXPECT_EQ(mid.left, 4);
  EXPECT_EQ(mid.top, 6);
  EXPECT_EQ(mid.width, 10);
  EXPECT_EQ(mid.height, 10);
}

class FilmScene : public ImageScene {
protected:
  void SetUp() override {
    ImageScene::SetUp();
    WriteWisp("red.wsp", {SolidFrame(4, 4, 0xFF0000, 100, false)});
  }

  void WriteFilmFile(const std::string& name, const TFilmFile& film) {
    const std::vector<uint8_t> bytes = WriteFilm(film);
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }

  std::unique_ptr<TFilmManager> Load(const TFilmFile& film) {
    auto m = std::make_unique<TFilmManager>();
    m->SetResources(&cache_, &files_);
    m->LoadFromBytes(WriteFilm(film), "f.nmt");
    m->SetScene(list_.get());
    return m;
  }

  // The film's own components in the scene (names starting with 0x01).
  std::vector<TNovaControl*> FilmControls() {
    std::vector<TNovaControl*> out;
    for (int i = 0; i < list_->GetObjectCount(); ++i) {
      TNovaObject* o = list_->GetObject(i);
      if (o->IsSystem() && o->AsControl() && !list_->IsPendingDelete(o))
        out.push_back(o->AsControl());
    }
    return out;
  }

  static TFilmTrack ImageTrack(TFilmPoint from, TFilmPoint to, int32_t length) {
    TFilmTrack t;
    t.kind = fkImage;
    t.source = "red.wsp";
    t.length = length;
    t.start_pos = from;
    t.end_pos = to;
    return t;
  }
};

TEST_F(FilmScene, ChainOfThreeTracksMovesOneImageContinuously) {
  TFilmFile film;
  film.width = kW;
  film.height = kH;
  film.tracks = {ImageTrack({0, 0}, {90, 0}, 10), ImageTrack({}, {90, 90}, 10),
                 ImageTrack({}, {0, 90}, 10)};
  film.tracks[1].predecessor = 0;
  film.tracks[2].predecessor = 1;
  // Own starts of chained tracks are ignored.
  film.tracks[2].start = 500;
  auto m = Load(film);
  ASSERT_EQ(m->Length(), 30);
  EXPECT_EQ(m->Track(1)->StartFrame(), 10);
  EXPECT_EQ(m->Track(2)->StartFrame(), 20);
  TFilmPoint last{0, 0};
  for (int f = 0; f < 30; ++f) {
    m->SetFrame(f);
    const std::vector<TNovaControl*> shown = FilmControls();
    ASSERT_EQ(shown.size(), 1u) << "frame " << f;
    const TFilmPoint now{shown[0]->Left(), shown[0]->Top()};
    EXPECT_LE(std::abs(now.x - last.x) + std::abs(now.y - last.y), 10) << "frame " << f;
    last = now;
    if (f == 9) // a track with a follower stops one step short of its end value
      EXPECT_EQ(now, (TFilmPoint{81, 0}));
    if (f == 10) // the follower starts from it
      EXPECT_EQ(now, (TFilmPoint{90, 0}));
  }
  EXPECT_EQ(last, (TFilmPoint{0, 90})); // the last track reaches its end
  m->SetFrame(30);
  EXPECT_TRUE(FilmControls().empty());

  // What a frame shows is drawn: frame 15 puts the 4 × 4 picture at (90, 45).
  m->SetFrame(15);
  list_->UpdateStep();
  list_->DrawStep();
  EXPECT_EQ(At(91, 46), Rgb(255, 0, 0));
  EXPECT_NE(At(89, 44), Rgb(255, 0, 0));
}

TEST_F(FilmScene, DamagedLinksAndLengthsStaySafe) {
  TFilmFile film;
  film.tracks = {ImageTrack({}, {}, 5), ImageTrack({}, {}, 5), ImageTrack({}, {}, 5),
                 ImageTrack({}, {}, INT32_MAX), ImageTrack({}, {}, -7)};
  film.tracks[0].predecessor = 0; // itself
  film.tracks[1].predecessor = 2; // a cycle of two
  film.tracks[2].predecessor = 1;
  film.tracks[3].predecessor = 99; // outside the film
  film.tracks[3].start = 10;
  film.tracks[4].source = "missing.wsp";
  // A sound chained after a picture shares nothing with it; a box whose corners leave 32 bits.
  TFilmTrack sound;
  sound.kind = fkSound;
  sound.predecessor = 4;
  TFilmTrack box;
  box.kind = fkBox;
  box.start_pos = box.end_pos = {INT32_MAX - 1, INT32_MIN};
  box.start_width = box.end_width = INT32_MAX;
  box.start_height = box.end_height = INT32_MIN;
  film.tracks.push_back(sound);
  film.tracks.push_back(box);
  auto m = Load(film);
  EXPECT_EQ(m->Track(5)->ChainHead(), m->Track(5));
  m->Start();
  m->SetFrame(0);
  for (int i = 0; i < 3; ++i)
    EXPECT_LE(m->Track(i)->StartFrame(), 5) << i;
  EXPECT_EQ(m->Track(3)->Predecessor(), nullptr);
  EXPECT_EQ(m->Length(), INT32_MAX);
  EXPECT_TRUE(m->Track(4)->Cells().empty());
  m->SetFrame(INT32_MAX - 1);
  m->SetFrame(0);
  EXPECT_EQ(m->CurrentFrame(), 0);
}

// Records what the scene asks of transitions.
struct TransitionLog {
  std::vector<int> kinds;
  std::vector<int32_t> steps;
  int32_t duration = 0;
  std::optional<int32_t> param0;
};

class LoggedTransition : public ISceneTransition {
public:
  explicit LoggedTransition(TransitionLog& log) : log_(log) {}
  int32_t Duration() const override { return log_.duration; }
  void SetDuration(int32_t d) override { log_.duration = d; }
  void SetStep(int32_t t) override { log_.steps.push_back(t); }
  void Start(const TTransitionOptions& o) override { log_.param0 = o.param0; }
  TSceneRect Draw() override { return {}; }

private:
  TransitionLog& log_;
};

TEST_F(FilmScene, WipeTrackDrivesThePagesForItsSpan) {
  TransitionLog log;
  list_->SetTransitionFactory([&](int kind, TCustomDIBX&, TCustomDIBX&, TCustomDIBX&) {
    log.kinds.push_back(kind);
    return std::make_unique<LoggedTransition>(log);
  });
  TFilmFile film;
  film.width = kW;
  film.height = kH;
  TFilmTrack wipe;
  wipe.kind = fkWipe;
  wipe.wipe_kind = 4;
  wipe.param0 = 33;
  wipe.start = 20;
  wipe.length = 10;
  film.tracks = {wipe, ImageTrack({}, {}, 5), ImageTrack({}, {}, 5), ImageTrack({}, {}, 5)};
  film.tracks[1].start = 28;
  film.tracks[2].start = 29;
  film.tracks[3].start = 28;
  film.tracks[3].next_page = 1;
  auto m = Load(film);
  EXPECT_TRUE(m->NeedsOwnScene());
  EXPECT_EQ(m->PageOf(*m->Track(1)), 0);
  EXPECT_EQ(m->PageOf(*m->Track(2)), 1); // the wipe has reached its last frame
  EXPECT_EQ(m->PageOf(*m->Track(3)), 1); // next-page flag
  m->Start();
  for (int f = 18; f < 32; ++f) {
    m->SetFrame(f);
    EXPECT_EQ(list_->TransitionRunning(), f >= 20 && f < 30) << f;
    EXPECT_EQ(list_->FrontIndex(), f >= 30 ? 1 : 0) << f;
  }
  EXPECT_EQ(log.kinds, std::vector<int>{4}); // made once, at the track's first frame
  EXPECT_EQ(log.duration, 10);
  EXPECT_EQ(log.param0, 33);
  std::vector<int32_t> expected;
  for (int i = 0; i < 10; ++i)
    expected.push_back(i);
  EXPECT_EQ(log.steps, expected);
  // Going back into the span starts the transition afresh.
  m->SetFrame(25);
  EXPECT_EQ(log.kinds.size(), 2u);
}

TEST_F(FilmScene, SoundTracksRepeatWhenLongerThanTheirSound) {
  FakeMediaLibrary media;
  media.lengths["se.ogg"] = 2000;
  media.Serve(*list_);
  struct Case {
    int32_t track_frames, film_frames, loop_start;
    bool repeat;
  } cases[] = {
      {300, 300, 0, true},   // 5 s of track over a 2 s sound
      {100, 100, 0, false},  // 1.67 s: shorter than the sound
      {100, 100, 50, true},  // ends the film and spans the loop start
      {100, 200, 50, false}, // spans the loop start but does not end the film
  };
  for (const Case& c : cases) {
    TFilmFile film;
    film.loop_start = c.loop_start;
    TFilmTrack sound;
    sound.kind = fkSound;
    sound.source = "se.ogg";
    sound.length = c.track_frames;
    sound.start_volume = sound.end_volume = 500;
    TFilmTrack tail = ImageTrack({}, {}, c.film_frames);
    film.tracks = {sound, tail};
    auto m = Load(film);
    m->Start();
    auto* component = m->Track(0)->Component();
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->GetKind(), LT_SOUND);
    EXPECT_EQ(component->GetProp(PR_REPEAT).f, c.repeat) << c.track_frames << " " << c.loop_start;
    // Opened, not playing, until the film reaches the track.
    ASSERT_TRUE(media.items.count("se.ogg"));
    EXPECT_FALSE(media.items["se.ogg"]->playing);
    m->SetFrame(1);
    EXPECT_TRUE(media.items["se.ogg"]->playing);
    EXPECT_EQ(component->GetProp(PR_VOLUME).i, 500);
    // Going back pauses it.
    m->SetFrame(0);
    m->SetPlaying(false);
    EXPECT_FALSE(media.items["se.ogg"]->playing);
  }
}

TEST_F(FilmScene, ParticleChainSharesOneEmitterWithTheFilmsEmission) {
  TFilmTrack first;
  first.kind = fkParticle;
  first.source = "red.wsp";
  first.motion_type = PM_SNOW;
  first.length = 20;
  first.start_emission = first.end_emission = {30, 40};
  first.start_interval = first.end_interval = 1000;
  TFilmTrack second = first;
  second.predecessor = 0;
  TFilmFile film;
  film.tracks = {first, second};
  auto m = Load(film);
  m->SetFrame(0);
  TNovaObject* emitter = m->Track(0)->Component();
  ASSERT_NE(emitter, nullptr);
  RunState().FrameDelta = 16;
  for (int f = 1; f < 30; ++f) {
    m->SetFrame(f);
    list_->UpdateStep();
    // The follower drives the first track's emitter.
    ASSERT_EQ(m->Track(0)->Component(), emitter) << f;
    EXPECT_EQ(m->Track(1)->Component(), nullptr);
  }
  // One spawn a second: the film's interval, not the default of a command without one.
  EXPECT_EQ(static_cast<TNovaParticle*>(emitter)->Particles().size(), 1u);
  // Past the chain the emitter goes.
  m->SetFrame(40);
  EXPECT_EQ(m->Track(0)->Component(), nullptr);
  EXPECT_TRUE(list_->IsPendingDelete(emitter));
}

TEST_F(FilmScene, RelativeMotionMovesAButtonFromWhereItStood) {
  TFilmFile film;
  film.relative = 1;
  film.origin = {10, 10};
  film.tracks = {ImageTrack({10, 10}, {30, 14}, 3)};
  film.tracks[0].priority = 5;
  WriteFilmFile("m.nmt", film);
  auto* button = CreateComponent<TNovaButton>(list_.get());
  button->SetParent(list_->Front());
  button->SetLeft(100);
  button->SetTop(50);
  button->SetPriority(2);
  auto motion =
      std::make_unique<TNovaMotion>(*button, LoadMotionFilm(files_, &cache_, *button, "m.nmt"));
  motion->Advance(0);
  EXPECT_EQ(button->MotionX(), 100);
  EXPECT_EQ(button->MotionY(), 50);
  EXPECT_EQ(button->GetPriorityOffset(), 5);
  EXPECT_EQ(button->GetPriority(), 2);
  for (int i = 0; i < 3; ++i)
    motion->Advance(17);
  EXPECT_EQ(button->MotionX(), 120);
  EXPECT_EQ(button->MotionY(), 54);
  // The film took the button's size from its picture and no component of its own.
  EXPECT_EQ(button->GetWidth(), 4);
  EXPECT_TRUE(FilmControls().empty());
  // The film's pictures go with it; the button no longer shows them.
  motion.reset();
  list_->DrawStep();
  EXPECT_NE(button->GetSurface(), nullptr);
}

class FilmCinema : public FilmScene {
protected:
  void SetUp() override {
    FilmScene::SetUp();
    list_->SetMediaServices({nullptr, [this](const std::string& file, int32_t volume) {
                               return LoadCinemaFilm(files_, &cache_, file, volume);
                             }});
  }
  TNovaCinema* NewCinema(const std::string& source, bool repeat) {
    auto* cinema = CreateComponent<TNovaCinema>(list_.get());
    cinema->SetName("movie");
    cinema->SetParent(list_->Front());
    cinema->SetBounds(0, 0, kW, kH);
    cinema->SetProp(PR_REPEAT, TPropValue::Flag(repeat));
    cinema->SetProp(PR_SOURCE, TPropValue::Str(source));
    return cinema;
  }
  void Step(int ms) {
    RunState().FrameDelta = ms;
    list_->UpdateStep();
  }
};

TEST_F(FilmCinema, LoopingFilmPlaysInsideTheMainScene) {
  TFilmFile film;
  film.width = 50;
  film.height = 40;
  film.loop_start = 5;
  film.tracks = {ImageTrack({0, 0}, {90, 0}, 10)};
  WriteFilmFile("loop.nmt", film);
  TNovaCinema* cinema = NewCinema("loop.nmt", true);
  ASSERT_NE(cinema->Film(), nullptr);
  EXPECT_FALSE(cinema->Film()->OwnScene());
  EXPECT_EQ(cinema->GetWidth(), 50);
  bool wrapped = false;
  int previous = -1;
  for (int i = 0; i < 40; ++i) {
    Step(17);
    const int frame = cinema->Film()->CurrentFrame();
    ASSERT_GE(frame, 0);
    ASSERT_LT(frame, 10);
    if (frame < previous) {
      wrapped = true;
      EXPECT_GE(frame, 5) << "a loop resumes at the loop start";
    }
    previous = frame;
  }
  EXPECT_TRUE(wrapped);
  // The track's picture is the cinema's child, named after it.
  const std::vector<TNovaControl*> shown = FilmControls();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]->Parent(), cinema);
  EXPECT_EQ(shown[0]->GetName().rfind("\x01movie\x01", 0), 0u);
}

TEST_F(FilmCinema, WipeTrackSwitchesThePrivateScenesPages) {
  TransitionLog log;
  list_->SetTransitionFactory([&](int kind, TCustomDIBX&, TCustomDIBX&, TCustomDIBX&) {
    log.kinds.push_back(kind);
    return std::make_unique<LoggedTransition>(log);
  });
  TFilmFile film;
  film.width = 40;
  film.height = 30;
  TFilmTrack wipe;
  wipe.kind = fkWipe;
  wipe.start = 2;
  wipe.length = 3;
  film.tracks = {wipe, ImageTrack({}, {}, 8)};
  film.tracks[1].next_page = 1;
  WriteFilmFile("wipe.nmt", film);
  TNovaCinema* cinema = NewCinema("wipe.nmt", false);
  ASSERT_NE(cinema->Film(), nullptr);
  EXPECT_TRUE(cinema->Film()->OwnScene());
  TNovaBaseList& own = cinema->Scene();
  EXPECT_EQ(own.SceneWidth(), 40);
  for (int i = 0; i < 8; ++i)
    Step(17);
  EXPECT_GE(cinema->Film()->CurrentFrame(), 5);
  // The main scene's transitions ran in the private scene.
  EXPECT_EQ(log.kinds, std::vector<int>{1});
  // After the wipe the next page is in front, with the picture on it.
  EXPECT_EQ(own.FrontIndex(), 1);
  bool on_front = false;
  for (TNovaControl* c : own.Front()->Children())
    on_front |= c->IsSystem();
  EXPECT_TRUE(on_front);
}

} // namespace
} // namespace nova::test
