// SPDX-License-Identifier: MIT
// A scene built by a title's script, as the player presents it headless.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "e2e/title_runner.h"
#include "graphics/dibx.h"

namespace nova::e2e {
namespace {

TEST(SceneE2e, BoxesOnTheFrontLayerReachTheScreenshot) {
  TTestTitle title("scene_boxes");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n");
  title.Page("main.nsb",
             "BoxNew PR_NAME={\"shown\"} PR_PARENT={\"\"} PR_LEFT={40} PR_TOP={30} PR_WIDTH={200} "
             "PR_HEIGHT={120} PR_COLOR={$0000FF}\n"
             "BoxNew PR_NAME={\"child\"} PR_PARENT={\"shown\"} PR_LEFT={10} PR_TOP={10} "
             "PR_WIDTH={20} PR_HEIGHT={20} PR_COLOR={$FF0000} PR_ALPHA={128}\n"
             "Wait time={100}\n");
  const std::string shot = (title.Root() / "shot.png").string();
  std::string error;
  title.Run(4, &error, "--screenshot " + shot);
  ASSERT_TRUE(error.empty()) << error;
  std::ifstream file(shot, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
  TDIBX picture(1, 1, 32);
  picture.LoadFromStream(png, shot);
  ASSERT_EQ(picture.Width(), 320);
  ASSERT_EQ(picture.Height(), 240);
  auto rgb = [&](int x, int y) { return picture.PixelToColor(picture.GetPixel(x, y)) & 0xFFFFFF; };
  EXPECT_EQ(rgb(0, 0), 0x000000u);     // the front layer's black
  EXPECT_EQ(rgb(40, 30), 0x0000FFu);   // the box's own corner
  EXPECT_EQ(rgb(239, 149), 0x0000FFu); // its last pixel
  EXPECT_EQ(rgb(240, 150), 0x000000u); // just outside
  EXPECT_EQ(rgb(55, 45), 0x7F007Eu);   // the half-transparent child, placed in its parent
}

// After the screen switches to full screen (the tool bar's button) the scene is still shown: a
// box made after the switch reaches the screenshot.
TEST(SceneE2e, TheSceneIsShownAfterAScreenSwitch) {
  TTestTitle title("scene_switch");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n");
  title.Page("main.nsb", "Wait time={60}\n"
                         "BoxNew PR_NAME={\"late\"} PR_PARENT={\"\"} PR_LEFT={40} PR_TOP={30} "
                         "PR_WIDTH={200} PR_HEIGHT={120} PR_COLOR={$0000FF}\n"
                         "Wait time={100000}\n");
  std::ofstream(title.Root() / "in.txt") << "1 dock switch\n";
  const std::string shot = (title.Root() / "shot.png").string();
  std::string error;
  title.Run(8, &error, "--input " + (title.Root() / "in.txt").string() + " --screenshot " + shot);
  ASSERT_TRUE(error.empty()) << error;
  std::ifstream file(shot, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
  TDIBX picture(1, 1, 32);
  picture.LoadFromStream(png, shot);
  ASSERT_EQ(picture.Width(), 320);
  EXPECT_EQ(picture.PixelToColor(picture.GetPixel(100, 100)) & 0xFFFFFF, 0x0000FFu);
}

} // namespace
} // namespace nova::e2e
