// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "shell/mutex_name.h"
#include "shell/player_options.h"

namespace nova {
namespace {

TEST(MutexName, BuiltFromTheTitleFolder) {
  struct Case {
    const char* folder;
    const char* name;
  };
  const Case cases[] = {
      {"C:\\Games\\Title", "C:-GAMES-TITLE-"},
      {"C:\\Games\\Title\\", "C:-GAMES-TITLE-"},
      {"/home/user/game", "-HOME-USER-GAME-"},
      {"/home/user/game/", "-HOME-USER-GAME-"},
      {"", "-"},
      // 0x95 0x5C is one double-byte character whose trail byte is '\': it is no separator,
      // and it does not count as the trailing one either.
      {"/a/\x95\x5C", "-A-\x95\x5C-"},
      // Only single-byte letters are upper-cased; 0x82 0xA0 stays as it is.
      {"/x\x82\xa0y", "-X\x82\xa0Y-"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MutexName(c.folder), c.name) << c.folder;
}

TEST(PlayerOptions, ParsesTheCommandLine) {
  const char* argv[] = {"novaplay",
                        "--headless",
                        "--frames",
                        "30",
                        "--frame-ms",
                        "20",
                        "--screenshot",
                        "a.png",
                        "--screenshot-every",
                        "5",
                        "shots",
                        "--input",
                        "in.txt",
                        "--answer",
                        "yes,No",
                        "--record",
                        "rec.txt",
                        "/title",
                        "--",
                        "--odd-name"};
  TPlayerOptions o;
  std::string error;
  ASSERT_TRUE(ParsePlayerOptions(std::size(argv), argv, o, error)) << error;
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 30u);
  EXPECT_EQ(o.frame_ms, 20u);
  EXPECT_EQ(o.screenshot, "a.png");
  EXPECT_EQ(o.screenshot_every, 5u);
  EXPECT_EQ(o.screenshot_dir, "shots");
  EXPECT_EQ(o.input_file, "in.txt");
  EXPECT_EQ(o.answers, (std::vector<TMsgResult>{TMsgResult::Yes, TMsgResult::No}));
  EXPECT_EQ(o.record_file, "rec.txt");
  EXPECT_EQ(o.params, (std::vector<std::string>{"/title", "--odd-name"}));
}

TEST(PlayerOptions, RejectsUnknownOptionsAndBadValues) {
  const std::vector<std::vector<const char*>> bad = {
      {"novaplay", "--fullscreen"},
      {"novaplay", "--frames"},
      {"novaplay", "--frames", "x"},
      {"novaplay", "--frame-ms", "0"},
      {"novaplay", "--answer", "maybe"},
      {"novaplay", "--screenshot-every", "0", "d"},
      {"novaplay", "-x"},
  };
  for (const auto& argv : bad) {
    TPlayerOptions o;
    std::string error;
    EXPECT_FALSE(ParsePlayerOptions(argv.size(), argv.data(), o, error)) << argv[1];
    EXPECT_FALSE(error.empty());
  }
}

} // namespace
} // namespace nova
