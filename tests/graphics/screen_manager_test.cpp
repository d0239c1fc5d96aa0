// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "graphics/dibx.h"
#include "graphics/screen_manager.h"

namespace nova {
namespace {

// A display with a fixed mode list that composes presented blits into a picture, scaling
// by nearest neighbour, as the window's presentation does.
class TFakeDisplay : public IScreenDisplay {
public:
  std::vector<TScreenMode> modes;
  TDisplayFormat desktop{32, false};
  TDisplayFormat full{32, false};
  bool full_screen = false;
  bool refuse_full_screen = false;
  const TScreenMode* last_mode = nullptr;
  std::vector<TScreenBlit> blits;
  int presents = 0;
  int width = 0, height = 0;
  std::vector<uint32_t> picture;

  std::vector<TScreenMode> DisplayModes() override { return modes; }
  TDisplayFormat CurrentFormat() override { return full_screen ? full : desktop; }
  bool SetFullScreen(bool f, const TScreenMode* mode) override {
    if (f && refuse_full_screen)
      return false;
    full_screen = f;
    last_mode = mode;
    return true;
  }
  void Present(const TScreenPixels& px, std::span<const TScreenBlit> b) override {
    ++presents;
    blits.assign(b.begin(), b.end());
    for (const TScreenBlit& blit : b)
      for (int y = blit.dst.Top; y < blit.dst.Bottom; ++y)
        for (int x = blit.dst.Left; x < blit.dst.Right; ++x) {
          const int sx = blit.src.Left + (x - blit.dst.Left) * (blit.src.Right - blit.src.Left) /
                                             (blit.dst.Right - blit.dst.Left);
          const int sy = blit.src.Top + (y - blit.dst.Top) * (blit.src.Bottom - blit.src.Top) /
                                            (blit.dst.Bottom - blit.dst.Top);
          const uint32_t* row = reinterpret_cast<const uint32_t*>(
              px.row0 + static_cast<ptrdiff_t>(sy) * px.pitch_bytes);
          if (x < width && y < height)
            picture[static_cast<size_t>(y * width + x)] = row[sx] & 0xFFFFFF;
        }
  }
  void Repaint(const TScreenPixels&) override { ++presents; }
};

class TFakeScene : public IScreenScene {
public:
  TScreenRect transition;
  std::vector<TScreenRect> changed;
  int cleared = 0;
  TScreenRect TransitionRect() override { return transition; }
  std::vector<TScreenRect> ChangedRects() override { return changed; }
  void ClearChanged() override {
    ++cleared;
    changed.clear();
  }
};

TEST(ScreenModes, ChoiceAmongDisplayModes) {
  const TScreenMode offered[] = {
      {640, 480, 16, 60},  {800, 600, 32, 75}, {800, 600, 32, 60},  {800, 600, 16, 50},
      {1024, 768, 32, 60}, {640, 400, 32, 60}, {1280, 720, 15, 60}, {800, 600, 32, 85},
  };
  struct Case {
    const char* what;
    int pref_w, pref_h, pref_bits;
    int want_count, want_chosen;
  } cases[] = {
      {"lowest refresh among preferred size and bits", 800, 600, 32, 6, 2},
      {"preferred size, bits differ", 800, 600, 24, 6, 1},
      {"preferred bits win over the first of the size", 800, 600, 16, 6, 3},
      {"no preferred size: the first listed", 1920, 1080, 32, 6, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TModeList list = ListModes(offered, 640, 480, c.pref_w, c.pref_h, c.pref_bits);
    EXPECT_EQ(static_cast<int>(list.modes.size()), c.want_count)
        << "modes smaller than the scene or of 15 bits are skipped";
    EXPECT_EQ(list.chosen, c.want_chosen);
  }
  const TScreenMode small[] = {{320, 240, 32, 60}, {640, 400, 32, 60}};
  EXPECT_EQ(ListModes(small, 640, 480, 640, 480, 32).chosen, -1);
}

TEST(ScreenModes, BackSurfaceBitCountRule) {
  struct Case {
    TDisplayFormat format;
    bool full;
    int want;
  } cases[] = {
      {{32, false}, false, 32}, {{24, false}, false, 32}, {{16, false}, false, 16},
      {{16, true}, false, 15},  {{8, false}, false, 16},  {{32, false}, true, 32},
      {{16, false}, true, 16},  {{16, true}, true, 15},   {{8, false}, true, 15},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BackSurfaceBits(c.format, c.full), c.want) << c.format.bit_count << c.full;
}

TEST(ScreenManager, SwitchingModes) {
  TFakeDisplay display;
  display.modes = {{640, 480, 32, 60}, {800, 600, 32, 60}};
  display.desktop = {16, true};
  TScreenManager screen(&display, 800, 600, 640, 480);
  EXPECT_EQ(screen.CurrentMode(), -1);
  EXPECT_EQ(screen.BitCount(), 15) << "a 5-5-5 desktop";
  EXPECT_EQ(screen.ChosenMode(), 1);
  // The scene keeps drawing into the back surface: a mode already set must not replace it.
  screen.BackSurface()->PixelAddress(0, 0)[0] = 0x5A;
  for (int outside : {-1, -7, 2, 99}) {
    screen.SetMode(outside);
    EXPECT_EQ(screen.BackSurface()->PixelAddress(0, 0)[0], 0x5A)
        << outside << " is the window mode already set";
  }
  screen.SetMode(1);
  EXPECT_TRUE(screen.FullScreen());
  EXPECT_EQ(display.last_mode, nullptr) << "scaled desktop full screen unless the title chose";
  EXPECT_EQ(screen.BitCount(), 32);
  screen.SetMode(-1);
  screen.SelectMode(0);
  screen.SetMode(0);
  ASSERT_NE(display.last_mode, nullptr);
  EXPECT_EQ(*display.last_mode, (TScreenMode{640, 480, 32, 60}));
  screen.SetMode(-1);
  display.refuse_full_screen = true;
  screen.SetMode(1);
  EXPECT_EQ(screen.CurrentMode(), -1) << "a refused switch stays in the window";
  EXPECT_FALSE(screen.FullScreen());
  screen.Release();
  EXPECT_EQ(screen.BackSurface(), nullptr);
  EXPECT_EQ(screen.CurrentMode(), -2);
  TFakeScene scene;
  screen.Present(scene, 100);
  EXPECT_EQ(scene.cleared, 0) << "nothing to present without a back surface";

  TScreenManager no_display(nullptr, 640, 480, 640, 480);
  EXPECT_EQ(no_display.ModeCount(), 0);
  EXPECT_EQ(no_display.BitCount(), 16);
}

// A 16-bit mode the title chose gives a 16-bit (5-6-5) back surface in full screen, also when
// the surface is made anew after the window switched; the window keeps the display's depth.
TEST(ScreenManager, SixteenBitModesTheTitleChooses) {
  TFakeDisplay display;
  display.modes = {{640, 480, 32, 60}, {640, 480, 16, 60}};
  display.desktop = {32, false};
  TScreenManager screen(&display, 640, 480, 640, 480);
  ASSERT_EQ(screen.ModeCount(), 2);
  EXPECT_EQ(screen.BitCount(), 32);
  screen.SelectMode(1);
  screen.SetMode(1);
  EXPECT_TRUE(screen.FullScreen());
  EXPECT_EQ(screen.BitCount(), 16);
  screen.Release();
  screen.Restore(true);
  EXPECT_EQ(screen.BitCount(), 16);
  screen.Release();
  screen.Restore(false);
  EXPECT_EQ(screen.BitCount(), 32);
  screen.SelectMode(0);
  screen.Release();
  screen.Restore(true);
  EXPECT_EQ(screen.BitCount(), 32);
}

TEST(ScreenManager, PresentAtZoom100_150_200) {
  for (int zoom : {100, 150, 200}) {
    SCOPED_TRACE(zoom);
    TFakeDisplay display;
    TScreenManager screen(&display, 64, 48, 64, 48);
    TDIBX& back = *screen.BackSurface();
    back.Clear(back.ColorToPixel(0x000000));
    back.FillRect(TRect{10, 10, 20, 20}, back.ColorToPixel(0x0000FF));
    display.width = 64 * zoom / 100;
    display.height = 48 * zoom / 100;
    display.picture.assign(static_cast<size_t>(display.width * display.height), 0x777777);
    TFakeScene scene;
    scene.changed = {{10, 10, 20, 20}, {-5, 40, 3, 60}};
    screen.Present(scene, zoom);
    EXPECT_EQ(scene.cleared, 1);
    EXPECT_EQ(screen.PresentedFrames(), 1u);
    if (zoom == 150) {
      ASSERT_EQ(display.blits.size(), 1u) << "the whole surface is stretched";
      EXPECT_EQ(display.blits[0], (TScreenBlit{{0, 0, 96, 72}, {0, 0, 64, 48}}));
      EXPECT_EQ(display.picture[static_cast<size_t>(0)], 0u);
    } else {
      const int z = zoom / 100;
      ASSERT_EQ(display.blits.size(), 2u) << "each changed rectangle, clamped to the surface";
      EXPECT_EQ(display.blits[0],
                (TScreenBlit{{10 * z, 10 * z, 20 * z, 20 * z}, {10, 10, 20, 20}}));
      EXPECT_EQ(display.blits[1], (TScreenBlit{{0, 40 * z, 3 * z, 48 * z}, {0, 40, 3, 48}}));
      EXPECT_EQ(display.picture[0], 0x777777u) << "unchanged areas are not copied";
    }
    // The red square lands at its zoomed place (0x00RRGGBB in the picture).
    EXPECT_EQ(
        display.picture[static_cast<size_t>((15 * zoom / 100) * display.width + 15 * zoom / 100)],
        0xFF0000u);
    // A running transition reports the whole screen as one rectangle.
    scene.transition = {0, 0, 64, 48};
    scene.changed = {{1, 1, 2, 2}};
    screen.Present(scene, zoom);
    EXPECT_EQ(display.blits.back().src, (TScreenRect{0, 0, 64, 48}));
  }
}

} // namespace
} // namespace nova
