// SPDX-License-Identifier: MIT
// Saving and loading through built titles: each case runs its title one or more times in the
// same folder (so the save file carries over) and compares variables dumped at exit.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/picture_title.h"
#include "e2e/title_runner.h"
#include "graphics/wisp_frame_list.h"

namespace nova::e2e {
namespace {

constexpr char kProject[] =
    "project 116\ntitle \"save test\"\nstart \"main.nsb\"\nvar int \"runs\" 0\n"
    "var int \"loads\" 0\n";

struct TSaveCase {
  const char* name;
  const char* main;
  int runs;
  std::vector<std::pair<const char*, const char*>> expected; // after the last run
};

const TSaveCase kCases[] = {
    {"empty_title_saves_nothing",
     "GameSave slot={1} title={\"\"}\nVarNew \"n\" type=1 value={ListSaveCaption()}\n",
     1,
     {{"n", "0"}}},
    {"negative_slots_are_no_request",
     "VarNew \"x\" type=1 value={1}\nGameSave slot={-2} title={\"t\"}\nGameLoad slot={-1}\n"
     "Calc {x = x + 1}\nVarNew \"n\" type=1 value={ListSaveCaption()}\n",
     1,
     {{"n", "0"}, {"x", "2"}}},
    {"load_of_a_missing_slot_changes_nothing",
     "VarNew \"x\" type=1 value={1}\nGameLoad slot={9}\nCalc {x = x + 1}\n",
     1,
     {{"x", "2"}}},
    // Slot 3 saved twice: one entry, in its first place; slot 1 stays.
    {"same_slot_twice_keeps_one_entry",
     "GameSave slot={3} title={\"b\"}\nGameSave slot={1} title={\"a\"}\n"
     "GameSave slot={3} title={\"c\"}\nVarNew \"t\" type=4 value={\"\"}\n"
     "VarNew \"s\" type=1 value={0}\nVarNew \"n\" type=1 value={ListSaveCaption(t, s)}\n"
     "VarNew \"g\" type=4 value={GetSaveCaption(3) ++ GetSaveCaption(2)}\n",
     1,
     {{"n", "2"}, {"t", "\"c\", \"a\""}, {"s", "3, 1"}, {"g", "\"c\""}}},
    // ... and the save titles read back at the next start follow the file, where a slot saved
    // again moved to the end.
    {"save_titles_at_next_start",
     "If {runs == 0}\n  GameSave slot={3} title={\"b\"}\n  GameSave slot={1} title={\"a\"}\n"
     "  GameSave slot={3} title={\"c\"}\nCalc {runs = runs + 1}\nVarNew \"t\" type=4 value={\"\"}\n"
     "VarNew \"n\" type=1 value={ListSaveCaption(t)}\n",
     2,
     {{"n", "2"}, {"t", "\"a\", \"c\""}}},
    // A game saved, changed and loaded goes on after its GameSave with the saved values.
    {"load_restores_the_saved_game",
     "VarNew \"x\" type=1 value={5}\nGameSave slot={3} title={\"first\"}\nCalc {x = x + 1}\n"
     "If {loads == 0}\n  Calc {loads = 1}\n  Calc {x = 100}\n  GameLoad slot={3}\n",
     1,
     {{"x", "6"}, {"loads", "1"}}},
    // A game saved in one run loads in the next.
    {"load_in_the_next_run",
     "VarNew \"x\" type=1 value={0}\nCalc {runs = runs + 1}\nIf {runs == 1}\n  Calc {x = 7}\n"
     "  GameSave slot={0} title={\"t\"}\n  Calc {x = 8}\nElse\n  GameLoad slot={0}\n",
     2,
     {{"x", "8"}, {"runs", "2"}}},
    // Captions into a variable while the list is empty: the element-count error stops the
    // expression before its assignment; the script goes on.
    {"list_captions_into_a_variable_when_empty_fails",
     "VarNew \"t\" type=4 value={\"\"}\nVarNew \"n\" type=1 value={5}\n"
     "Calc {n = ListSaveCaption(t)}\nVarNew \"after\" type=1 value={1}\n",
     1,
     {{"n", "5"}, {"after", "1"}}},
    // A status table lives across starts and loads; a game table comes back with the game
    // that held it.
    {"tables_persist_and_load",
     "Calc {runs = runs + 1}\n"
     "If {runs == 1}\n  Calc {DBCreateTable(\"bag\", TRUE)}\n  Calc {DBAddField(\"n\", 1)}\n"
     "  Calc {DBInsert(0)}\n  Calc {DBCreateTable(\"scene\", FALSE)}\n"
     "  Calc {DBAddField(\"seen\", 3)}\n  Calc {DBInsert(TRUE)}\n"
     "  GameSave slot={0} title={\"t\"}\n"
     "If {runs == 2}\n  If {loads == 0}\n    Calc {loads = DBGetTableCount()}\n"
     "    Calc {DBDirectSetInt(\"bag\", \"n\", 0, FALSE, FALSE, \"n\", 5)}\n"
     "    GameLoad slot={0}\n"
     "VarNew \"after\" type=1 value={DBGetTableCount()}\n"
     "VarNew \"bag\" type=1 value={DBDirectGetInt(\"bag\", \"n\", 5, FALSE, FALSE, \"n\", -1)}\n",
     2,
     {{"loads", "1"}, {"after", "2"}, {"bag", "5"}}},
    {"status_variable_counts_starts", "Calc {runs = runs + 1}\n", 3, {{"runs", "3"}}},
    // A "save:" memory file is there again after the next start; "mem:" files are not.
    {"save_memory_file_survives_a_restart",
     "Calc {runs = runs + 1}\n"
     "VarNew \"had\" type=3 value={CopyFile(\"save:thumb.wsp\", \"mem:a.wsp\")}\n"
     "VarNew \"mem\" type=3 value={CopyFile(\"mem:b.wsp\", \"mem:c.wsp\")}\n"
     "VarNew \"ok\" type=3 value={SaveScreen(\"save:thumb.wsp\", 32, 24)}\n"
     "VarNew \"m\" type=3 value={SaveScreen(\"mem:b.wsp\")}\n",
     2,
     {{"had", "TRUE"}, {"mem", "FALSE"}, {"ok", "TRUE"}, {"m", "TRUE"}}},
};

void PrintTo(const TSaveCase& c, std::ostream* os) { *os << c.name; }

class SaveE2e : public testing::TestWithParam<TSaveCase> {};

TEST_P(SaveE2e, Runs) {
  const TSaveCase& c = GetParam();
  TTestTitle title(c.name);
  title.Add("nova.npb.txt", kProject);
  title.Page("main.nsb", c.main);
  std::map<std::string, std::string> vars;
  for (int run = 0; run < c.runs; ++run) {
    std::string error;
    vars = title.Run(20, &error);
    ASSERT_EQ(error, "") << "run " << run;
  }
  for (const auto& [name, value] : c.expected)
    EXPECT_EQ(ValueOf(vars, name), value) << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveE2e, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A save file that is not an archive: start-up ignores it and the title runs, and the next
// write replaces it.
TEST(SaveE2eFiles, DamagedSaveFileIsIgnoredAtStart) {
  TTestTitle title("damaged_save");
  title.Add("nova.npb.txt", kProject);
  title.Page("main.nsb", "Calc {runs = runs + 1}\n");
  std::string error;
  ASSERT_EQ(title.Run(2, &error).count("runs"), 1u) << error;
  std::ofstream(title.Root() / "title" / "save.dat", std::ios::binary | std::ios::trunc)
      << std::string(100, '\xFF');
  std::filesystem::remove(title.Root() / "title" / "save.dat.bak");
  EXPECT_EQ(ValueOf(title.Run(2, &error), "runs"), "1") << error;
  EXPECT_EQ(ValueOf(title.Run(2, &error), "runs"), "2") << error;
}

// A saved game of a version the player refuses: the load stops the title with the message.
TEST(SaveE2eFiles, UnusableGameStopsWithTheMessage) {
  TTestTitle title("unusable_game");
  title.Add("nova.npb.txt", kProject);
  title.Page("main.nsb", "VarNew \"x\" type=1 value={1}\nGameLoad slot={1}\nCalc {x = 2}\n");
  // An archive whose game entry starts with version 106.
  const std::filesystem::path dir = title.Root() / "hostile";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "GAMESAVEDATA1", std::ios::binary) << std::string("\x6A\0\0\0", 4);
  std::filesystem::create_directories(title.Root() / "title");
  const std::string pack = Tool("NOVA_TOOL", "/apps/novatool/novatool") + " archive pack " +
                           dir.string() + " " + (title.Root() / "title" / "save.dat").string();
  ASSERT_EQ(std::system(pack.c_str()), 0);
  std::string error;
  const auto vars = title.Run(10, &error);
  EXPECT_EQ(ValueOf(vars, "x"), "1"); // the script stopped at the load
  EXPECT_NE(title.Slurp(title.Root() / "run.err").find("GAMESAVEDATA1"), std::string::npos);
}

} // namespace
} // namespace nova::e2e

