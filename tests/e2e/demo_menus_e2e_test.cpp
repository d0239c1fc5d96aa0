// SPDX-License-Identifier: MIT
// The demo's save, load and settings screens, called from a small page of their own in a title
// that carries the demo's menu pages, their pictures and the demo's status variables. Each test
// runs its title more than once in one folder, so the save file carries over.
#include <gtest/gtest.h>

#include <sstream>

#include "e2e/picture_title.h"
#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

// Slot i of the save and load screens lies at x = 30 + (i % 2) * 295, y = 50 + (i / 2) * 76,
// 285 x 70; the music slider's track starts at x = 211 and is 278 long, centred on y = 131.
constexpr int kSlot3X = 30 + 295 + 140, kSlot3Y = 50 + 76 + 35;
constexpr int kMusicHalfX = 211 + 139, kMusicThreeQuartersX = 211 + 208, kMusicY = 131;

// Input lines: the pointer goes to (x, y), clicks there at frame 20 and leaves at frame 24.
std::string Click(int x, int y) {
  const std::string at = std::to_string(x) + " " + std::to_string(y);
  return "15 move " + at + "\n20 mousedown left " + at + "\n22 mouseup left " + at +
         "\n24 move 600 20\n";
}

class DemoMenusE2e : public testing::Test {
protected:
  explicit DemoMenusE2e() : title_(testing::UnitTest::GetInstance()->current_test_info()->name()) {}

  // The menu pages and pictures from demo/, a backdrop to take thumbnails of, and a project
  // with the demo's own status variables.
  void SetUp() override {
    for (const char* page : {"save", "load", "settings", "slots"}) {
      const std::string file = std::string(page) + ".nsb.txt";
      title_.Add(file, title_.Slurp(std::string(NOVA_SOURCE_DIR "/demo/src/") + file));
    }
    std::string error;
    for (const auto& entry : std::filesystem::directory_iterator(NOVA_SOURCE_DIR "/demo/pictures"))
      if (entry.path().stem().string().rfind("menu_", 0) == 0)
        ASSERT_TRUE(DrawPicture(title_, entry.path().stem().string() + ".wsp",
                                title_.Slurp(entry.path()), error))
            << error;
    ASSERT_TRUE(DrawPicture(title_, "back.wsp",
                            "frame 640 480\ngradient v $602010 $2040A0\n"
                            "ellipse 380 60 200 200 $60C0F0\nrect 0 360 640 120 $204020\n",
                            error))
        << error;
    std::string project = "project 116\ntitle \"menus\"\nscene 640 480\nstart \"main.nsb\"\n"
                          "var int \"runs\" 0\n";
    std::istringstream demo(title_.Slurp(NOVA_SOURCE_DIR "/demo/src/nova.npb.txt"));
    for (std::string line; std::getline(demo, line);)
      if (line.rfind("var ", 0) == 0 && line.find("\"runs\"") == std::string::npos)
        project += line + "\n";
    title_.Add("nova.npb.txt", project);
  }

  // One run of `frames` frames with the pointer and keys of `input`; the variables at exit.
  std::map<std::string, std::string> Run(int frames, const std::string& input, TDIBX* shot) {
    std::string error;
    std::map<std::string, std::string> vars;
    if (shot) {
      EXPECT_TRUE(Screenshot(title_, frames, input, *shot, error, &vars)) << error;
      return vars;
    }
    std::ofstream(title_.Root() / "input.txt") << input;
    vars = title_.Run(frames, &error, "--input " + (title_.Root() / "input.txt").string());
    EXPECT_EQ(error, "");
    return vars;
  }

  TTestTitle title_;
};

