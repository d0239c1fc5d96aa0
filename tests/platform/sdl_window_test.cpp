// SPDX-License-Identifier: MIT
// The SDL window on SDL's dummy video driver, whose software renderer draws into a window
// surface the test can read: scaling modes, resizing by the user and pointer mapping.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/window.h"

namespace nova {
namespace {

constexpr uint32_t kScene = 0x00336699;

class SdlWindowTest : public ::testing::Test {
protected:
  // SDL_VIDEODRIVER=x11 with SDL_RENDER_DRIVER=software runs the same checks under Xvfb.
  void SetUp() override {
    set_driver = !std::getenv("SDL_VIDEODRIVER");
    if (set_driver)
      setenv("SDL_VIDEODRIVER", "dummy", 1);
    window = CreateSdlWindow({320, 240, true, "test"});
    for (Uint32 id = 1; id < 64 && !sdl; ++id)
      sdl = SDL_GetWindowFromID(id);
    ASSERT_NE(sdl, nullptr);
    std::vector<uint32_t> back(320 * 240, kScene);
    const TWindowRect all{0, 0, 320, 240};
    window->Present({reinterpret_cast<const uint8_t*>(back.data()), 320, 240, 320 * 4}, {&all, 1});
  }
  void TearDown() override {
    if (set_driver)
      unsetenv("SDL_VIDEODRIVER");
  }

  // Resizes as the user would and lets the window see it.
  void Resize(int w, int h) {
    SDL_SetWindowSize(sdl, w, h);
    TWindowEvent e;
    while (window->PollEvent(e)) {
    }
  }

  uint32_t WindowPixel(int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(sdl);
    EXPECT_NE(s, nullptr);
    if (!s || x >= s->w || y >= s->h)
      return 0xFFFFFFFF;
    uint32_t p = 0;
    SDL_LockSurface(s);
    const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    Uint8 r, g, b;
    SDL_GetRGB(*reinterpret_cast<const Uint32*>(row + x * s->format->BytesPerPixel), s->format, &r,
               &g, &b);
    SDL_UnlockSurface(s);
    p = uint32_t{r} << 16 | uint32_t{g} << 8 | b;
    return p;
  }

  TWindowEvent Click(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(sdl);
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
    // SDL ends each poll cycle with a sentinel, which costs one empty poll.
    TWindowEvent out;
    bool got = false;
    for (int i = 0; i < 2 && !got; ++i)
      got = window->PollEvent(out);
    EXPECT_TRUE(got);
    return out;
  }

  bool set_driver = false;
  std::unique_ptr<IWindow> window;
  SDL_Window* sdl = nullptr;
};

TEST_F(SdlWindowTest, ResizedWindowScalesTheSceneBelowTheDock) {
  int w = 0, h = 0;
  SDL_GetWindowSize(sdl, &w, &h);
  EXPECT_EQ(w, 320); // the dummy display reports no density
  EXPECT_EQ(h, 240 + IWindow::kDockHeight);
  EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_RESIZABLE, 0u);
  // 640 x 322: 600 high below the dock gives a 400 x 300 scene, bars left and right.
  Resize(640, 322);
  struct Case {
    TScalingMode mode;
    int x, y;
    uint32_t expected;
  };
  const Case cases[] = {
      {TScalingMode::Aspect, 119, 100, 0},      {TScalingMode::Aspect, 120, 100, kScene},
      {TScalingMode::Aspect, 519, 321, kScene}, {TScalingMode::Aspect, 520, 100, 0},
      {TScalingMode::Integer, 159, 100, 0},     {TScalingMode::Integer, 160, 52, kScene},
      {TScalingMode::Integer, 160, 51, 0},      {TScalingMode::Integer, 480, 100, 0},
      {TScalingMode::Stretch, 0, 22, kScene},   {TScalingMode::Stretch, 639, 321, kScene},
  };
  for (const Case& c : cases) {
    window->SetScaling({c.mode, TViewFilter::Sharp});
    EXPECT_EQ(WindowPixel(c.x, c.y), c.expected)
        << ScalingModeName(c.mode) << " " << c.x << "," << c.y;
  }
  // What was presented keeps the scene's size.
  EXPECT_EQ(window->Capture().width, 320);
}

TEST_F(SdlWindowTest, ClicksMapToTheSceneAndBarsAreOutside) {
  Resize(640, 322);
  window->SetScaling({TScalingMode::Aspect, TViewFilter::Smooth});
  TWindowEvent e = Click(120, 22);
  EXPECT_EQ(e.kind, TWindowEventKind::MouseDown);
  EXPECT_EQ(e.x, 0);
  EXPECT_EQ(e.y, 0);
  EXPECT_TRUE(e.in_scene);
  e = Click(519, 321);
  EXPECT_EQ(e.x, 319);
  EXPECT_EQ(e.y, 239);
  EXPECT_TRUE(e.in_scene);
  e = Click(60, 200); // the left bar
  EXPECT_EQ(e.x, 0);
  EXPECT_EQ(e.y, 142);
  EXPECT_FALSE(e.in_scene);
}

// A new layout gives the window the scene's size again; the same layout keeps the user's.
TEST_F(SdlWindowTest, LayoutKeepsTheUsersSizeUntilTheSceneChanges) {
  window->SetLayout(320, 240, true);
  Resize(500, 400);
  window->SetLayout(320, 240, true);
  int w = 0, h = 0;
  SDL_GetWindowSize(sdl, &w, &h);
  EXPECT_EQ(w, 500);
  EXPECT_EQ(h, 400);
  window->SetLayout(640, 480, false);
  SDL_GetWindowSize(sdl, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

// A still scene is not drawn again: a presentation with nothing changed inside the scene
// leaves the window as it is, while a changed rectangle or an exposure draws it.
TEST_F(SdlWindowTest, StillSceneIsNotDrawnAgainButChangesAndExposuresAre) {
  constexpr uint32_t kMark = 0x00FF00FF;
  const auto mark = [&] {
    SDL_Surface* s = SDL_GetWindowSurface(sdl);
    ASSERT_NE(s, nullptr);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0xFF, 0x00, 0xFF));
  };
  std::vector<uint32_t> back(320 * 240, kScene);
  const TPresentSource source{reinterpret_cast<const uint8_t*>(back.data()), 320, 240, 320 * 4};
  const TWindowRect outside{320, 0, 400, 240};
  const TWindowRect corner{0, 0, 8, 8};
  mark();
  window->Present(source, {});
  window->Present(source, {&outside, 1});
  EXPECT_EQ(WindowPixel(100, 100), kMark) << "nothing changed, nothing drawn";
  window->Present(source, {&corner, 1});
  EXPECT_EQ(WindowPixel(100, 100), kScene);
  mark();
  SDL_Event exposed{};
  exposed.type = SDL_WINDOWEVENT;
  exposed.window.windowID = SDL_GetWindowID(sdl);
  exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
  SDL_PushEvent(&exposed);
  TWindowEvent e;
  while (window->PollEvent(e)) {
  }
  EXPECT_EQ(WindowPixel(100, 100), kScene) << "an exposure draws the window again";
}

} // namespace
} // namespace nova
