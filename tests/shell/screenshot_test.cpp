// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "graphics/dibx.h"
#include "platform/clock.h"
#include "platform/virtual_keys.h"
#include "platform/wall_clock.h"
#include "shell/screenshot.h"
#include "shell/test_files.h"
#include "shell/view_keys.h"

namespace nova {
namespace {

using test::ReadAll;
using test::TestDir;

const TWallTime kTime{2026, 12, 10, 21, 5, 9};

TEST(Screenshot, FileNames) {
  struct Case {
    const char* title;
    int n;
    const char* expected;
  };
  const Case cases[] = {
      {"My Game", 1, "My Game-20261210-210509-1.png"},
      {"a/b:c*?\"<>|\\", 12, "a_b_c_______-20261210-210509-12.png"},
      {"line\nbreak\x7F", 2, "line_break_-20261210-210509-2.png"},
      {"テスト", 3, "テスト-20261210-210509-3.png"},
      {"", 1, "novaplay-20261210-210509-1.png"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScreenshotFileName(c.title, kTime, c.n), c.expected) << c.title;
  EXPECT_EQ(ScreenshotFileName("x", TWallTime{2000, 1, 2, 3, 4, 5}, 1), "x-20000102-030405-1.png");
}

TPicture TestPicture() {
  TPicture picture{3, 2, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF}};
  return picture;
}

// The saved file holds the picture's own pixels; a second shot in the same second takes the
// next number, and the folder is made when missing.
TEST(Screenshot, SavesThePictureUnderTheFirstFreeName) {
  const auto folder = TestDir("shots") / "deep" / "novaplay";
  const TPicture picture = TestPicture();
  EXPECT_EQ(SaveScreenshot(picture, folder, "T", kTime),
            "Screenshot saved: " + (folder / "T-20261210-210509-1.png").string());
  EXPECT_EQ(SaveScreenshot(picture, folder, "T", kTime),
            "Screenshot saved: " + (folder / "T-20261210-210509-2.png").string());
  const std::string bytes = ReadAll(folder / "T-20261210-210509-2.png");
  TDIBX shot(1, 1, 32); // loads at its own depth
  shot.LoadFromStream(std::vector<uint8_t>(bytes.begin(), bytes.end()), "shot.png");
  ASSERT_EQ(shot.Width(), 3);
  ASSERT_EQ(shot.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(shot.GetPixel(x, y) & 0xFFFFFF, picture.pixels[y * 3 + x]) << x << "," << y;
}

TEST(Screenshot, FailuresAreReportedNotThrown) {
  const auto dir = TestDir("shots_fail");
  std::ofstream(dir / "file") << "x";
  const std::string blocked = SaveScreenshot(TestPicture(), dir / "file" / "novaplay", "T", kTime);
  EXPECT_EQ(blocked.rfind("Screenshot failed: cannot create " + (dir / "file").string(), 0), 0u)
      << blocked;
  const std::string empty = SaveScreenshot(TPicture{}, dir, "T", kTime);
  EXPECT_EQ(empty.rfind("Screenshot failed: ", 0), 0u) << empty;
  EXPECT_FALSE(std::filesystem::exists(dir / "T-20261210-210509-1.png")); // nothing left behind
}

class ViewKeysTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetPlatformClock(&clock);
    SetWallClockStart(HeadlessWallClockStart());
  }
  void TearDown() override {
    SetWallClockStart(std::nullopt);
    SetPlatformClock(nullptr);
  }
  static TWindowEvent Key(TWindowEventKind kind, int key, bool repeat = false) {
    TWindowEvent e;
    e.kind = kind;
    e.key = key;
    e.repeat = repeat;
    return e;
  }
  bool Down(int key, bool repeat = false) {
    return keys.KeyDown(Key(TWindowEventKind::KeyDown, key, repeat));
  }
  void Up(int key) { keys.KeyUp(Key(TWindowEventKind::KeyUp, key)); }

  static constexpr int kF10 = vk::kF1 + 9;
  static constexpr int kF12 = vk::kF1 + 11;
  TVirtualClock clock;
  std::unique_ptr<IWindow> window = CreateHeadlessWindow({});
  TViewKeys keys{*window, [] { return std::string("Title"); }};
};

TEST_F(ViewKeysTest, F10CyclesTheModeAndShiftF10TheFilter) {
  struct Step {
    bool shift;
    bool repeat;
    TViewScaling expected;
    const char* notice;
  };
  using M = TScalingMode;
  using F = TViewFilter;
  const Step steps[] = {
      {false, false, {M::Integer, F::Smooth}, "Scaling: integer, smooth"},
      {false, true, {M::Integer, F::Smooth}, "Scaling: integer, smooth"}, // held: no repeat
      {true, false, {M::Integer, F::Sharp}, "Scaling: integer, sharp"},
      {false, false, {M::Stretch, F::Sharp}, "Scaling: stretch, sharp"},
      {false, false, {M::Aspect, F::Sharp}, "Scaling: aspect, sharp"},
      {true, false, {M::Aspect, F::Smooth}, "Scaling: aspect, smooth"},
  };
  for (const Step& s : steps) {
    if (s.shift)
      EXPECT_FALSE(Down(vk::kShift));
    EXPECT_TRUE(Down(kF10, s.repeat));
    if (s.shift)
      Up(vk::kShift);
    EXPECT_EQ(window->Scaling(), s.expected) << s.notice;
    EXPECT_EQ(window->Notice(), s.notice);
  }
  EXPECT_FALSE(Down(vk::kF1 + 10)); // F11 is the form's
  EXPECT_FALSE(Down(vk::kA));
}

TEST_F(ViewKeysTest, F12SavesTheCaptureIntoThePicturesFolder) {
  const auto dir = TestDir("view_keys");
  setenv("XDG_PICTURES_DIR", dir.c_str(), 1);
  window->SetLayout(4, 3, false);
  std::vector<uint32_t> back(4 * 3, 0x00336699);
  const TWindowRect all{0, 0, 4, 3};
  window->Present({reinterpret_cast<const uint8_t*>(back.data()), 4, 3, 16}, {&all, 1});
  EXPECT_TRUE(Down(kF12));
  const auto file = dir / "novaplay" / "Title-20000101-000000-1.png";
  EXPECT_EQ(window->Notice(), "Screenshot saved: " + file.string());
  EXPECT_TRUE(std::filesystem::exists(file));
  unsetenv("XDG_PICTURES_DIR");
}

} // namespace
} // namespace nova
