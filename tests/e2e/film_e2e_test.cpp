// SPDX-License-Identifier: MIT
// Films end to end: built from text with novatool, inspected and rendered by the tool, and
// played as the motion of an image in a title.
#include <gtest/gtest.h>

#include "e2e/picture_title.h"

namespace nova::e2e {
namespace {

// A 10 × 10 block of pure blue ($BBGGRR).
const char kBlock[] = "frame 10 10\nfill $FF0000\n";

// The block from (0, 20) to (90, 20) over 10 frames, then down to (90, 80) over 10 more.
const char kFilm[] = "film 110 160 120\n"
                     "back_color 0\n"
                     "track image\n"
                     "  length 10\n"
                     "  start_pos 0 20\n"
                     "  end_pos 90 20\n"
                     "  source block.wsp\n"
                     "track image\n"
                     "  predecessor 0\n"
                     "  length 10\n"
                     "  end_pos 90 80\n"
                     "  source block.wsp\n";

bool RunTool(TTestTitle& title, const std::string& args, std::string& out) {
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const std::filesystem::path file = title.Root() / "tool.out";
  const int status = std::system((tool + " " + args + " > " + file.string() + " 2>&1").c_str());
  out = title.Slurp(file);
  return status == 0;
}

bool IsBlue(TDIBX& shot, int x, int y) {
  return shot.PixelToColor(shot.GetPixel(x, y)) == 0xFF0000;
}

TEST(FilmE2E, ToolBuildsInspectsAndRendersFilms) {
  TTestTitle title("film_tool");
  std::string error, out;
  ASSERT_TRUE(DrawPicture(title, "block.wsp", kBlock, error)) << error;
  title.Add("op.nmt.txt", kFilm);
  const std::string src = (title.Root() / "src").string();
  ASSERT_TRUE(RunTool(title, "film build " + src + "/op.nmt.txt -o " + src + "/op.nmt", out))
      << out;
  ASSERT_TRUE(RunTool(title, "film info " + src + "/op.nmt", out)) << out;
  EXPECT_NE(out.find("length 20 frames, 2 track(s)"), std::string::npos) << out;
  EXPECT_NE(out.find("track 1 image: frames 10-19 (10), after track 0"), std::string::npos) << out;
  EXPECT_NE(out.find("track 0 image: frames 0-9 (10), followed"), std::string::npos) << out;

  const std::string png = (title.Root() / "f15.png").string();
  ASSERT_TRUE(RunTool(title, "film render " + src + "/op.nmt --frame 15 -o " + png, out)) << out;
  TDIBX shot;
  const std::string bytes = title.Slurp(png);
  shot.LoadFromStream(std::vector<uint8_t>(bytes.begin(), bytes.end()), png);
  ASSERT_EQ(shot.Width(), 160);
  // Frame 15 is frame 5 of the second track's 10: (90, 20 + 60 · 5 / 9).
  EXPECT_TRUE(IsBlue(shot, 90, 53));
  EXPECT_TRUE(IsBlue(shot, 99, 62));
  EXPECT_FALSE(IsBlue(shot, 90, 52));
  EXPECT_FALSE(IsBlue(shot, 100, 53));

  // Damaged input is refused with its name.
  std::ofstream(title.Root() / "bad.nmt") << "NovaCinema110\x01\x02";
  EXPECT_FALSE(RunTool(title, "film info " + (title.Root() / "bad.nmt").string(), out));
  EXPECT_NE(out.find("bad.nmt"), std::string::npos) << out;
  title.Add("bad.txt", "film 110 1 1\ntrack image\n  colour 3\n");
  EXPECT_FALSE(RunTool(title, "film build " + src + "/bad.txt -o " + src + "/x.nmt", out));
  EXPECT_NE(out.find("line 3"), std::string::npos) << out;
}

TEST(FilmE2E, ImageWithAFilmSourceMovesInATitle) {
  TTestTitle title("film_motion");
  std::string error, out;
  ASSERT_TRUE(DrawPicture(title, "block.wsp", kBlock, error)) << error;
  title.Add("op.nmt.txt", kFilm);
  const std::string src = (title.Root() / "src").string();
  ASSERT_TRUE(RunTool(title, "film build " + src + "/op.nmt.txt -o " + src + "/op.nmt", out))
      << out;
  std::filesystem::remove(title.Root() / "src" / "op.nmt.txt");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 160 120\nstart \"main.nsb\"\n");
  title.Page("main.nsb", "ImgNew PR_NAME={\"m\"} PR_PARENT={\"\"} PR_SOURCE={\"op.nmt\"}\n"
                         "Wait time={100000}\n");
  TDIBX shot;
  // Long past the end the film holds its last frame: the block at (90, 80).
  ASSERT_TRUE(Screenshot(title, 60, "", shot, error)) << error;
  EXPECT_TRUE(IsBlue(shot, 90, 80));
  EXPECT_TRUE(IsBlue(shot, 99, 89));
  EXPECT_FALSE(IsBlue(shot, 0, 20));
}

TEST(FilmE2E, CinemaPlaysAFilmInItsOwnSceneAndHoldsTheLastFrame) {
  TTestTitle title("film_cinema");
  std::string error, out;
  ASSERT_TRUE(DrawPicture(title, "block.wsp", kBlock, error)) << error;
  // A background colour gives the film a scene of its own: green ($BBGGRR) behind the block.
  std::string film = kFilm;
  film.replace(film.find("back_color 0"), 12, "back_color 65280");
  title.Add("op.nmt.txt", film);
  const std::string src = (title.Root() / "src").string();
  ASSERT_TRUE(RunTool(title, "film build " + src + "/op.nmt.txt -o " + src + "/op.nmt", out))
      << out;
  std::filesystem::remove(title.Root() / "src" / "op.nmt.txt");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 160 120\nstart \"main.nsb\"\n");
  title.Page("main.nsb", "Cinema PR_NAME={\"c\"} PR_PARENT={\"\"} PR_LEFT={0} PR_TOP={0} "
                         "PR_WIDTH={160} PR_HEIGHT={120} PR_SOURCE={\"op.nmt\"}\n"
                         "Wait time={100000}\n");
  TDIBX shot;
  ASSERT_TRUE(Screenshot(title, 60, "", shot, error)) << error;
  EXPECT_EQ(shot.PixelToColor(shot.GetPixel(150, 110)), 0x00FF00u);
  EXPECT_TRUE(IsBlue(shot, 90, 80));
  EXPECT_TRUE(IsBlue(shot, 99, 89));
  EXPECT_FALSE(IsBlue(shot, 89, 80));
}

} // namespace
} // namespace nova::e2e
