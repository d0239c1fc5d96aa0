// SPDX-License-Identifier: MIT
// The player's F12 screenshot in a headless run: the file lands in the pictures folder under
// the title's name and the run's time, and holds exactly the scene that was presented.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/picture_title.h"

namespace nova::e2e {
namespace {

// Sets an environment variable for the players a test starts, and takes it back.
class TScopedEnv {
public:
  TScopedEnv(const char* name, const std::string& value) : name_(name) {
    setenv(name, value.c_str(), 1);
  }
  ~TScopedEnv() { unsetenv(name_); }

private:
  const char* name_;
};

void AddPictureTitle(TTestTitle& title, std::string& error) {
  title.Add("nova.npb.txt",
            "project 116\ntitle \"View: test\"\nscene 320 240\nstart \"main.nsb\"\n");
  DrawPicture(title, "bg.wsp",
              "frame 320 240\ngradient h $102080 $F0C040\nrect 40 30 100 60 $FFFFFF\n", error);
  title.Page("main.nsb", "ImgNew PR_NAME={\"bg\"} PR_PARENT={\"\"} PR_LEFT={0} PR_TOP={0} "
                         "PR_SOURCE={\"bg.wsp\"}\nWait time={100000}\n");
}

TEST(ViewE2e, F12SavesTheSceneAsPresented) {
  std::string error;
  TTestTitle title("view");
  AddPictureTitle(title, error);
  ASSERT_EQ(error, "");
  const std::filesystem::path pictures = title.Root() / "pictures";
  TScopedEnv env("XDG_PICTURES_DIR", pictures.string());
  TDIBX shot(1, 1, 32); // pictures load at the surface's depth: compare every bit
  // Two shots in one second of the run's fixed clock; F10 between them changes nothing in
  // what the scene is.
  ASSERT_TRUE(Screenshot(title, 12, "5 keydown 123\n5 keyup 123\n6 keydown 121\n7 keydown 123\n",
                         shot, error))
      << error;
  // ':' is refused in file names.
  const std::filesystem::path first = pictures / "novaplay" / "View_ test-20000101-000000-1.png";
  const std::filesystem::path second = pictures / "novaplay" / "View_ test-20000101-000000-2.png";
  const std::string log = title.Slurp(title.Root() / "run.err");
  EXPECT_NE(log.find("Screenshot saved: " + first.string()), std::string::npos) << log;
  EXPECT_NE(log.find("Scaling: integer, smooth"), std::string::npos) << log;
  for (const auto& file : {first, second}) {
    const std::string bytes = title.Slurp(file);
    ASSERT_FALSE(bytes.empty()) << file;
    TDIBX saved(1, 1, 32);
    saved.LoadFromStream(std::vector<uint8_t>(bytes.begin(), bytes.end()), file.string());
    ASSERT_EQ(saved.Width(), 320);
    ASSERT_EQ(saved.Height(), 240);
    ASSERT_EQ(saved.BitCount(), shot.BitCount());
    int differing = 0;
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x)
        differing += saved.GetPixel(x, y) != shot.GetPixel(x, y);
    EXPECT_EQ(differing, 0) << file;
  }
}

TEST(ViewE2e, F12FailureIsReportedAndTheTitleGoesOn) {
  std::string error;
  TTestTitle title("view");
  AddPictureTitle(title, error);
  ASSERT_EQ(error, "");
  // The pictures folder is a file: no folder can be made in it.
  std::ofstream(title.Root() / "pictures") << "x";
  TScopedEnv env("XDG_PICTURES_DIR", (title.Root() / "pictures").string());
  TDIBX shot;
  ASSERT_TRUE(Screenshot(title, 8, "3 keydown 123\n", shot, error)) << error;
  const std::string log = title.Slurp(title.Root() / "run.err");
  EXPECT_NE(log.find("Screenshot failed: cannot create"), std::string::npos) << log;
}

} // namespace
} // namespace nova::e2e
