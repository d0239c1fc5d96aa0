// SPDX-License-Identifier: MIT
// A title that plays a movie headless: the picture at a given frame is the same on every run,
// and a script waiting for the movie's end goes on.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "e2e/picture_title.h"
#include "e2e/title_runner.h"
#include "graphics/dibx.h"

namespace nova::e2e {
namespace {

class MovieE2e : public testing::Test {
protected:
  void SetUp() override {
    title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n");
    const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
    ASSERT_EQ(std::system(
                  (tool + " video pattern " + (title.Root() / "src" / "op.mpg").string()).c_str()),
              0);
    title.Page("main.nsb", "VarNew \"done\" type=1 value={0}\n"
                           "Movie PR_NAME={\"op\"} PR_PARENT={\"\"} PR_LEFT={40} PR_TOP={20} "
                           "PR_SOURCE={\"op.mpg\"} PR_ONPLAYEND={\"after.nsb\"}\n"
                           "Wait time={100000}\n");
    title.Page("after.nsb", "Calc {done = 1}\n");
  }
  std::vector<uint8_t> Shot(int frames, const std::string& name) {
    const std::string shot = (title.Root() / name).string();
    std::string error;
    vars = title.Run(frames, &error, "--screenshot " + shot);
    EXPECT_TRUE(error.empty()) << error;
    std::ifstream file(shot, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  }
  TTestTitle title{"movie"};
  std::map<std::string, std::string> vars;
};

TEST_F(MovieE2e, FramesAreTheSameOnEveryRunAndTheSquareMoves) {
  const std::vector<uint8_t> first = Shot(30, "a.png");
  EXPECT_EQ(Shot(30, "b.png"), first) << "the same frame shows the same picture";
  TDIBX picture(1, 1, 32);
  picture.LoadFromStream(first, "a.png");
  ASSERT_EQ(picture.Width(), 320);
  double sum = 0;
  int count = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const uint32_t c = picture.PixelToColor(picture.GetPixel(x, y));
      if ((c & 0xFF) > 150 && ((c >> 8) & 0xFF) < 100 && ((c >> 16) & 0xFF) < 100) {
        sum += x;
        ++count;
      }
    }
  ASSERT_GT(count, 100) << "the square is on the screen";
  // The movie stands at x 40; after 30 frames of about 16 ms the square has left x 8.
  EXPECT_GT(sum / count, 40 + 8 + 7.5 + 10);
  EXPECT_LT(sum / count, 40 + 176);
  EXPECT_EQ(ValueOf(vars, "done"), "0");
}

TEST_F(MovieE2e, AScriptWaitingForTheEndGoesOn) {
  Shot(200, "end.png");
  EXPECT_EQ(ValueOf(vars, "done"), "1");
}

// `novatool video film` draws a film frame by frame into a movie: a red second, then a green
// one, shows red early in the movie and green late. Films of no even size, unknown extensions
// and missing options are refused.
TEST(MovieE2eFilm, FilmsBecomeMoviesThatPlayInTitles) {
  TTestTitle title("film_clip");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n");
  std::string error;
  ASSERT_TRUE(DrawPicture(title, "red.wsp", "frame 64 48\nfill $0000FF\n", error)) << error;
  ASSERT_TRUE(DrawPicture(title, "green.wsp", "frame 64 48\nfill $00FF00\n", error)) << error;
  const std::string film = "film 110 64 48\ntrack image\n  length 60\n  source red.wsp\n"
                           "track image\n  start 60\n  length 60\n  source green.wsp\n";
  ASSERT_TRUE(BuildFromText(title, "film build", "clip.nmt", film, error)) << error;
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const std::filesystem::path src = title.Root() / "src";
  const std::string make = tool + " video film " + (src / "clip.nmt").string() + " -o " +
                           (src / "clip.avi").string() + " --fps 25";
  ASSERT_EQ(std::system(make.c_str()), 0) << make;
  title.Page("main.nsb", "Movie PR_NAME={\"clip\"} PR_PARENT={\"\"} PR_LEFT={0} PR_TOP={0} "
                         "PR_SOURCE={\"clip.avi\"}\nWait time={100000}\n");
  for (const auto& [frames, red] : {std::pair{20, true}, std::pair{100, false}}) {
    TDIBX shot(1, 1, 32);
    ASSERT_TRUE(Screenshot(title, frames, "", shot, error)) << error;
    const uint32_t c = shot.PixelToColor(shot.GetPixel(32, 24));
    const int r = c & 0xFF, g = (c >> 8) & 0xFF;
    EXPECT_EQ(red, r > 180 && g < 80) << frames << " frames: " << std::hex << c;
    EXPECT_EQ(!red, g > 180 && r < 80) << frames << " frames: " << std::hex << c;
  }

  ASSERT_TRUE(BuildFromText(title, "film build", "odd.nmt", "film 110 63 48\n", error)) << error;
  for (const std::string& bad :
       {"film " + (src / "odd.nmt").string() + " -o " + (src / "odd.mpg").string(),
        "film " + (src / "clip.nmt").string() + " -o " + (src / "clip.mov").string(),
        "film " + (src / "clip.nmt").string(), std::string("film -o x.mpg"),
        "film " + (src / "clip.nmt").string() + " -o x.mpg --fps 0"}) {
    const std::string cmd = tool + " video " + bad + " 2> /dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0) << bad;
  }
}

} // namespace
} // namespace nova::e2e
