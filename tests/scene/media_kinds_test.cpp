// SPDX-License-Identifier: MIT
// Sounds and videos against a media library that only records: volumes, fades, play states,
// the end of playback and what survives saving.
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "media_fixture.h"
#include "scene/kinds/media_fader.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

TEST(MediaVolume, ComponentVolumeToItemVolume) {
  const struct {
    const char* source;
    int32_t volume, item;
  } cases[] = {
      {"a.ogg", 1000, 0},    {"a.ogg", 500, -2500}, {"a.ogg", 1, -4995},
      {"a.ogg", 0, -10000},  {"a.ogg", -7, -10000}, {"a.ogg", 1500, 0},
      {"b.MID", 500, -5000}, {"b.sgt", 0, -10000},  {"b.mid", 1000, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ItemVolume(c.source, c.volume), c.item) << c.source << " " << c.volume;
}

TEST(MediaFader, FadeInCoversTheUpperHalfForWavesAndAllOfMidi) {
  auto state = std::make_shared<FakeItemState>();
  FakeItem item(state);
  TNovaMixerFadein wave(&item, false, 0, 1000);
  EXPECT_FALSE(wave.Step(100));
  EXPECT_TRUE(state->playing);
  EXPECT_EQ(state->volume, -10000);
  EXPECT_FALSE(wave.Step(100));
  EXPECT_EQ(state->volume, -5000) << "starts at the midpoint";
  EXPECT_FALSE(wave.Step(600));
  EXPECT_EQ(state->volume, -2500);
  EXPECT_TRUE(wave.Step(1100));
  EXPECT_EQ(state->volume, 0);

  TNovaMixerFadein midi(&item, true, 0, 1000);
  midi.Step(0);
  midi.Step(500);
  EXPECT_EQ(state->volume, -5000);

  state->volume = -1000;
  TNovaMixerFadeout out(&item, false, 1000);
  out.Step(0);
  out.Step(500);
  EXPECT_EQ(state->volume, -1000 + (-9000 / 2) * 500 / 1000) << "the lower half is skipped";
  EXPECT_TRUE(out.Step(1000));
  EXPECT_EQ(state->volume, -10000);
}

class SoundTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    media.lengths = {{"short.wav", 2000}, {"long.ogg", 60000}};
    media.Serve(list);
    media.Serve(other);
  }
  TNovaSound* NewSound(const std::string& name, const std::string& source, int fade = 0) {
    auto* s = CreateComponent<TNovaSound>(&list);
    s->SetName(name);
    s->SetProp(PR_SOURCE, TPropValue::Str(source));
    s->SetProp(PR_DELAY, TPropValue::Int(fade));
    s->SetProp(PR_VOLUME, TPropValue::Int(500));
    return s;
  }
  TNovaSound* Reload(TNovaSound* s, int version = 143) {
    BinaryWriter w;
    s->Save(w);
    const std::vector<uint8_t> bytes = w.Take();
    auto* copy = CreateComponent<TNovaSound>(&other);
    BinaryReader r(bytes, "save.dat");
    copy->Load(r, version);
    return copy;
  }
  FakeMediaLibrary media;
  TNovaBaseList list{10, 10}, other{10, 10};
};

TEST_F(SoundTest, PlaysAtOnceWithoutFadeTime) {
  TNovaSound* s = NewSound("s", "long.ogg");
  s->Play();
  ASSERT_NE(s->Item(), nullptr);
  EXPECT_TRUE(media.items["long.ogg"]->playing);
  EXPECT_EQ(media.items["long.ogg"]->volume, -2500);
  EXPECT_EQ(s->PlayState(), kPlayNow) << "a fade-in without fade time starts now";
}

TEST_F(SoundTest, MissingFileWithAutoScrapDeletesItself) {
  TNovaSound* s = NewSound("s", "none.ogg");
  s->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  s->Play();
  EXPECT_TRUE(s->IsPendingDelete());
}

TEST_F(SoundTest, EndOfPlaybackRepeatsQueuesOrEnds) {
  TNovaSound* s = NewSound("s", "long.ogg");
  s->SetProp(PR_ONPLAYEND, TPropValue::Str("done"));
  s->Play();
  auto item = media.items["long.ogg"];
  item->end = true;
  item->position = 59999;
  s->SetProp(PR_REPEAT, TPropValue::Flag(true));
  EXPECT_EQ(item->position, 0) << "told to repeat at its end, it starts again";
  item->end = true;
  RunState().FrameDelta = 16;
  list.UpdateStep();
  EXPECT_TRUE(Drain(list).empty());
  s->SetProp(PR_REPEAT, TPropValue::Flag(false));
  item->end = true;
  list.UpdateStep();
  EXPECT_EQ(Drain(list), (std::vector<std::string>{"done"}));
  EXPECT_TRUE(s->Ended());
  s->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  item->end = true;
  list.UpdateStep();
  EXPECT_EQ(list.FindByName("s"), nullptr);
}

TEST_F(SoundTest, FadeOutRenamesSoANewSoundCanTakeTheName) {
  TNovaSound* old_sound = NewSound("bgm", "long.ogg", 1000);
  old_sound->Play();
  old_sound->SetPlayState(kPlayFadeOut);
  EXPECT_EQ(old_sound->GetName(), std::string("\x01SCRAP_bgm"));
  TNovaSound* fresh = NewSound("bgm", "long.ogg");
  EXPECT_FALSE(old_sound->IsPendingDelete());
  EXPECT_EQ(list.FindByName("bgm"), fresh);
  for (int t = 0; t <= 1200; t += 100) {
    RunState().GameClock = t;
    RunState().FrameDelta = 100;
    list.UpdateStep();
  }
  EXPECT_FALSE(list.IsRegistered(old_sound)) << "a finished fade-out ends the sound";
}

