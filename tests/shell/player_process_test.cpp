// SPDX-License-Identifier: MIT
// novaplay as users and tests run it: real processes, headless where no screen is needed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "shell/config_dialog.h"
#include "shell/ini_file.h"
#include "shell/test_files.h"
#include "shell/test_title.h"

extern char** environ;

namespace nova {
namespace {

using test::ReadAll;
using test::TestDir;
using test::WriteTitle;

struct TResult {
  int status = -1;
  std::string err;
};

// Runs novaplay with `args`, stderr captured; `env` entries are added to the environment.
pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& err_file,
            const std::vector<std::string>& env = {}) {
  const char* play = std::getenv("NOVA_PLAY");
  std::vector<std::string> all = {play ? play : NOVA_BINARY_DIR "/apps/novaplay/novaplay"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  // Entries given replace those of the same name.
  std::vector<std::string> env_strings;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const std::string& given : env)
      replaced = replaced || given.rfind(name, 0) == 0;
    if (!replaced)
      env_strings.push_back(entry);
  }
  env_strings.insert(env_strings.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (auto& e : env_strings)
    envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(error, 0) << argv[0];
  return error == 0 ? pid : -1;
}

// The exit status; -1 for a crash, and for a player still running after a minute (it is
// killed: a hang fails the test instead of the whole run).
int Wait(pid_t pid) {
  if (pid <= 0)
    return -1;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TResult RunPlay(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  const auto err = std::filesystem::path(NOVA_BINARY_DIR) / "test_tmp" / "shell" /
                   ("stderr_" + std::to_string(getpid()) + ".txt");
  std::filesystem::create_directories(err.parent_path());
  TResult r;
  r.status = Wait(Spawn(args, err, env));
  r.err = ReadAll(err);
  return r;
}

TEST(PlayerProcess, UsageErrorsAndMissingTitle) {
  TResult r = RunPlay({"--no-such-option"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown option --no-such-option"), std::string::npos);
  EXPECT_NE(r.err.find("usage: novaplay"), std::string::npos);
  r = RunPlay({"--headless", "/no/such/title/folder"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no title folder or archive at /no/such/title/folder"), std::string::npos);
}

TEST(PlayerProcess, SecondInstanceForTheSameFolderEndsSilently) {
  const auto dir = TestDir("instances");
  WriteTitle(dir / "one", "Calc {}\n");
  WriteTitle(dir / "two", "Calc {}\n");
  // Windowed players (SDL's dummy driver stands in for the screen) take the lock.
  const std::vector<std::string> env = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
  // The first one writes its record file only once it holds the lock.
  const pid_t first =
      Spawn({"--frames", "1000000", "--record", (dir / "rec.txt").string(), (dir / "one").string()},
            dir / "first.txt", env);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!std::filesystem::exists(dir / "rec.txt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_GT(first, 0);
  if (!std::filesystem::exists(dir / "rec.txt")) {
    kill(first, SIGTERM);
    Wait(first);
    FAIL() << "the first player did not start: " << ReadAll(dir / "first.txt");
  }
  const TResult second = RunPlay({"--frames", "1000000", (dir / "one").string()}, env);
  // The second ended at once (it would have run for hours), silently and successfully.
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.err, "");
  // Another folder starts.
  TResult other = RunPlay({"--frames", "3", (dir / "two").string()}, env);
  EXPECT_EQ(other.status, 0);
  EXPECT_EQ(other.err, "");
  kill(first, SIGTERM);
  Wait(first);
}

TEST(PlayerProcess, HeadlessRunPresentsAndRecordsWhatItReplays) {
  const auto dir = TestDir("headless");
  WriteTitle(dir / "title", "Calc {}\n");
  std::ofstream(dir / "in.txt") << "0 move 5 6\n2 keydown 65\n3 keyup 65\n";
  TResult r =
      RunPlay({"--headless", "--frames", "6", "--screenshot", (dir / "end.png").string(),
               "--screenshot-every", "3", dir.string(), "--input", (dir / "in.txt").string(),
               "--record", (dir / "rec.txt").string(), (dir / "title").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "end.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "frame_000003.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "frame_000006.png"));
  EXPECT_FALSE(std::filesystem::exists(dir / "frame_000004.png"));
  EXPECT_NE(ReadAll(dir / "rec.txt").find("0 move 5 6\n2 keydown 65\n3 keyup 65\n"),
            std::string::npos);
  std::ofstream(dir / "bad.txt") << "0 teleport\n";
  r = RunPlay({"--headless", "--frames", "1", "--input", (dir / "bad.txt").string(),
               (dir / "title").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("bad.txt: line 1: unknown event"), std::string::npos);
}

TEST(PlayerProcess, QuitButtonAsksAndYesCloses) {
  const auto dir = TestDir("quit");
  WriteTitle(dir / "title", "Calc {}\n");
  std::ofstream(dir / "in.txt") << "1 dock quit\n2 dock quit\n";
  TResult r = RunPlay({"--headless", "--frames", "5", "--answer", "no,yes", "--input",
                       (dir / "in.txt").string(), (dir / "title").string()},
                      {"LC_ALL=ja_JP.UTF-8"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "[message box] NovaPlayer: 「NovaPlayer」を終了しますか？ -> no\n"
                   "[message box] NovaPlayer: 「NovaPlayer」を終了しますか？ -> yes\n");
}

// Clicks in the dialog's client area, a frame for each step as a hand would.
std::string Click(int frame, int x, int y) {
  return std::to_string(frame) + " move " + std::to_string(x) + " " + std::to_string(y) + "\n" +
         std::to_string(frame + 1) + " mousedown left " + std::to_string(x) + " " +
         std::to_string(y) + "\n" + std::to_string(frame + 2) + " mouseup left " +
         std::to_string(x) + " " + std::to_string(y) + "\n";
}

TEST(PlayerProcess, ConfigDialogOkWritesAndCancelDoesNot) {
  using L = TConfigDialogLayout;
  const auto dir = TestDir("config");
  const auto title = dir / "title";
  std::filesystem::create_directories(title);
  const auto ini = title / "game.ini";
  const auto run = [&](const std::string& input) {
    std::ofstream(dir / "in.txt") << input;
    return RunPlay({"--headless", "--input", (dir / "in.txt").string(), "/config", title.string()});
  };
  const int ok_x = L::kOkX + 10, cancel_x = L::kCancelX + 10, button_y = L::kButtonY + 10;

  // Cancel: nothing written, not even created.
  EXPECT_EQ(run(Click(1, cancel_x, button_y)).status, 0);
  EXPECT_FALSE(std::filesystem::exists(ini));
  // Escape is Cancel too, even after changes.
  EXPECT_EQ(run(Click(1, L::kCheckX + 5, L::kCheckY + 5) + "6 keydown 27\n7 keyup 27\n").status, 0);
  EXPECT_FALSE(std::filesystem::exists(ini));

  // OK writes the defaults.
  EXPECT_EQ(run(Click(1, ok_x, button_y)).status, 0);
  TIniFile saved;
  saved.Load(ini);
  EXPECT_EQ(saved.ReadString("Sound", "DirectSound", ""), "1");
  EXPECT_EQ(saved.ReadString("Sound", "DelayTime", ""), "500");

  // Untick DirectSound (which enables the track bar), drag it to the left end, OK.
  std::string input = Click(1, L::kCheckX + 5, L::kCheckY + 5);
  input += "6 move " + std::to_string(L::kTrackX + L::kTrackWidth - 5) + " " +
           std::to_string(L::kTrackY + 5) + "\n";
  input += "7 mousedown left " + std::to_string(L::kTrackX + L::kTrackWidth - 5) + " " +
           std::to_string(L::kTrackY + 5) + "\n";
  input += "8 move " + std::to_string(L::kTrackX) + " " + std::to_string(L::kTrackY + 5) + "\n";
  input +=
      "9 mouseup left " + std::to_string(L::kTrackX) + " " + std::to_string(L::kTrackY + 5) + "\n";
  input += Click(10, ok_x, button_y);
  EXPECT_EQ(run(input).status, 0);
  saved.Load(ini);
  EXPECT_EQ(saved.ReadString("Sound", "DirectSound", ""), "0");
  EXPECT_EQ(saved.ReadString("Sound", "DelayTime", ""), "100");

  // With DirectSound on the track bar is greyed out: dragging it changes nothing.
  input = Click(1, L::kCheckX + 5, L::kCheckY + 5); // tick it again
  input += "6 mousedown left " + std::to_string(L::kTrackX + L::kTrackWidth - 5) + " " +
           std::to_string(L::kTrackY + 5) + "\n";
  input += "7 mouseup left " + std::to_string(L::kTrackX + L::kTrackWidth - 5) + " " +
           std::to_string(L::kTrackY + 5) + "\n";
  input += "8 keydown 13\n9 keyup 13\n"; // Enter is OK
  EXPECT_EQ(run(input).status, 0);
  saved.Load(ini);
  EXPECT_EQ(saved.ReadString("Sound", "DirectSound", ""), "1");
  EXPECT_EQ(saved.ReadString("Sound", "DelayTime", ""), "100");
}

} // namespace
} // namespace nova

namespace nova {
namespace {

// What stops a title is visible in the exit status and on stderr; nothing crashes or hangs.
TEST(PlayerProcess, FailuresEndWithStatusOneAndAMessage) {
  const auto dir = TestDir("failures");
  WriteTitle(dir / "ok", "Calc {}\n");
  std::filesystem::create_directories(dir / "empty");
  WriteTitle(dir / "recursion", "Calc {}\nCall page=\"main.nsb\" cond={TRUE}\n");
  WriteTitle(dir / "error", "VarNew \"\" type=1\nCalc {x = 1}\n");
  WriteTitle(dir / "fifo", "Calc {}\n");
  ASSERT_EQ(::mkfifo((dir / "fifo" / "game.ini").c_str(), 0600), 0);
  std::ofstream(dir / "a_file") << "x";
  std::filesystem::create_directories(dir / "read_only");
  std::filesystem::create_directories(dir / "shots");
  std::filesystem::permissions(dir / "read_only", std::filesystem::perms::owner_read |
                                                      std::filesystem::perms::owner_exec);
  const std::string ok = (dir / "ok").string();
  const std::vector<std::string> no_display = {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="};
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> env;
    int status;
    const char* message; // in stderr
  } cases[] = {
      {"no project file",
       {"--headless", "--frames", "3", (dir / "empty").string()},
       {},
       1,
       "the title has no project file nova.npb"},
      {"endless recursion",
       {"--headless", "--frames", "100", (dir / "recursion").string()},
       {},
       1,
       "calls nested deeper than 10000 levels"},
      {"script error",
       {"--headless", "--frames", "3", (dir / "error").string()},
       {},
       1,
       "the script stopped"},
      {"game.ini is a FIFO", {"--headless", "--frames", "3", (dir / "fifo").string()}, {}, 0, ""},
      {"screenshots into a missing folder",
       {"--headless", "--frames", "3", "--screenshot-every", "1", (dir / "none").string(), ok},
       {},
       1,
       "--screenshot-every: cannot write to"},
      {"screenshots into a file",
       {"--headless", "--frames", "3", "--screenshot-every", "1", (dir / "a_file").string(), ok},
       {},
       1,
       "(not a folder)"},
      {"screenshots into a read-only folder",
       {"--headless", "--frames", "3", "--screenshot-every", "1", (dir / "read_only").string(), ok},
       {},
       1,
       "(Permission denied)"},
      {"screenshots of an empty folder",
       {"--headless", "--frames", "3", "--screenshot-every", "1", (dir / "shots").string(),
        (dir / "empty").string()},
       {},
       1,
       "the title has no project file nova.npb"},
      {"variables into a missing folder",
       {"--headless", "--dump-vars", (dir / "none" / "v.txt").string(), ok},
       {},
       1,
       "--dump-vars: cannot write to"},
      {"trace into a folder",
       {"--headless", "--trace", dir.string(), ok},
       {},
       1,
       "--trace: cannot write to"},
      {"sound into a missing folder",
       {"--headless", "--audio-out", (dir / "none" / "a.wav").string(), ok},
       {},
       1,
       "--audio-out: cannot write to"},
      {"MIDI log into a folder",
       {"--headless", "--midi-log", dir.string(), ok},
       {},
       1,
       "--midi-log: cannot write to"},
      {"no display", {"--frames", "3", ok}, no_display, 1, "Run the title headless instead"},
  };
  const bool root = ::geteuid() == 0; // root writes into read-only folders
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (root && std::string(c.what).find("read-only") != std::string::npos)
      continue;
    const TResult r = RunPlay(c.args, c.env);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  std::filesystem::permissions(dir / "read_only", std::filesystem::perms::owner_all);
}

// A title-stopping message keeps the system's Japanese text; other readers get one English line
// naming what is wrong.
TEST(PlayerProcess, StoppingMessagesAddAnEnglishLineOutsideJapanese) {
  const auto dir = TestDir("english_line");
  WriteTitle(dir, "Calc {}\n");
  {
    // A project version newer than any the player reads.
    std::fstream project(dir / "nova.npb", std::ios::in | std::ios::out | std::ios::binary);
    project.write("\xE7\x03\x00\x00", 4); // 999
  }
  const struct {
    const char* lang;
    bool english;
  } cases[] = {{"LANG=C", true}, {"LANG=ja_JP.UTF-8", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang);
    const TResult r =
        RunPlay({"--headless", "--frames", "3", dir.string()}, {c.lang, "LC_ALL=", "LC_MESSAGES="});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("このバージョンには対応していません"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("nova.npb has version 999; this player reads versions up to 116.") !=
                  std::string::npos,
              c.english)
        << r.err;
  }
}

// A trace or variable dump that cannot be written after the start (a full disk) is reported
// once, naming the option and the path, and the run ends with status 1.
TEST(PlayerProcess, LaterWriteFailuresOfTheTraceAndTheDumpEndTheRun) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  const auto dir = TestDir("full_disk");
  // The endless page traces many lines a frame: the full disk shows long before the end. The
  // short one's trace fails only when it is closed.
  WriteTitle(dir / "endless", "VarNew \"n\" type=1 value={0} scope=1\nLabel \"top\"\n"
                              "Calc {n = n + 1}\nJump page=\"main.nsb\" target=@top cond={TRUE}\n");
  WriteTitle(dir / "short", "VarNew \"n\" type=1 value={1}\n");
  const struct {
    const char* option;
    const char* title;
    uint32_t frames;
  } cases[] = {{"--trace", "endless", 200}, {"--trace", "short", 3}, {"--dump-vars", "short", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.option) + " " + c.title);
    const TResult r = RunPlay({"--headless", "--frames", std::to_string(c.frames), c.option,
                               "/dev/full", (dir / c.title).string()});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string message = std::string(c.option) + ": writing /dev/full failed";
    const size_t at = r.err.find(message);
    EXPECT_NE(at, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(message, at + 1), std::string::npos) << "reported twice: " << r.err;
  }
  const TResult ok = RunPlay({"--headless", "--frames", "3", "--dump-vars", "/dev/null", "--trace",
                              "/dev/null", (dir / "short").string()});
  EXPECT_EQ(ok.status, 0) << ok.err;
}

// A page that loops without waiting still lets the frames pass, and a headless run ends.
TEST(PlayerProcess, EndlessLoopsDoNotStopTheFrames) {
  const auto dir = TestDir("loop");
  WriteTitle(dir / "title", "VarNew \"n\" type=1 value={0} scope=1\nLabel \"top\"\n"
                            "Calc {n = n + 1}\nJump page=\"main.nsb\" target=@top cond={TRUE}\n");
  const TResult r = RunPlay({"--headless", "--frames", "2", "--dump-vars",
                             (dir / "vars.txt").string(), (dir / "title").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadAll(dir / "vars.txt").find("n"), std::string::npos);
}

// SIGTERM closes as the window's button does: the end screenshot is still taken, status 0.
TEST(PlayerProcess, StopSignalsCloseThePlayer) {
  const auto dir = TestDir("signals");
  WriteTitle(dir / "title", "Calc {}\n");
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig);
    std::filesystem::remove(dir / "end.png");
    std::filesystem::remove(dir / "rec.txt");
    const pid_t pid = Spawn({"--headless", "--screenshot", (dir / "end.png").string(), "--record",
                             (dir / "rec.txt").string(), (dir / "title").string()},
                            dir / "err.txt");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(dir / "rec.txt") && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(pid, sig);
    EXPECT_EQ(Wait(pid), 0) << ReadAll(dir / "err.txt");
    EXPECT_TRUE(std::filesystem::exists(dir / "end.png"));
  }
}

} // namespace
} // namespace nova
