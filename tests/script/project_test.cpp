// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>

#include <deque>
#include <map>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "platform/user_message.h"
#include "script/install_settings.h"
#include "script/project.h"

namespace nova {
namespace {

// Title files in memory, and every dialog and host call recorded.
class TFakeTitle final : public IScriptFiles, public IScriptDialogs, public IProjectHost {
public:
  class TInterp final : public IProjectInterpreter {
  public:
    explicit TInterp(TFakeTitle& t) : t_(t) {}
    void Start(const std::string& page) override { t_.log.push_back("start " + page); }
    void Run() override {
      t_.log.push_back(std::string("run terminating=") + (RunState().Terminating ? "1" : "0"));
      if (t_.exit_page_fails)
        throw ENovaError("broken");
    }

  private:
    TFakeTitle& t_;
  };

  std::map<std::string, std::vector<uint8_t>> files;
  std::deque<TMsgResult> answers;
  std::vector<std::string> log;
  std::vector<std::string> existing_vars;
  bool exit_page_fails = false;
  bool disk_answer = true;

  bool Exists(const std::string& name) override { return files.count(name) > 0; }
  std::vector<uint8_t> Load(const std::string& name) override { return files.at(name); }
  bool PromptForDisk(int32_t disk, const TDiskTexts& texts) override {
    log.push_back("prompt " + std::to_string(disk) + " " + texts.prompt_format);
    return disk_answer;
  }
  TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgButtons,
                        TMsgIcon) override {
    log.push_back("box " + SjisToUtf8(text) + "|" + SjisToUtf8(caption));
    if (answers.empty())
      return TMsgResult::Ok;
    TMsgResult r = answers.front();
    answers.pop_front();
    return r;
  }
  void CloseMainWindow() override { log.push_back("close"); }

  void SetApplicationTitle(const std::string& title) override { log.push_back("title " + title); }
  void SetTransitionCentre(int32_t x, int32_t y) override {
    log.push_back("centre " + std::to_string(x) + "," + std::to_string(y));
  }
  void RestoreStatusData(TProject&) override { log.push_back("restore"); }
  bool VariableExists(const std::string& name) override {
    return std::find(existing_vars.begin(), existing_vars.end(), name) != existing_vars.end();
  }
  void CreateStatusVariable(const TParamData& v) override { log.push_back("var " + v.name); }
  void ReadSaveTitles(TProject&) override { log.push_back("titles"); }
  std::unique_ptr<IProjectInterpreter> CreateInterpreter(TProject&) override {
    return std::make_unique<TInterp>(*this);
  }
  void WriteStatusData(TProject&) override { log.push_back("write status"); }
  void LoadGame(TProject&, int32_t slot) override { log.push_back("load " + std::to_string(slot)); }
  void SaveGame(TProject&, int32_t slot, const std::string&, const std::string&, int32_t) override {
    log.push_back("save " + std::to_string(slot));
  }

