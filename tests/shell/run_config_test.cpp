// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "shell/form_config.h"
#include "shell/ini_file.h"
#include "shell/run_config.h"
#include "shell/test_files.h"

namespace nova {
namespace {

using test::ReadAll;
using test::TestDir;

// One game.ini in, what the player uses and what the dialog shows and saves on OK.
TEST(RunConfig, GameIniCases) {
  struct Case {
    const char* name;
    const char* ini; // nullptr: no file
    bool direct_sound;
    int player_delay;
    bool use_wmp;
    bool default_only;
    int dialog_position;
    const char* dialog_label;
    int saved_delay;
  };
  const Case cases[] = {
      {"missing", nullptr, true, 500, false, false, 5, "500ms", 500},
      {"empty", "", true, 500, false, false, 5, "500ms", 500},
      {"rounds down", "[Sound]\nDelayTime=250\n", true, 200, false, false, 2, "200ms", 200},
      {"clamps high", "[Sound]\nDelayTime=900\n", true, 500, false, false, 5, "500ms", 500},
      {"clamps low", "[Sound]\nDelayTime=50\n", true, 100, false, false, 1, "100ms", 100},
      {"negative", "[Sound]\nDelayTime=-250\n", true, 100, false, false, 1, "100ms", 100},
      {"not a number", "[Sound]\nDelayTime=fast\nDirectSound=yes\n", true, 500, false, false, 5,
       "500ms", 500},
      {"all keys",
       "[sound]\ndirectsound = 0\nDelayTime=300\n[Video]\nUseWMP=1\n[Font]\nDefaultOnly=1\n", false,
       300, true, true, 3, "300ms", 300},
      {"hex and CRLF", "[Sound]\r\nDelayTime=$190\r\nDirectSound=0x0\r\n", false, 400, false, false,
       4, "400ms", 400},
      {"garbage", "\x01\x02\xff[[[\n=\n[Sound\nDelayTime=100\n", true, 500, false, false, 5,
       "500ms", 500},
      {"keys outside sections", "DelayTime=100\n[Sound]\n", true, 500, false, false, 5, "500ms",
       500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto dir = TestDir("ini");
    const auto path = dir / "game.ini";
    if (c.ini)
      std::ofstream(path, std::ios::binary) << c.ini;
    const TRunConfig config = LoadRunConfig(path);
    EXPECT_EQ(config.direct_sound, c.direct_sound);
    EXPECT_EQ(config.delay_time_ms, c.player_delay);
    EXPECT_EQ(config.use_wmp, c.use_wmp);
    EXPECT_EQ(config.default_fonts_only, c.default_only);
    EXPECT_EQ(std::filesystem::exists(path), c.ini != nullptr); // reading never creates it

    TFormConfig form(path);
    EXPECT_EQ(form.CheckSound(), c.direct_sound);
    EXPECT_EQ(form.TrackPosition(), c.dialog_position);
    EXPECT_EQ(form.DelayInfo(), c.dialog_label);
    form.OkClick();
    EXPECT_FALSE(form.Running());
    TIniFile saved;
    saved.Load(path);
    EXPECT_EQ(saved.ReadInteger("Sound", "DelayTime", -1), c.saved_delay);
    EXPECT_EQ(saved.ReadString("Sound", "DirectSound", ""), c.direct_sound ? "1" : "0");
  }
}

// The player's own view settings; names it does not know leave the defaults.
TEST(RunConfig, PlayerScalingKeys) {
  struct Case {
    const char* ini;
    TViewScaling expected;
  };
  using M = TScalingMode;
  using F = TViewFilter;
  const Case cases[] = {
      {"", {M::Aspect, F::Smooth}},
      {"[Player]\nScaling=integer\nFilter=sharp\n", {M::Integer, F::Sharp}},
      {"[player]\nscaling = Stretch\n", {M::Stretch, F::Smooth}},
      {"[Player]\nScaling=zoom\nFilter=blurry\n", {M::Aspect, F::Smooth}},
  };
  for (const Case& c : cases) {
    const auto path = TestDir("ini_player") / "game.ini";
    std::ofstream(path, std::ios::binary) << c.ini;
    EXPECT_EQ(LoadRunConfig(path).scaling, c.expected) << c.ini;
  }
}

// A game.ini that is a FIFO gives the defaults at once, and OK refuses to write into it.
TEST(RunConfig, GameIniThatIsNoRegularFile) {
  const auto dir = TestDir("fifo");
  const auto path = dir / "game.ini";
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(LoadRunConfig(path).delay_time_ms, 500);
  TFormConfig form(path);
  EXPECT_EQ(form.DelayInfo(), "500ms");
  EXPECT_THROW(form.OkClick(), ENovaError);
}

TEST(RunConfig, OkKeepsTheOtherKeysAndCancelWritesNothing) {
  const auto dir = TestDir("ok_cancel");
  const auto path = dir / "game.ini";
  {
    TFormConfig form(path);
    form.CancelClick();
    EXPECT_FALSE(form.Running());
  }
  EXPECT_FALSE(std::filesystem::exists(path)); // not even created

  std::ofstream(path, std::ios::binary) << "[Video]\nUseWMP=1\n[Sound]\nDelayTime=250\n";
  const std::string before = ReadAll(path);
  {
    TFormConfig form(path);
    form.CheckSoundClick(false);
    form.TrackBuffChange(4);
    form.CancelClick();
  }
  EXPECT_EQ(ReadAll(path), before);
  {
    TFormConfig form(path);
    form.CheckSoundClick(false);
    form.TrackBuffChange(9); // the track bar keeps its range
    form.OkClick();
  }
  const TRunConfig config = LoadRunConfig(path);
  EXPECT_TRUE(config.use_wmp);
  EXPECT_FALSE(config.direct_sound);
  EXPECT_EQ(config.delay_time_ms, 500);
  EXPECT_EQ(ReadAll(path),
            "[Video]\r\nUseWMP=1\r\n\r\n[Sound]\r\nDelayTime=500\r\nDirectSound=0\r\n");
}

TEST(RunConfig, DelayControlsAreEnabledOnlyWithoutDirectSound) {
  const auto dir = TestDir("enable");
  TFormConfig form(dir / "game.ini");
  EXPECT_TRUE(form.CheckSound());
  EXPECT_FALSE(form.DelayControlsEnabled());
  form.CheckSoundClick(false);
  EXPECT_TRUE(form.DelayControlsEnabled());
}

TEST(RunConfig, UnwritableFileFailsOkAndKeepsTheDialogOpen) {
  const auto dir = TestDir("unwritable");
  TFormConfig form(dir / "missing-folder" / "game.ini");
  EXPECT_ANY_THROW(form.OkClick());
  EXPECT_TRUE(form.Running());
}

} // namespace
} // namespace nova