// The screens are called from the handler of a button, as the story's system bar calls them.
// A click saves into slot 3 of the save screen, which then shows the game's thumbnail and
// caption (the scene name, the date of the headless clock). The next run calls the load screen
// and a click on slot 3 brings the saved game back: the title's after_load.nsb runs, the save
// screen it was saved from goes away and its caller goes on with the saved values.
TEST_F(DemoMenusE2e, SaveIntoSlotThreeThenLoadItBack) {
  title_.Page("main.nsb", "Calc {runs = runs + 1}\n"
                          "VarNew \"x\" type=1 value={5}\n"
                          "VarNew \"scene_name\" type=4 value={\"第二話　港の灯\"}\n"
                          "ImgNew PR_NAME={\"back\"} PR_PARENT={\"\"} PR_SOURCE={\"back.wsp\"} "
                          "PR_PRIORITY={-10}\n"
                          "Button PR_NAME={\"bar\"} PR_PARENT={\"\"} PR_LEFT={440} PR_TOP={6} "
                          "PR_SOURCE={\"menu_button.wsp\"} PR_ONNOTIFY={\"main.nsb:bar\"}\n"
                          "Wait\n"
                          "Exit cond={TRUE}\n"
                          "Label \"bar\"\n"
                          "If {runs == 1}\n"
                          "  Call page=\"save.nsb\" cond={TRUE}\n"
                          "Else\n"
                          "  Calc {x = 99}\n"
                          "  Call page=\"load.nsb\" cond={TRUE}\n"
                          "VarNew \"menu_gone\" type=3 value={Not(Exists(\"menu_root\"))}\n"
                          "Calc {x = x + 1}\n");
  title_.Page("after_load.nsb", "VarNew \"hooked\" type=3 value={TRUE}\n");
  const std::string input =
      "3 move 480 20\n5 mousedown left 480 20\n6 mouseup left 480 20\n" + Click(kSlot3X, kSlot3Y);
  TDIBX shot(1, 1, 32);
  auto vars = Run(40, input, &shot);
  EXPECT_EQ(ValueOf(vars, "x"), "5") << "the save screen is still open";
  EXPECT_EQ(ValueOf(vars, "menu_slot"), "3");
  CompareWithGolden(shot, "demo_menus_saved_slot");

  vars = Run(40, input, nullptr);
  EXPECT_EQ(ValueOf(vars, "runs"), "2");
  EXPECT_EQ(ValueOf(vars, "x"), "6") << "the saved 5, then the caller's step";
  EXPECT_EQ(ValueOf(vars, "menu_gone"), "TRUE");
  EXPECT_EQ(ValueOf(vars, "hooked"), "TRUE");
  EXPECT_EQ(ValueOf(vars, "menu_done"), "") << "the menu's variables went with it";
}

// A click on the empty slot of the load screen does nothing; Escape, a right click and "戻る"
// each return to the caller with the menu removed.
TEST_F(DemoMenusE2e, EveryWayBackReturnsAndRemovesTheMenu) {
  title_.Page("main.nsb", "VarNew \"back\" type=1 value={0}\n"
                          "VarNew \"gone\" type=1 value={0}\n"
                          "Wait time={50}\n"
                          "Call page=\"load.nsb\" cond={TRUE}\n"
                          "Calc {back = back + 1}\n"
                          "Calc {gone = gone + Not(Exists(\"menu_root\"))}\n"
                          "Call page=\"save.nsb\" cond={TRUE}\n"
                          "Calc {back = back + 1}\n"
                          "Calc {gone = gone + Not(Exists(\"menu_root\"))}\n"
                          "Call page=\"settings.nsb\" cond={TRUE}\n"
                          "Calc {back = back + 1}\n"
                          "Calc {gone = gone + Not(Exists(\"menu_root\"))}\n"
                          "Wait time={100000}\n");
  const auto vars = Run(60,
                        "8 mousedown left 150 85\n9 mouseup left 150 85\n"
                        "12 keydown 27\n15 keyup 27\n"
                        "20 mousedown right 300 300\n21 mouseup right 300 300\n"
                        "30 move 570 456\n32 mousedown left 570 456\n33 mouseup left 570 456\n",
                        nullptr);
  EXPECT_EQ(ValueOf(vars, "back"), "3");
  EXPECT_EQ(ValueOf(vars, "gone"), "3");
}

