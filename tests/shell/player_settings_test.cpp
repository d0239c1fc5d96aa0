// SPDX-License-Identifier: MIT
#include "shell/player_settings.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "shell/ini_file.h"

namespace nova {
namespace {

TPlayerSettings Read(const std::string& text, std::vector<std::string>& problems) {
  TIniFile ini;
  ini.Parse(text);
  return ReadPlayerSettings(ini, "game.ini", problems);
}

TEST(PlayerSettings, ReadsTheReadingAidAndTheGamepad) {
  std::vector<std::string> problems;
  TPlayerSettings s = Read("", problems);
  EXPECT_FALSE(s.copy_text);
  EXPECT_FALSE(s.speak);
  EXPECT_TRUE(s.gamepad.enabled);
  EXPECT_EQ(s.gamepad.dpad, TDPadMode::Both);
  EXPECT_EQ(s.gamepad.buttons, TGamepadSettings::DefaultButtons());

  s = Read("[Player]\nCopyText=1\nSpeak=1\n[Gamepad]\nA=enter\nY=key:32\nB=none\nDPad=keys\n"
           "PointerSpeed=900\nDeadZone=10\n",
           problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_TRUE(s.copy_text);
  EXPECT_TRUE(s.speak);
  const TPadAction enter{TPadAction::TKind::Key, TMouseButton::Left, vk::kReturn};
  EXPECT_EQ(s.gamepad.buttons[size_t(TPadButton::A)], TPadActions{enter});
  EXPECT_EQ(s.gamepad.buttons[size_t(TPadButton::Y)][0].key, 32);
  EXPECT_TRUE(s.gamepad.buttons[size_t(TPadButton::B)].empty());
  EXPECT_EQ(s.gamepad.dpad, TDPadMode::Keys);
  EXPECT_EQ(s.gamepad.pointer_speed, 900);
  EXPECT_EQ(s.gamepad.dead_zone, 10);
}

TEST(PlayerSettings, BadValuesKeepTheirDefaultAndAreNamed) {
  const struct {
    const char* line;
    const char* problem;
  } cases[] = {
      {"A=jump", "game.ini: [Gamepad] A=jump: expected actions joined by '+'"},
      {"DPad=mouse", "game.ini: [Gamepad] DPad=mouse: expected keys, pointer or keys|pointer"},
      {"PointerSpeed=0", "game.ini: [Gamepad] PointerSpeed=0: expected a number from 1 to 10000"},
      {"DeadZone=fast", "game.ini: [Gamepad] DeadZone=fast: expected a number from 0 to 90"},
  };
  const TGamepadSettings defaults;
  for (const auto& c : cases) {
    std::vector<std::string> problems;
    const TPlayerSettings s = Read(std::string("[Gamepad]\n") + c.line + "\n", problems);
    ASSERT_EQ(problems.size(), 1u) << c.line;
    EXPECT_EQ(problems[0].rfind(c.problem, 0), 0u) << problems[0];
    EXPECT_EQ(s.gamepad.buttons, defaults.buttons);
    EXPECT_EQ(s.gamepad.dpad, defaults.dpad);
    EXPECT_EQ(s.gamepad.pointer_speed, defaults.pointer_speed);
    EXPECT_EQ(s.gamepad.dead_zone, defaults.dead_zone);
  }
}

} // namespace
} // namespace nova
