// SPDX-License-Identifier: MIT
// A flip through a one-second fade, played headless with a picture of every frame: the fade's
// weight follows the clock frame by frame, and the script waits for the whole duration.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/picture_title.h"

namespace nova::e2e {
namespace {

constexpr int kFrameMs = 16;
constexpr int kFadeMs = 1000;

// Red in front, blue prepared behind; the flip fades from one to the other, then the script
// marks the moment it moved on.
const char kMain[] =
    "BoxNew PR_NAME={\"old\"} PR_PARENT={\"\"} PR_WIDTH={64} PR_HEIGHT={48} PR_COLOR={$0000FF}\n"
    "BoxNew PR_NAME={\"new\"} PR_PARENT={Chr(1)} PR_WIDTH={64} PR_HEIGHT={48} "
    "PR_COLOR={$FF0000}\n"
    "Wait time={1}\n"
    "Flip kind={1} time={1000} flag={0}\n"
    "Calc {after = 1}\n"
    "Wait time={100000}\n";

// Clock of the first trace line of a command on the page's (1-based) line, or -1.
long TraceClock(const std::string& trace, const std::string& where) {
  std::istringstream lines(trace);
  for (std::string line; std::getline(lines, line);)
    if (line.find(where) != std::string::npos)
      return std::stol(line.substr(0, line.find(' ')), nullptr, 16);
  return -1;
}

TEST(FlipE2e, FadeWeightsFollowTheClockAndTheScriptWaitsTheWholeFade) {
  TTestTitle title("flip_fade");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 64 48\nstart \"main.nsb\"\n"
                            "var int \"after\" 0\n");
  title.Page("main.nsb", kMain);
  const std::filesystem::path frames = title.Root() / "frames", trace = title.Root() / "trace.txt";
  std::filesystem::create_directories(frames);
  std::string error;
  const auto vars = title.Run(100, &error,
                              "--frame-ms " + std::to_string(kFrameMs) + " --screenshot-every 1 " +
                                  frames.string() + " --trace " + trace.string());
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_EQ(ValueOf(vars, "after"), "1");

  // The red weight of the top-left pixel in every frame, in order.
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(frames))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 90u);
  std::vector<uint32_t> colours;
  for (const auto& file : files) {
    const std::string bytes = title.Slurp(file);
    TDIBX shot(1, 1, 32);
    shot.LoadFromStream(std::vector<uint8_t>(bytes.begin(), bytes.end()), file.string());
    colours.push_back(shot.PixelToColor(shot.GetPixel(10, 10)) & 0xFFFFFF);
  }
  // Red until the fade starts, then the blend of every 16 ms step below a second, then blue.
  const auto first =
      std::find_if(colours.begin(), colours.end(), [](uint32_t c) { return c != 0x0000FF; });
  ASSERT_NE(first, colours.end());
  std::vector<uint32_t> want;
  for (int elapsed = 0; elapsed < kFadeMs; elapsed += kFrameMs) {
    const int w = elapsed * 256 / kFadeMs;
    const uint32_t red = w == 0 ? 255 : (255 * (255 - w)) >> 8, blue = w == 0 ? 0 : (255 * w) >> 8;
    want.push_back(blue << 16 | red);
  }
  // The first fading frame has weight 0: it still looks red.
  const auto start = first - 1;
  ASSERT_GE(colours.end() - start, static_cast<long>(want.size()) + 1);
  const std::vector<uint32_t> got(start, start + static_cast<long>(want.size()));
  EXPECT_EQ(got, want);
  EXPECT_EQ(*(start + static_cast<long>(want.size())), 0xFF0000u);
  EXPECT_EQ(colours.back(), 0xFF0000u);

  // The command after the flip runs a whole fade after the flip started.
  const std::string log = title.Slurp(trace);
  const long flip = TraceClock(log, "main.nsb(4)"), after = TraceClock(log, "main.nsb(5)");
  ASSERT_GE(flip, 0) << log;
  ASSERT_GE(after, 0) << log;
  EXPECT_GE(after - flip, kFadeMs) << log;
  EXPECT_LT(after - flip, kFadeMs + 4 * kFrameMs);
}

} // namespace
} // namespace nova::e2e
