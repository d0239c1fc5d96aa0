// SPDX-License-Identifier: MIT
// The demo title as it is built, played headless from recorded input: to Mina's ending with a
// save in the observatory, then, in a second run, loaded from that save to Kai's ending. Key
// screens are compared with golden pictures, the story's variables with what the choices give,
// and the sound written by the player must carry the music.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "e2e/picture_title.h"
#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

namespace fs = std::filesystem;

// The root-mean-square level (0..1) of the 16-bit stereo samples between two times.
double Rms(const std::string& wav, double from_s, double to_s) {
  const size_t data = wav.find("data");
  if (data == std::string::npos)
    return 0;
  const size_t begin = data + 8;
  const size_t first = begin + static_cast<size_t>(from_s * 44100) * 4;
  const size_t last = std::min(wav.size(), begin + static_cast<size_t>(to_s * 44100) * 4);
  double sum = 0;
  size_t n = 0;
  for (size_t i = first; i + 1 < last; i += 2, ++n) {
    const auto s =
        static_cast<int16_t>(static_cast<uint8_t>(wav[i]) | static_cast<uint8_t>(wav[i + 1]) << 8);
    sum += double(s) * s;
  }
  return n ? std::sqrt(sum / double(n)) / 32768 : 0;
}

TDIBX LoadPng(const TTestTitle& title, const fs::path& png) {
  const std::string bytes = title.Slurp(png);
  TDIBX shot(1, 1, 32);
  shot.LoadFromStream(std::vector<uint8_t>(bytes.begin(), bytes.end()), png.string());
  return shot;
}

std::string Frame(const fs::path& dir, int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06d.png", frame);
  return (dir / name).string();
}

class DemoE2e : public ::testing::Test {
protected:
  void SetUp() override {
    // The title as the build made it: pictures, films, maps, sounds and music included.
    const fs::path built = fs::path(NOVA_BINARY_DIR) / "demo" / "title";
    ASSERT_TRUE(fs::exists(built / "game.dat")) << "build the demo_title target first";
    fs::create_directories(title_.Root() / "title");
    for (const char* file : {"game.dat", "install.dat"})
      fs::copy_file(built / file, title_.Root() / "title" / file);
  }

  // Plays `frames` frames from the recorded input; the variables at the end.
  std::map<std::string, std::string> Play(const std::string& run, const char* input, int frames) {
    const fs::path shots = title_.Root() / run;
    fs::create_directories(shots);
    const std::string play = Tool("NOVA_PLAY", "/apps/novaplay/novaplay");
    const std::string cmd =
        play + " --headless --frames " + std::to_string(frames) + " --input " + NOVA_SOURCE_DIR +
        "/tests/e2e/data/" + input + " --screenshot-every 10 " + shots.string() + " --screenshot " +
        (shots / "last.png").string() + " --audio-out " + (shots / "sound.wav").string() +
        " --dump-vars " + (shots / "vars.txt").string() + " " + (title_.Root() / "title").string() +
        " 2> " + (shots / "run.err").string();
    EXPECT_EQ(std::system(cmd.c_str()), 0) << title_.Slurp(shots / "run.err");
    std::map<std::string, std::string> vars;
    std::istringstream lines(title_.Slurp(shots / "vars.txt"));
    for (std::string line; std::getline(lines, line);) {
      const size_t space = line.find(' ');
      if (space != std::string::npos)
        vars[line.substr(0, space)] = line.substr(space + 1);
    }
    return vars;
  }

  // Compares a written frame with its golden picture; NOVA_DEMO_SCREENSHOTS=DIR also copies it
  // there as `readme_name` (the README's pictures come from here).
  void Golden(const fs::path& png, const std::string& golden, const char* readme_name = nullptr) {
    TDIBX shot = LoadPng(title_, png);
    CompareWithGolden(shot, golden);
    const char* dir = std::getenv("NOVA_DEMO_SCREENSHOTS");
    if (readme_name && dir && *dir)
      fs::copy_file(png, fs::path(dir) / readme_name, fs::copy_options::overwrite_existing);
  }

  TTestTitle title_{"demo"};
};

TEST_F(DemoE2e, PlaysToBothEndingsThroughASaveAndALoad) {
  // First run: the title screen, a new game, the name "すばる", Mina on the menu, a save in the
  // observatory, Vega on the star chart: Mina's ending.
  auto vars = Play("mina", "demo_mina_ending.txt", 1240);
  const fs::path mina = title_.Root() / "mina";
  EXPECT_EQ(ValueOf(vars, "runs"), "1");
  EXPECT_EQ(ValueOf(vars, "player"), "\"すばる\"");
  EXPECT_EQ(ValueOf(vars, "mina_points"), "3");
  EXPECT_EQ(ValueOf(vars, "kai_points"), "0");
  EXPECT_EQ(ValueOf(vars, "ending"), "\"ミナ\"");
  EXPECT_EQ(ValueOf(vars, "scene_name"), "\"夜明けの丘\"");
  EXPECT_TRUE(fs::exists(title_.Root() / "title" / "save.dat"));
  Golden(Frame(mina, 80), "demo_title_screen", "demo-title.png");
  Golden(Frame(mina, 120), "demo_story_ruby");
  Golden(Frame(mina, 270), "demo_story", "demo-story.png");
  Golden(Frame(mina, 330), "demo_menu_choice", "demo-choice.png");
  Golden(Frame(mina, 670), "demo_star_chart");
  Golden(mina / "last.png", "demo_mina_ending");
  // The title music (MIDI) plays under the title screen, the night track under the story.
  const std::string sound = title_.Slurp(mina / "sound.wav");
  EXPECT_GT(Rms(sound, 0.5, 1.4), 0.005) << "title music";
  EXPECT_GT(Rms(sound, 3.5, 4.5), 0.005) << "story music";

  // Second run: ロード on the title screen, the save of the first run, the backlog, Altair:
  // Kai's ending.
  vars = Play("kai", "demo_kai_ending.txt", 900);
  EXPECT_EQ(ValueOf(vars, "runs"), "2");
  EXPECT_EQ(ValueOf(vars, "player"), "\"すばる\"") << "the loaded game keeps the name";
  EXPECT_EQ(ValueOf(vars, "mina_points"), "1");
  EXPECT_EQ(ValueOf(vars, "kai_points"), "2");
  EXPECT_EQ(ValueOf(vars, "ending"), "\"カイ\"");
  const fs::path kai = title_.Root() / "kai";
  // The observatory as it was saved, the system bar's captions back; the next line was read
  // in the first run and shows in the read-text colour.
  Golden(Frame(kai, 180), "demo_loaded");
  Golden(Frame(kai, 210), "demo_read_text");
  // The wheel turned up shows the last lines in the backlog.
  Golden(Frame(kai, 250), "demo_backlog");
  Golden(kai / "last.png", "demo_kai_ending");
  EXPECT_GT(Rms(title_.Slurp(kai / "sound.wav"), 6.0, 9.0), 0.005) << "story music after the load";
}

} // namespace
} // namespace nova::e2e
