// SPDX-License-Identifier: MIT
// Round trips through `novatool image towsp` and `topng`.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "graphics/png_picture.h"
#include "graphics/wisp_frame_list.h"

using namespace nova;
namespace fs = std::filesystem;

namespace {

class ImageTool : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("wisp_tool_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  int Run(const std::string& args, std::string* output = nullptr) const {
    const char* tool = std::getenv("NOVA_TOOL");
    if (tool == nullptr)
      return -1;
    std::string command = std::string(tool) + " image " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr)
      text += buffer;
    if (output != nullptr)
      *output = text;
    return WEXITSTATUS(pclose(pipe));
  }

  fs::path dir_;
};

// A 40 × 30 picture with a gradient and an alpha ramp.
TWispPicture Gradient(int seed) {
  TWispPicture p;
  p.color.SetSize(40, 30, 32);
  p.alpha.SetSize(40, 30, 8);
  p.has_alpha = true;
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      p.color.SetRaw(x, y, static_cast<uint32_t>((x * 6) << 16 | (y * 8) << 8 | seed));
      p.alpha.Row(y)[x] = static_cast<uint8_t>(x * 6);
    }
  }
  return p;
}

void WritePng(const std::string& path, const TWispPicture& p) {
  std::vector<uint8_t> bytes = EncodePictureAsPng(p, -1);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

int WorstDifference(const TWispPicture& a, const TWispPicture& b) {
  int worst = 0;
  for (int32_t y = 0; y < a.color.height(); ++y) {
    for (int32_t x = 0; x < a.color.width(); ++x) {
      for (int shift = 0; shift < 24; shift += 8) {
        worst = std::max(worst, std::abs(int((a.color.GetRaw(x, y) >> shift) & 0xFF) -
                                         int((b.color.GetRaw(x, y) >> shift) & 0xFF)));
      }
      worst = std::max(worst, std::abs(a.alpha.Row(y)[x] - b.alpha.Row(y)[x]));
    }
  }
  return worst;
}

} // namespace

TEST_F(ImageTool, PngToLayeredAndBack) {
  if (std::getenv("NOVA_TOOL") == nullptr)
    GTEST_SKIP() << "NOVA_TOOL is not set";
  WritePng(Path("a.png"), Gradient(1));
  WritePng(Path("b.png"), Gradient(200));
  struct Case {
    const char* options;
    const char* read_options;
    int max_error;
  };
  for (const Case& c :
       {Case{"", "", 0}, Case{"--jpeg 95", "", 10}, Case{"--code 0x1234", "--code 0x1234", 0}}) {
    SCOPED_TRACE(c.options);
    const std::string wsp = Path("out.wsp");
    ASSERT_EQ(Run("towsp " + Path("a.png") + " " + Path("b.png") + " -o " + wsp + " " + c.options,
                  nullptr),
              0);
    std::string info;
    ASSERT_EQ(Run("info " + wsp + " " + c.read_options, &info), 0);
    EXPECT_NE(info.find("2 frame(s)"), std::string::npos) << info;
    ASSERT_EQ(Run("topng " + wsp + " " + Path("back.png") + " " + c.read_options), 0);
    for (int i = 0; i < 2; ++i) {
      TWispFrameList back;
      ASSERT_TRUE(back.LoadFromFile(Path("back_" + std::to_string(i) + ".png")));
      EXPECT_LE(WorstDifference(Gradient(i == 0 ? 1 : 200), back.Frame(0).picture), c.max_error);
    }
  }
  EXPECT_EQ(Run("topng " + Path("missing.wsp") + " " + Path("x.png")), 1);
  EXPECT_EQ(Run("towsp " + Path("a.png")), 2);
}