namespace nova::e2e {
namespace {

// A scene with pictures, a message box that has revealed the first of the two pages of its
// text and waits, and an open menu, saved in one run and loaded in a fresh one: a few frames
// later both screens are the same, pixel for pixel. (A box caught between two characters
// shows its next one at once after a load: the saved reveal state keeps no time left.)
TEST(SaveE2eFiles, LoadedSceneLooksAsSaved) {
  TTestTitle title("scene_pixels");
  title.Add("nova.npb.txt", std::string(kProject) + "scene 320 240\n");
  std::string error;
  ASSERT_TRUE(DrawPicture(title, "back.wsp",
                          "frame 320 240\ngradient v $603010 $102040\n"
                          "ellipse 200 20 80 60 $80A0C0\n",
                          error))
      << error;
  ASSERT_TRUE(
      DrawPicture(title, "ball.png", "frame 24 24 alpha\nellipse 0 0 24 24 $20C0F0\n", error))
      << error;
  title.Page("main.nsb",
             "If {runs > 0}\n  Calc {runs = runs + 1}\n  GameLoad slot={1}\n"
             "Calc {runs = runs + 1}\n"
             "ImgNew PR_NAME={\"back\"} PR_PARENT={\"\"} PR_SOURCE={\"back.wsp\"} "
             "PR_PRIORITY={-1}\n"
             "ImgNew PR_NAME={\"ball\"} PR_PARENT={\"\"} PR_LEFT={250} PR_TOP={150} "
             "PR_SOURCE={\"ball.png\"}\n"
             "Menu PR_NAME={\"menu\"} PR_PARENT={\"\"} PR_LEFT={200} PR_TOP={100} PR_WIDTH={100} "
             "PR_HEIGHT={40} PR_TEXT={\"one\" ++ Chr(13) ++ Chr(10) ++ \"two\"} "
             "PR_FONTHEIGHT={16} PR_FONTCOLOR={$FFFFFF} PR_COLOR={$404040}\n"
             "MesNew PR_NAME={\"m\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} PR_WIDTH={160} "
             "PR_HEIGHT={40} PR_FONTHEIGHT={16} PR_FONTCOLOR={$FFFFFF}\n"
             "TextIns text=\"WMWMWMWMWMWMWMWMWMWMWMWMWMWMWMWMWMWMWMWM\" delay=30 box={\"m\"} "
             "history={1} wait={0}\n"
             "Wait time={1500}\n"
             "GameSave slot={1} title={\"here\"}\n"
             "Wait time={50}\n"
             "VarNew \"shot\" type=3 value={SaveScreen(\"shot.wsp\")}\n"
             "Wait time={100000}\n");
  TDIBX saved(1, 1, 32), loaded(1, 1, 32);
  // The save happens about 100 frames in (1.5 s), the capture 3 frames and the screenshot 8
  // frames later.
  std::map<std::string, std::string> vars;
  ASSERT_TRUE(Screenshot(title, 108, "", saved, error, &vars)) << error;
  ASSERT_EQ(ValueOf(vars, "runs"), "1");
  // SaveScreen stores the screen as it is, losslessly, in the save folder.
  ASSERT_EQ(ValueOf(vars, "shot"), "TRUE");
  TWispFrameList captured;
  ASSERT_TRUE(captured.LoadFromFile((title.Root() / "title" / "shot.wsp").string()));
  ASSERT_EQ(captured.Count(), 1);
  TDIBX capture(1, 1, 32);
  captured.Frame(0).CopyTo(capture);
  EXPECT_EQ(capture.Width(), 320);
  EXPECT_EQ(capture.Height(), 240);
  int capture_differs = 0;
  for (int y = 0; y < capture.Height() && y < saved.Height(); ++y)
    for (int x = 0; x < capture.Width() && x < saved.Width(); ++x)
      capture_differs += (capture.PixelToColor(capture.GetPixel(x, y)) & 0xFFFFFF) !=
                         (saved.PixelToColor(saved.GetPixel(x, y)) & 0xFFFFFF);
  EXPECT_EQ(capture_differs, 0);
  ASSERT_TRUE(Screenshot(title, 10, "", loaded, error, &vars)) << error;
  ASSERT_EQ(ValueOf(vars, "runs"), "2");
  ASSERT_EQ(saved.Width(), loaded.Width());
  ASSERT_EQ(saved.Height(), loaded.Height());
  int differing = 0, lit = 0;
  for (int y = 0; y < saved.Height(); ++y) {
    for (int x = 0; x < saved.Width(); ++x) {
      const uint32_t a = saved.PixelToColor(saved.GetPixel(x, y)) & 0xFFFFFF;
      differing += a != (loaded.PixelToColor(loaded.GetPixel(x, y)) & 0xFFFFFF);
      lit += x >= 20 && x < 180 && y >= 20 && y < 60 && ((a >> 8) & 0xFF) > 0xC0;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(lit, 0) << "part of the text shows";
}

} // namespace
} // namespace nova::e2e

namespace nova::e2e {
namespace {

// The random generator is seeded at start from the time of day; headless runs take it from
// their fixed virtual clock, so they repeat.
TEST(SaveE2eFiles, HeadlessRunsRepeatTheirRandomNumbers) {
  TTestTitle title("random_seed");
  title.Page("main.nsb", "VarNew \"r\" type=1 value={Random(1000000)}\n");
  std::string error;
  const std::string first = ValueOf(title.Run(2, &error), "r");
  ASSERT_EQ(error, "");
  EXPECT_NE(first, "");
  EXPECT_EQ(ValueOf(title.Run(2, &error), "r"), first);
}

} // namespace
} // namespace nova::e2e

namespace nova::e2e {
namespace {

// A title that saves on every frame, killed at moments spread over its run: each time the save
// file (or its backup) stays a whole archive, and the next start loads a game from it.
TEST(SaveE2eFiles, KillingThePlayerMidSaveLosesNothing) {
  TTestTitle title("killed");
  title.Add("nova.npb.txt", kProject);
  title.Page("main.nsb", "Jump page=\"saver.nsb\" cond={TRUE}\n");
  title.Page("saver.nsb", "VarNew \"i\" type=1 value={0}\nWhileInit {i = 0}\nLabel \"head\"\n"
                          "While {TRUE} end=@after\n  Calc {i = i + 1}\n"
                          "  GameSave slot={i % 3} title={\"t\" ++ IntToStr(i)}\n"
                          "WhileLoop {} head=@head\nLabel \"after\"\n");
  std::string error;
  title.Run(4, &error);
  ASSERT_EQ(error, "");
  const std::filesystem::path dir = title.Root() / "title";
  const std::string play = Tool("NOVA_PLAY", "/apps/novaplay/novaplay");
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  for (const char* after : {"0.05", "0.13", "0.29", "0.41", "0.67"}) {
    const std::string run = "timeout -s KILL " + std::string(after) + " " + play + " --headless " +
                            dir.string() + " > /dev/null 2>&1";
    std::system(run.c_str());
    const std::string list = tool + " archive list " + (dir / "save.dat").string() +
                             " > /dev/null 2>&1 || " + tool + " archive list " +
                             (dir / "save.dat.bak").string() + " > /dev/null 2>&1";
    EXPECT_EQ(std::system(list.c_str()), 0) << "killed after " << after << " s";
  }
  title.Page("main.nsb", "GameLoad slot={0}\n");
  const auto vars = title.Run(3, &error);
  EXPECT_EQ(error, "");
  EXPECT_NE(ValueOf(vars, "i"), "") << "a game was loaded";
  EXPECT_EQ(title.Slurp(title.Root() / "run.err").find("stopped"), std::string::npos)
      << title.Slurp(title.Root() / "run.err");
}

} // namespace
} // namespace nova::e2e