TEST_F(SoundTest, ShortSoundsAreSavedStopped) {
  const struct {
    const char* source;
    bool repeat;
    bool plays_after_load;
  } cases[] = {
      {"short.wav", false, false},
      {"short.wav", true, true},
      {"long.ogg", false, true},
  };
  for (const auto& c : cases) {
    TNovaSound* s = NewSound("s", c.source);
    s->SetProp(PR_REPEAT, TPropValue::Flag(c.repeat));
    s->Play();
    TNovaSound* loaded = Reload(s);
    EXPECT_EQ(loaded->Item() != nullptr, c.plays_after_load) << c.source << " " << c.repeat;
    EXPECT_EQ(loaded->PlayState(), c.plays_after_load ? kPlayNow : kPlayStop);
  }
}

TEST_F(SoundTest, LoadRules) {
  TNovaSound* s = NewSound("s", "long.ogg");
  s->Play();
  media.items["long.ogg"]->position = 4000;
  s->SetProp(PR_MUTEONLOAD, TPropValue::Flag(true));
  TNovaSound* muted = Reload(s);
  EXPECT_EQ(muted->GetProp(PR_VOLUME).i, 0);
  EXPECT_EQ(media.items["long.ogg"]->position, 4000) << "continues where it was";
  EXPECT_EQ(media.items["long.ogg"]->volume, -10000);

  s->SetProp(PR_MUTEONLOAD, TPropValue::Flag(false));
  s->SetProp(PR_REWINDONLOAD, TPropValue::Flag(true));
  media.items["long.ogg"]->position = 4000;
  Reload(s);
  EXPECT_EQ(media.items["long.ogg"]->position, 0);

  s->SetProp(PR_REWINDONLOAD, TPropValue::Flag(false));
  s->SetProp(PR_ANIPAUSED, TPropValue::Flag(true));
  TNovaSound* paused = Reload(s);
  EXPECT_TRUE(media.items["long.ogg"]->paused) << "a paused sound is paused again";
  EXPECT_TRUE(paused->GetProp(PR_ANIPAUSED).f);
}

TEST_F(SoundTest, FadingOutOrEndedSoundsAfterLoading) {
  TNovaSound* fading = NewSound("f", "long.ogg", 500);
  fading->Play();
  fading->SetPlayState(kPlayFadeOut);
  TNovaSound* loaded = Reload(fading);
  EXPECT_EQ(loaded->PlayState(), kPlayNow) << "a saved fade-out plays after loading";
  EXPECT_TRUE(media.items["long.ogg"]->playing);
  EXPECT_EQ(loaded->GetProp(PR_DELAY).i, 500);

  TNovaSound* ended = NewSound("e", "long.ogg");
  ended->Play();
  media.items["long.ogg"]->end = true;
  RunState().FrameDelta = 16;
  list.UpdateStep();
  ASSERT_TRUE(ended->Ended());
  TNovaSound* after = Reload(ended);
  EXPECT_EQ(after->Item(), nullptr) << "an ended sound keeps its state only";
  EXPECT_TRUE(after->Ended());
}

TEST(Video, ItemSizeTheFrameAndTheFadeOutTakesTheItem) {
  ResetRunState();
  FakeMediaLibrary media;
  media.lengths = {{"op.mpg", 5000}};
  TNovaBaseList list(200, 100);
  media.Serve(list);
  auto* v = CreateComponent<TNovaVideo>(&list);
  v->SetName("v");
  v->SetParent(list.Front());
  v->SetProp(PR_FLOATZOOMX, TPropValue::Real(2.0L));
  v->SetProp(PR_SOURCE, TPropValue::Str("op.mpg"));
  v->SetProp(PR_OVERLAY, TPropValue::Flag(false));
  v->Play();
  ASSERT_NE(v->Item(), nullptr);
  EXPECT_EQ(v->GetWidth(), 80);
  EXPECT_EQ(v->GetHeight(), 30);
  auto item = media.items["op.mpg"];
  EXPECT_TRUE(item->playing);
  v->SetProp(PR_DELAY, TPropValue::Int(300));
  v->SetPlayState(kPlayFadeOut);
  EXPECT_EQ(v->Item(), nullptr) << "the fader holds the item now";
  EXPECT_TRUE(item->alive);
  for (int t = 0; t <= 400; t += 100) {
    RunState().GameClock = t;
    RunState().FrameDelta = 100;
    list.UpdateStep();
  }
  EXPECT_FALSE(item->alive);
  EXPECT_EQ(list.FindByName("v"), nullptr);
}

TEST(Video, OverlayWindowFollowsTheComponent) {
  ResetRunState();
  FakeMediaLibrary media;
  media.lengths = {{"op.mpg", 5000}};
  TNovaBaseList list(200, 100);
  media.Serve(list);
  auto* v = CreateComponent<TNovaVideo>(&list);
  v->SetParent(list.Front());
  v->SetProp(PR_SOURCE, TPropValue::Str("op.mpg"));
  v->Play();
  auto item = media.items["op.mpg"];
  EXPECT_TRUE(item->visible);
  v->SetLeft(500);
  EXPECT_FALSE(item->visible) << "nothing of it is inside its parent";
  v->SetLeft(10);
  EXPECT_TRUE(item->visible);
}

} // namespace
} // namespace nova::test