  bool Has(const std::string& entry) const {
    return std::find(log.begin(), log.end(), entry) != log.end();
  }
};

std::vector<uint8_t> Project(const std::string& start, const std::string& exit_page,
                             std::vector<TParamData> vars = {},
                             std::vector<TFolderDiskList::Entry> disks = {}) {
  TProjectSetting p;
  p.title = "Demo";
  p.scene_width = 801;
  p.scene_height = 600;
  p.start_page = start;
  p.exit_page = exit_page;
  p.disk_prompt = "disk %d";
  p.quit_message = "bye";
  p.variables = std::move(vars);
  p.folder_disks.entries = std::move(disks);
  BinaryWriter w;
  p.Write(w);
  return w.Take();
}

class ProjectTest : public testing::Test {
protected:
  void SetUp() override { ResetRunState(); }
  void TearDown() override { ResetRunState(); }
  TProject Make() { return TProject({t, t, t, nullptr}); }
  TFakeTitle t;
};

TEST_F(ProjectTest, StartAppliesTheProjectAndRunsTheStartPage) {
  TParamData volume;
  volume.name = "volume";
  TParamData speed;
  speed.name = "speed";
  t.existing_vars = {"volume"}; // restored from the status data: keeps its value
  t.files["nova.npb"] = Project("main.nsb", "", {volume, speed});
  t.files["main.nsb"] = {1};
  TProject p = Make();
  ASSERT_TRUE(p.Start());
  EXPECT_FALSE(RunState().Terminating);
  std::vector<std::string> expected = {"title Demo", "centre 400,300", "restore",
                                       "var speed",  "titles",         "start main.nsb"};
  EXPECT_EQ(t.log, expected);
  p.Step();
  EXPECT_TRUE(t.Has("run terminating=0"));
}

TEST_F(ProjectTest, StartStopsOnMissingPieces) {
  // The system's message stays as it is; other languages get one English line naming the file.
  struct Case {
    const char* what;
    const char* language;
    bool project, empty, start_page;
    const char* box;
  } cases[] = {
      {"no project file", "ja_JP.UTF-8", false, false, false, nullptr},
      {"empty project file", "ja_JP.UTF-8", true, true, false, "box プロジェクトがありません|警告"},
      {"no start page", "ja_JP.UTF-8", true, false, false, "box スタートページがありません|警告"},
      {"empty project file, in English", "C", true, true, false,
       "box プロジェクトがありません\r\nnova.npb is empty.|警告"},
      {"no start page, in English", "en_US.UTF-8", true, false, false,
       "box スタートページがありません\r\nThe start page \"main.nsb\" named in nova.npb is not in "
       "the title.|警告"},
  };
  const char* saved = std::getenv("LC_ALL");
  const std::string saved_value = saved ? saved : "";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::setenv("LC_ALL", c.language, 1);
    t = TFakeTitle{};
    if (c.project)
      t.files["nova.npb"] = c.empty ? std::vector<uint8_t>{} : Project("main.nsb", "");
    TProject p = Make();
    EXPECT_FALSE(p.Start());
    EXPECT_TRUE(RunState().Terminating);
    if (c.box) {
      EXPECT_TRUE(t.Has(c.box)) << (t.log.empty() ? "" : t.log.back());
    } else {
      EXPECT_TRUE(t.log.empty());
    }
  }
  if (saved)
    ::setenv("LC_ALL", saved_value.c_str(), 1);
  else
    ::unsetenv("LC_ALL");
}

TEST_F(ProjectTest, NewerProjectRaises) {
  BinaryWriter w;
  w.I32(117);
  t.files["nova.npb"] = w.Take();
  TProject p = Make();
  EXPECT_THROW(p.Start(), ENovaError);
}

TEST_F(ProjectTest, PageExistsAsksOnlyForMissingPagesOnOtherDisks) {
  t.files["nova.npb"] = Project("main.nsb", "", {}, {{"DISK2\\", 2}});
  t.files["main.nsb"] = {1};
  TProject p = Make();
  ASSERT_TRUE(p.Start());
  t.log.clear();
  EXPECT_TRUE(p.PageExists("main.nsb"));
  EXPECT_FALSE(p.PageExists(""));
  EXPECT_FALSE(p.PageExists("other\\missing.nsb")); // disk 0: no prompt
  EXPECT_FALSE(p.PageExists("disk2\\voice.ogg"));   // a medium: no prompt
  EXPECT_TRUE(t.log.empty());
  EXPECT_TRUE(p.PageExists("disk2\\sub\\scene.nsb"));
  EXPECT_EQ(t.log, std::vector<std::string>{"prompt 2 disk %d"});
}

TEST_F(ProjectTest, OriginalProjectFileSuppliesTheDiskTable) {
  t.files["nova.npb"] = Project("main.nsb", "", {}, {{"A\\", 2}});
  t.files["/original_nova.npb"] = Project("x.nsb", "", {}, {{"B\\", 3}});
  t.files["main.nsb"] = {1};
  TProject p = Make();
  ASSERT_TRUE(p.Start());
  t.log.clear();
  EXPECT_FALSE(p.PageExists("a\\x.nsb"));
  EXPECT_TRUE(p.PageExists("b\\x.nsb"));
  EXPECT_EQ(t.log, std::vector<std::string>{"prompt 3 disk %d"});
}

TEST_F(ProjectTest, ShutdownRunsTheExitPageOnceAndKeepsTheStatusData) {
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails);
    t = TFakeTitle{};
    t.exit_page_fails = fails;
    t.files["nova.npb"] = Project("main.nsb", "exit.nsb");
    t.files["main.nsb"] = {1};
    TProject p = Make();
    ASSERT_TRUE(p.Start());
    RunState().Terminating = true; // the window is closing
    t.log.clear();
    p.Shutdown();
    p.Shutdown();
    std::vector<std::string> expected = {"start exit.nsb", "run terminating=0", "write status"};
    EXPECT_EQ(t.log, expected);
    EXPECT_TRUE(RunState().Terminating);
  }
}

