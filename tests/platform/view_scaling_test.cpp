// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/clock.h"
#include "platform/user_folders.h"
#include "platform/view_scaling.h"
#include "platform/window.h"

namespace nova {
namespace {

TEST(ViewScaling, SceneDestinationPerMode) {
  using M = TScalingMode;
  struct Case {
    const char* name;
    int scene_w, scene_h;
    TWindowRect area;
    M mode;
    TWindowRect expected;
  };
  const Case cases[] = {
      {"aspect, same size", 640, 480, {0, 0, 640, 480}, M::Aspect, {0, 0, 640, 480}},
      {"aspect, wide: bars left and right, below the dock",
       640,
       480,
       {0, 22, 1280, 742},
       M::Aspect,
       {160, 22, 1120, 742}},
      {"aspect, tall: bars above and below",
       640,
       480,
       {0, 0, 800, 1000},
       M::Aspect,
       {0, 200, 800, 800}},
      {"aspect, smaller than the scene", 640, 480, {0, 0, 320, 300}, M::Aspect, {0, 30, 320, 270}},
      {"integer, largest whole factor",
       640,
       480,
       {0, 0, 1920, 1080},
       M::Integer,
       {320, 60, 1600, 1020}},
      {"integer, exact fit", 640, 480, {0, 0, 1280, 960}, M::Integer, {0, 0, 1280, 960}},
      {"integer, below one falls back to aspect",
       640,
       480,
       {0, 0, 639, 480},
       M::Integer,
       {0, 0, 639, 479}},
      {"stretch, the whole area", 640, 480, {0, 22, 1000, 522}, M::Stretch, {0, 22, 1000, 522}},
      {"empty area", 640, 480, {5, 7, 5, 100}, M::Aspect, {5, 7, 5, 7}},
      {"empty scene", 0, 480, {0, 0, 100, 100}, M::Stretch, {0, 0, 0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SceneDestination(c.scene_w, c.scene_h, c.area, c.mode), c.expected) << c.name;
}

TEST(ViewScaling, WindowPointsMapIntoTheSceneAndClampOutside) {
  const TWindowRect dest{160, 22, 1120, 742}; // 640 x 480 at 1.5
  struct Case {
    int x, y;
    TScenePoint expected;
  };
  const Case cases[] = {
      {160, 22, {0, 0, true}},      {1119, 741, {639, 479, true}},
      {640, 382, {320, 240, true}}, {1120, 741, {639, 479, false}}, // right bar
      {100, 300, {0, 185, false}},  {640, 0, {320, 0, false}},      // left bar, the dock
      {-5, -5, {0, 0, false}},      {5000, 5000, {639, 479, false}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WindowToScene(dest, 640, 480, c.x, c.y), c.expected) << c.x << "," << c.y;
  EXPECT_EQ(WindowToScene({0, 0, 0, 0}, 640, 480, 3, 3), TScenePoint{});
}

// Warping the pointer to a scene pixel and reading it back gives that pixel, at every scale
// where a scene pixel covers at least one window pixel.
TEST(ViewScaling, SceneToWindowRoundTrips) {
  const TWindowRect dests[] = {{0, 0, 640, 480},
                               {160, 22, 1120, 742},
                               {0, 0, 1920, 1440},
                               {7, 3, 1007, 2003},
                               {320, 60, 1600, 1020}};
  for (const TWindowRect& d : dests)
    for (int s = 0; s < 640; ++s) {
      const TWindowPoint w = SceneToWindow(d, 640, 480, s, s % 480);
      const TScenePoint back = WindowToScene(d, 640, 480, w.x, w.y);
      ASSERT_EQ(back, (TScenePoint{s, s % 480, true})) << d.left << "," << d.top << " " << s;
    }
  // A caret rectangle at twice the size, and one that would vanish when scaled down.
  EXPECT_EQ(SceneRectToWindow({0, 22, 1280, 982}, 640, 480, {10, 20, 12, 36}),
            (TWindowRect{20, 62, 24, 94}));
  EXPECT_EQ(SceneRectToWindow({0, 0, 320, 240}, 640, 480, {10, 10, 11, 11}),
            (TWindowRect{5, 5, 6, 6}));
}

TEST(ViewScaling, InitialWindowScale) {
  struct Case {
    const char* name;
    int w, h, usable_w, usable_h;
    float dpi;
    int expected;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {"ordinary display", 640, 480, 1920, 1050, 96, 1},
      {"twice the density", 640, 480, 3840, 2110, 192, 2},
      {"one and a half rounds up", 640, 480, 2560, 1400, 144, 2},
      {"three times, fits", 640, 480, 3840, 2100, 288, 3},
      {"three times, only two fit in 90%", 640, 480, 1920, 1080, 288, 2},
      {"scene larger than the display stays at 1", 1280, 720, 1366, 740, 192, 1},
      {"display size unknown", 640, 480, 0, 0, 192, 2},
      {"density unknown", 640, 480, 3840, 2110, 0, 1},
      {"density not a number", 640, 480, 3840, 2110, nan, 1},
      {"absurd density", 640, 480, 0, 0, 1e9f, 16},
  };
  for (const Case& c : cases)
    EXPECT_EQ(InitialWindowScale(c.w, c.h, c.usable_w, c.usable_h, c.dpi), c.expected) << c.name;
}

TEST(ViewScaling, NamesParseAndCycle) {
  EXPECT_EQ(ParseScalingMode("Aspect"), TScalingMode::Aspect);
  EXPECT_EQ(ParseScalingMode(" integer \r"), TScalingMode::Integer);
  EXPECT_EQ(ParseScalingMode("STRETCH"), TScalingMode::Stretch);
  EXPECT_EQ(ParseViewFilter("sharp"), TViewFilter::Sharp);
  EXPECT_EQ(ParseViewFilter("Smooth"), TViewFilter::Smooth);
  for (const char* bad : {"", "zoom", "aspects", "nearest"}) {
    EXPECT_FALSE(ParseScalingMode(bad)) << bad;
    EXPECT_FALSE(ParseViewFilter(bad)) << bad;
  }
  TScalingMode mode = TScalingMode::Aspect;
  std::string seen;
  for (int i = 0; i < 4; ++i, mode = NextScalingMode(mode))
    seen += std::string(ScalingModeName(mode)) + " ";
  EXPECT_EQ(seen, "aspect integer stretch aspect ");
  EXPECT_EQ(ParseScalingMode(ScalingModeName(TScalingMode::Integer)), TScalingMode::Integer);
}

// A notice shows for two seconds of the platform clock, also across the clock's wrap.
TEST(ViewScaling, NoticeLastsTwoSeconds) {
  for (const uint32_t start : {0u, 0xFFFFFC00u}) {
    TVirtualClock clock(start);
    SetPlatformClock(&clock);
    std::unique_ptr<IWindow> window = CreateHeadlessWindow({});
    EXPECT_EQ(window->Notice(), "");
    window->ShowNotice("Scaling: integer, sharp");
    clock.Advance(IWindow::kNoticeMs - 1);
    EXPECT_EQ(window->Notice(), "Scaling: integer, sharp") << start;
    clock.Advance(1);
    EXPECT_EQ(window->Notice(), "") << start;
    SetPlatformClock(nullptr);
  }
}

// The pictures folder the way xdg-user-dir finds it: the variable, user-dirs.dirs, ~/Pictures.
TEST(UserFolders, PicturesFolderPrecedence) {
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("nova_user_folders_" + std::to_string(getpid()));
  std::filesystem::create_directories(home / "config");
  const auto keep = [](const char* name) {
    const char* v = std::getenv(name);
    return std::pair<std::string, bool>(v ? v : "", v != nullptr);
  };
  const auto saved_home = keep("HOME"), saved_config = keep("XDG_CONFIG_HOME"),
             saved_pictures = keep("XDG_PICTURES_DIR");
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  unsetenv("XDG_PICTURES_DIR");
  EXPECT_EQ(UserFolder(TUserFolder::Pictures), (home / "Pictures").string());
  std::ofstream(home / "config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Bilder/\"\n";
  EXPECT_EQ(UserFolder(TUserFolder::Pictures), (home / "Bilder").string());
  setenv("XDG_PICTURES_DIR", "/shots", 1);
  EXPECT_EQ(UserFolder(TUserFolder::Pictures), "/shots");
  setenv("XDG_PICTURES_DIR", "relative", 1); // not a folder xdg-user-dir would give
  EXPECT_EQ(UserFolder(TUserFolder::Pictures), (home / "Bilder").string());
  EXPECT_EQ(UserFolder(TUserFolder::Desktop), (home / "Desktop").string());
  const auto restore = [](const char* name, const std::pair<std::string, bool>& v) {
    if (v.second)
      setenv(name, v.first.c_str(), 1);
    else
      unsetenv(name);
  };
  restore("HOME", saved_home);
  restore("XDG_CONFIG_HOME", saved_config);
  restore("XDG_PICTURES_DIR", saved_pictures);
  std::filesystem::remove_all(home);
}

} // namespace
} // namespace nova
