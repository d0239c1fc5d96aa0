// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "script/commands/flow_commands.h"
#include "script/install_settings.h"
#include "script/page.h"
#include "script/project.h"
#include "script/title_build.h"
#include "script/vfs_script_files.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

class TitleBuild : public testing::Test {
protected:
  void SetUp() override {
    root_ = fs::path(testing::TempDir()) /
            ("title_build_" +
             std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    src_ = root_ / "src";
    out_ = root_ / "out";
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path root_, src_, out_;
};

// Answers nothing; the title below never asks.
class TQuietDialogs final : public IScriptDialogs {
public:
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
    return TMsgResult::Ok;
  }
  void CloseMainWindow() override {}
};

class TStartRecorder final : public IProjectHost {
public:
  class TInterp final : public IProjectInterpreter {
  public:
    explicit TInterp(std::string& started) : started_(started) {}
    void Start(const std::string& page) override { started_ = page; }
    void Run() override {}

  private:
    std::string& started_;
  };
  std::string started;
  void SetApplicationTitle(const std::string&) override {}
  void SetTransitionCentre(int32_t, int32_t) override {}
  void RestoreStatusData(TProject&) override {}
  bool VariableExists(const std::string&) override { return false; }
  void CreateStatusVariable(const TParamData&) override {}
  void ReadSaveTitles(TProject&) override {}
  std::unique_ptr<IProjectInterpreter> CreateInterpreter(TProject&) override {
    return std::make_unique<TInterp>(started);
  }
  void WriteStatusData(TProject&) override {}
  void LoadGame(TProject&, int32_t) override {}
  void SaveGame(TProject&, int32_t, const std::string&, const std::string&, int32_t) override {}
};

TEST_F(TitleBuild, SourcesBecomeATitleThePlayerLoads) {
  WriteFile(src_ / "nova.npb.txt", "project 116\ntitle \"デモ\"\nstart \"main.nsb\"\n");
  WriteFile(src_ / "main.nsb.txt", "Label \"top\"\nJump page=\"scene\\\\b.nsb\" target=@middle\n");
  WriteFile(src_ / "scene" / "b.nsb.txt",
            "Calc {}\nLabel \"middle\"\nJump page=\"main.nsb\" target=@top\n");
  std::string picture(0x1000, '\x7F');
  WriteFile(src_ / "image" / "bg.png", picture);
  BuildTitle(src_.string(), out_.string());

  ResetRunState();
  TVrFileManager vfs;
  vfs.SetCdromRoots({});
  ASSERT_GE(vfs.AddArchive((out_ / "game.dat").string()), 0);
  TMemoryStream data = vfs.Load("IMAGE\\BG.PNG");
  EXPECT_EQ(data.View(), picture);

  TQuietDialogs dialogs;
  TVfsScriptFiles files(vfs, dialogs);
  TStartRecorder host;
  TProject project({files, dialogs, host, nullptr});
  ASSERT_TRUE(project.Start());
  EXPECT_EQ(SjisToUtf8(project.title()), "デモ");
  EXPECT_EQ(host.started, "main.nsb");

  TPage main;
  main.Load("main.nsb", files, dialogs);
  EXPECT_EQ(CommandAs<TComJump>(main.commands()[1]).target, 1);
  TPage b;
  b.Load("scene\\b.nsb", files, dialogs);
  EXPECT_EQ(CommandAs<TComJump>(b.commands()[2]).target, 0);

  TMemoryStream install_bytes;
  install_bytes.LoadFromFile((out_ / "install.dat").string());
  TNovaInstallSet install;
  install.Read(install_bytes.Bytes(), "install.dat");
  EXPECT_EQ(install.title, project.title());
  EXPECT_TRUE(install.fully_installed);
  ResetRunState();
}

TEST_F(TitleBuild, FaultsNameTheSource) {
  WriteFile(src_ / "nova.npb.txt", "start \"main.nsb\"\n");
  WriteFile(src_ / "main.nsb.txt", "Calc {}\nJump page=\"other.nsb\" target=@x\n");
  try {
    BuildTitle(src_.string(), out_.string());
    ADD_FAILURE() << "no error";
  } catch (const ENovaError& e) {
    std::string m = SjisToUtf8(e.what());
    EXPECT_NE(m.find("main.nsb.txt:2: no label \"x\" in page \"other.nsb\""), std::string::npos)
        << m;
  }
  fs::remove(src_ / "nova.npb.txt");
  EXPECT_THROW(BuildTitle(src_.string(), out_.string()), ENovaError);
}

TEST_F(TitleBuild, ToolsFailCleanlyOnDamagedFiles) {
  const char* tool = std::getenv("NOVA_TOOL");
  ASSERT_NE(tool, nullptr);
  WriteFile(root_ / "bad.nsb", std::string("\x74\x00\x00\x00\x01\x3D\x00\x00\x00", 9));
  WriteFile(root_ / "bad.npb", std::string("\x74\x00\x00\x00\x05\x00", 6));
  for (std::string cmd : {"page disasm", "project dump"}) {
    std::string file = (root_ / (cmd[0] == 'p' && cmd[1] == 'a' ? "bad.nsb" : "bad.npb")).string();
    std::string line = std::string(tool) + " " + cmd + " " + file + " > " +
                       (root_ / "out.txt").string() + " 2> " + (root_ / "err.txt").string();
    int rc = std::system(line.c_str());
    EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 1) << cmd;
    std::ifstream err(root_ / "err.txt");
    std::string message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find(file), std::string::npos) << message;
  }
}

} // namespace
} // namespace nova