TEST_F(ProjectTest, DeferredRequestsRunOnce) {
  TProject p = Make();
  EXPECT_FALSE(p.DoDeferred());
  p.RequestLoad(3);
  p.RequestSave(4, "t", "p.nsb", 2);
  EXPECT_TRUE(p.DoDeferred());
  EXPECT_FALSE(p.DoDeferred());
  EXPECT_EQ(t.log, (std::vector<std::string>{"load 3", "save 4"}));
}

// A slot below 0 is no request: nothing is loaded or saved and the frame is drawn.
TEST_F(ProjectTest, NegativeSlotsAreNoRequest) {
  TProject p = Make();
  p.RequestLoad(-2);
  p.RequestSave(-5, "t", "", 0);
  EXPECT_FALSE(p.DoDeferred());
  EXPECT_TRUE(t.log.empty());
}

// Folders and disks for the data location check.
class TFakeLocation final : public ITitleLocation {
public:
  std::map<std::string, std::vector<uint8_t>> disk_files;
  std::vector<std::string> cd_roots;
  std::string base;
  std::vector<std::string> archives;

  std::string ExecutableFolder() override { return "/game/"; }
  bool FileExists(const std::string& path) override { return disk_files.count(path) > 0; }
  std::vector<uint8_t> ReadFile(const std::string& path) override { return disk_files.at(path); }
  std::vector<std::string> CdRomRoots() override { return cd_roots; }
  std::string BaseFolder() override { return base; }
  void SetBaseFolder(const std::string& folder) override { base = folder; }
  int32_t ArchiveCount() override { return static_cast<int32_t>(archives.size()); }
  void AddArchive(const std::string& path) override { archives.push_back(path); }
};

std::vector<uint8_t> Install(const std::string& title, bool fully_installed) {
  TNovaInstallSet install;
  install.disk = 1;
  install.title = title;
  install.fully_installed = fully_installed;
  BinaryWriter w;
  install.Write(w);
  return w.Take();
}

TEST_F(ProjectTest, DataLocationCheck) {
  struct Case {
    const char* what;
    bool install_in_folder, game_in_folder, fully_installed, cd_match;
    std::deque<TMsgResult> answers;
    bool ok;
    std::vector<std::string> archives;
    const char* box; // the system's text, its English line (outside Japanese) and caption
    const char* english;
    const char* caption;
  } cases[] = {
      {"installed", true, true, true, false, {}, true, {"/game/game.dat"}, nullptr, "", ""},
      {"no install settings",
       false,
       false,
       false,
       false,
       {},
       false,
       {},
       "インストールし直してください",
       "install.dat is missing: the title is not installed beside the player in /game/.",
       "情報"},
      {"played from the disc",
       true,
       false,
       false,
       true,
       {},
       true,
       {"/cd/game.dat"},
       nullptr,
       "",
       ""},
      {"disc missing, user quits",
       true,
       false,
       false,
       false,
       {TMsgResult::Cancel, TMsgResult::Ok},
       false,
       {},
       "終了します",
       "",
       "情報"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    t = TFakeTitle{};
    TFakeLocation loc;
    if (c.install_in_folder) {
      loc.disk_files["/game/install.dat"] = Install("Demo", c.fully_installed);
      t.files["install.dat"] = loc.disk_files["/game/install.dat"];
    }
    if (c.game_in_folder)
      loc.disk_files["/game/game.dat"] = {};
    loc.cd_roots = {"/cd/"};
    loc.disk_files["/cd/game.dat"] = {};
    loc.disk_files["/cd/install.dat"] = Install(c.cd_match ? "Demo" : "Other", true);
    t.answers = c.answers;
    t.files["nova.npb"] = Project("main.nsb", "");
    t.files["main.nsb"] = {1};
    TProject p({t, t, t, &loc});
    EXPECT_EQ(p.Start(), c.ok);
    EXPECT_EQ(loc.archives, c.archives);
    if (c.install_in_folder)
      EXPECT_EQ(loc.base, "/game/");
    if (c.box)
      EXPECT_TRUE(t.Has("box " + SjisToUtf8(WithEnglishLine(Utf8ToSjis(c.box), c.english)) + "|" +
                        c.caption));
  }
}

} // namespace
} // namespace nova