// Saving over a used slot asks first: "いいえ" keeps the old game, "はい" saves anew, and the
// slot then shows the new thumbnail (a screen gone red), not the one it showed before.
TEST_F(DemoMenusE2e, OverwritingAsksAndRenewsTheThumbnail) {
  title_.Page("main.nsb", "ImgNew PR_NAME={\"back\"} PR_PARENT={\"\"} PR_SOURCE={\"back.wsp\"} "
                          "PR_PRIORITY={-10}\n"
                          "Wait time={100}\n"
                          "Call page=\"save.nsb\" cond={TRUE}\n"
                          "BoxNew PR_NAME={\"red\"} PR_PARENT={\"\"} PR_WIDTH={640} "
                          "PR_HEIGHT={480} PR_COLOR={$2020C0}\n"
                          "Wait time={100}\n"
                          "Call page=\"save.nsb\" cond={TRUE}\n"
                          "Wait time={100000}\n");
  const std::string slot = std::to_string(kSlot3X) + " " + std::to_string(kSlot3Y);
  const std::string input = Click(kSlot3X, kSlot3Y) + "28 keydown 27\n31 keyup 27\n" + "45 move " +
                            slot + "\n50 mousedown left " + slot + "\n52 mouseup left " + slot +
                            "\n56 move 380 266\n58 mousedown left 380 266\n"
                            "60 mouseup left 380 266\n62 move " +
                            slot + "\n64 mousedown left " + slot + "\n66 mouseup left " + slot +
                            "\n70 move 260 266\n72 mousedown left 260 266\n"
                            "74 mouseup left 260 266\n78 move 600 10\n";
  TDIBX before(1, 1, 32), after(1, 1, 32);
  // The same run twice, stopped before and after the "はい", each from no save file.
  Run(62, input, &before);
  for (const char* file : {"save.dat", "save.dat.bak"})
    std::filesystem::remove(title_.Root() / "title" / file);
  Run(84, input, &after);
  // The middle of the thumbnail; colours read back as the scripts write them ($BBGGRR).
  const int x = kSlot3X - 140 + 6 + 40, y = kSlot3Y - 35 + 5 + 30;
  EXPECT_NE(before.PixelToColor(before.GetPixel(x, y)) & 0xFFFFFF, 0x2020C0u);
  EXPECT_EQ(after.PixelToColor(after.GetPixel(x, y)) & 0xFFFFFF, 0x2020C0u);
}

// The settings start from the declared defaults; a click halfway along the music slider sets
// music_volume to 50, which the next start keeps. There a click at three quarters turns the
// looping sound (music) to 75 at once and leaves the other sound alone, and a click halfway
// along the text slider sets text_delay to 50.
TEST_F(DemoMenusE2e, SlidersApplyAtOnceAndPersist) {
  title_.Page("main.nsb",
              "Calc {runs = runs + 1}\n"
              "VarNew \"before\" type=1 value={music_volume}\n"
              "ImgNew PR_NAME={\"back\"} PR_PARENT={\"\"} PR_SOURCE={\"back.wsp\"} "
              "PR_PRIORITY={-10}\n"
              "Sound PR_NAME={\"bgm\"} PR_SOURCE={\"none.ogg\"} PR_REPEAT={TRUE} "
              "PR_VOLUME={music_volume * 10}\n"
              "Sound PR_NAME={\"se\"} PR_SOURCE={\"none.wav\"} PR_VOLUME={sound_volume * 10}\n"
              "Wait time={100}\n"
              "Call page=\"settings.nsb\" cond={TRUE}\n"
              "VarNew \"bgm\" type=1 value={GetProp(\"bgm\", 28)}\n"
              "VarNew \"se\" type=1 value={GetProp(\"se\", 28)}\n"
              "Wait time={100000}\n");
  TDIBX shot(1, 1, 32);
  auto vars = Run(30, Click(kMusicHalfX, kMusicY), &shot);
  EXPECT_EQ(ValueOf(vars, "before"), "80");
  EXPECT_EQ(ValueOf(vars, "music_volume"), "50");
  EXPECT_EQ(ValueOf(vars, "sound_volume"), "80");
  EXPECT_EQ(ValueOf(vars, "text_delay"), "30");
  CompareWithGolden(shot, "demo_menus_settings");

  const std::string text_half = std::to_string(kMusicHalfX) + " " + std::to_string(kMusicY + 160);
  vars =
      Run(50,
          Click(kMusicThreeQuartersX, kMusicY) + "28 move " + text_half + "\n30 mousedown left " +
              text_half + "\n32 mouseup left " + text_half + "\n36 keydown 27\n39 keyup 27\n",
          nullptr);
  EXPECT_EQ(ValueOf(vars, "before"), "50") << "kept across starts";
  EXPECT_EQ(ValueOf(vars, "music_volume"), "75");
  EXPECT_EQ(ValueOf(vars, "bgm"), "750");
  EXPECT_EQ(ValueOf(vars, "se"), "800");
  EXPECT_EQ(ValueOf(vars, "text_delay"), "50");
}

} // namespace
} // namespace nova::e2e
