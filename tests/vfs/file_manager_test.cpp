// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "platform/message_box.h"
#include "vfs/private/cdrom_roots.h"
#include "vfs/vfs_fixtures.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

using test::Bytes;

class FileManagerTest : public testing::Test {
protected:
  void SetUp() override {
    ResetFileManager();
    ResetRunState();
    fm().SetCdromRoots({});
    fm().SetTempFolder(temp_.path());
  }
  void TearDown() override { ResetFileManager(); }

  static TVrFileManager& fm() { return FileManager(); }

  std::string Archive(const std::string& file, const std::vector<test::RawEntry>& entries) {
    return base_.Write(file, test::BuildArchive(102, entries));
  }
  static std::string Read(TStream& s) {
    std::string out(static_cast<size_t>(s.Size()), '\0');
    s.SetPosition(0);
    s.ReadBuffer(out.data(), static_cast<int64_t>(out.size()));
    return out;
  }
  static std::string LoadText(std::string_view name) { return std::string(fm().Load(name).View()); }

  test::ScratchDir base_, temp_;
};

TEST_F(FileManagerTest, LooseFileOverridesArchiveEntry) {
  fm().AddArchive(Archive("game.dat", {{"data\\a.txt", test::ToBytes("archived"), 1}}));
  fm().SetBaseFolder(base_.path());
  EXPECT_EQ(LoadText("data\\a.txt"), "archived");
  EXPECT_TRUE(fm().GetFilePath("data\\a.txt").find("~nv") != std::string::npos);

  base_.Write("Data/A.TXT", "loose");
  EXPECT_EQ(LoadText("data\\a.txt"), "loose");
  EXPECT_EQ(fm().GetFilePath("data\\a.txt"), base_.path() + "Data/A.TXT");
  auto range = fm().GetRangeStream("DATA\\a.txt");
  EXPECT_EQ(Read(*range), "loose");
}

TEST_F(FileManagerTest, LooseNamesMapToUtf8AndMatchEveryComponentCaseInsensitively) {
  fm().SetBaseFolder(base_.path());
  base_.Write("画像/Sub/Bild.PNG", "png");
  EXPECT_TRUE(fm().Exists(Utf8ToSjis("画像\\sub\\bild.png")));
  EXPECT_EQ(LoadText(Utf8ToSjis("画像\\SUB\\BILD.png")), "png");
  // A listing cached before a file appears is read again once the folder changed.
  EXPECT_FALSE(fm().Exists(Utf8ToSjis("画像\\sub\\new.txt")));
  base_.Write("画像/Sub/New.txt", "new");
  EXPECT_TRUE(fm().Exists(Utf8ToSjis("画像\\sub\\NEW.TXT")));
  // "ソ" (0x83 0x5C) has '\' as its trail byte: it must not split the name.
  base_.Write("ソフト.txt", "soft");
  EXPECT_EQ(LoadText(Utf8ToSjis("ソフト.txt")), "soft");
}

TEST_F(FileManagerTest, ExistsAndNotFound) {
  fm().SetBaseFolder(base_.path());
  fm().AddArchive(
      Archive("game.dat", {{"in.txt", {}, 1}, {"after.txt", test::ToBytes("after"), 1}}));
  EXPECT_FALSE(fm().Exists(""));
  EXPECT_TRUE(fm().Exists("IN.TXT"));
  EXPECT_FALSE(fm().Exists("out.txt"));
  try {
    LoadText("out.txt");
    ADD_FAILURE();
  } catch (const ENovaError& e) {
    EXPECT_EQ(e.what(), "out.txt" + Utf8ToSjis(":ファイルがありません"));
  }
  EXPECT_THROW(fm().GetRangeStream("out.txt"), ENovaError);
  // A window of size 0 means "to the end"; an empty entry must still give no bytes.
  EXPECT_EQ(Read(*fm().GetRangeStream("in.txt")), "");
  EXPECT_EQ(fm().GetFilePath("dir\\out.txt"), "dir/out.txt");
}

TEST_F(FileManagerTest, EntryOfAnArchiveWithoutDataIsReadFromALaterArchive) {
  fm().AddArchive(""); // the first, empty archive: no data stream
  fm().Archive(0).AddFileEntry("both.txt", "/nonexistent");
  fm().AddArchive(Archive("game.dat", {{"both.txt", test::ToBytes("later"), 1}}));
  EXPECT_EQ(LoadText("both.txt"), "later");
  EXPECT_EQ(Read(*fm().GetRangeStream("both.txt")), "later");
  // In-memory data of the first archive is served first.
  auto& memory = fm().Archive(0).AddMemoryEntry("saved.txt");
  memory.data->WriteBuffer("memo", 4);
  EXPECT_EQ(LoadText("saved.txt"), "memo");
  EXPECT_EQ(fm().FindEntry("BOTH.TXT"), &fm().Archive(0).Entry(0));
}

TEST_F(FileManagerTest, LoadRewindsAndReplacesTheStream) {
  fm().AddArchive(Archive("game.dat", {{"z.txt", test::Zlib(test::ToBytes("zipped text")), 0}}));
  TMemoryStream s;
  s.WriteBuffer("old content that is longer", 27);
  fm().Load(s, "z.txt");
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.View(), "zipped text");
}

// A reader asks for at most what it needs: a 1 MiB entry that inflates to 1 GiB, a stored entry
// or a loose file larger than that fails at once with a message naming it.
TEST_F(FileManagerTest, EntriesLargerThanTheirReaderTakesFailAtOnce) {
  const Bytes bomb = test::ZerosZlib(1024);
  ASSERT_LT(bomb.size(), size_t{1200} << 10);
  fm().AddArchive(Archive("game.dat", {{"bomb.nsb", bomb, 0},
                                       {"big.bmp", Bytes(size_t{2} << 20, 7), 1},
                                       {"small.nsb", test::ZerosZlib(1), 0}}));
  fm().SetBaseFolder(base_.path());
  base_.Write("loose.png", Bytes(size_t{3} << 20, 1));
  const struct {
    const char* name;
    const char* message;
  } cases[] = {
      {"bomb.nsb", "bomb.nsb\": the compressed data inflates beyond 1048576 bytes"},
      {"big.bmp", "big.bmp\": 2097152 bytes, more than the 1048576 such a file may hold"},
      {"loose.png", "loose.png: 3145728 bytes, more than the 1048576 such a file may hold"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    try {
      fm().Load(c.name, int64_t{1} << 20);
      ADD_FAILURE() << "no error";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  }
  EXPECT_EQ(fm().Load("small.nsb", int64_t{1} << 20).Size(), int64_t{1} << 20); // exactly fits
}

TEST_F(FileManagerTest, TwoGetFilePathCallsShareOneWorkFileUntilTheManagerEnds) {
  fm().AddArchive(
      Archive("game.dat", {{"bgm\\Theme.ogg", test::ToBytes("ogg data"), 1}, {"x.wav", {}, 1}}));
  const std::string first = fm().GetFilePath("bgm\\Theme.ogg");
  const std::string second = fm().GetFilePath("bgm\\Theme.ogg");
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, temp_.path() + "~nv00000000.ogg");
  EXPECT_EQ(test::ToString(test::ReadFile(first)), "ogg data");
  EXPECT_EQ(fm().GetFilePath("x.wav"), temp_.path() + "~nv00000001.wav");
  ASSERT_EQ(fm().Locks().Count(), 2u);

  fm().ReleaseFilePath(first);
  fm().DeletePendingFiles();
  EXPECT_TRUE(test::FileExists(first)) << "one reference is left";
  ResetFileManager();
  EXPECT_FALSE(test::FileExists(first));
  EXPECT_FALSE(test::FileExists(temp_.path() + "~nv00000001.wav"));
}

TEST_F(FileManagerTest, ReleasedWorkFileIsDeletedByTheFrameStepAndItsIdReused) {
  fm().AddArchive(
      Archive("game.dat", {{"a.ogg", test::ToBytes("a"), 1}, {"b.ogg", test::ToBytes("b"), 1}}));
  const std::string a = fm().GetFilePath("a.ogg");
  const std::string b = fm().GetFilePath("b.ogg");
  fm().ReleaseFilePath(a);
  EXPECT_TRUE(test::FileExists(a));
  fm().DeletePendingFiles();
  EXPECT_FALSE(test::FileExists(a));
  EXPECT_TRUE(test::FileExists(b));
  EXPECT_EQ(fm().GetFilePath("a.ogg"), temp_.path() + "~nv00000002.ogg");
}

TEST_F(FileManagerTest, ListFilesMergesArchivesAndFoldersAndMakesFilesWritable) {
  fm().SetBaseFolder(base_.path());
  fm().AddArchive(
      Archive("game.dat", {{"se\\a.wav", {}, 1}, {"se\\B.wav", {}, 1}, {"bgm\\c.ogg", {}, 1}}));
  const std::string loose = base_.Write("SE/c.wav", "c");
  base_.Write("SE/b.WAV", "b");
  base_.Write("SE/deeper/x.wav", "x");
  ::chmod(loose.c_str(), 0444);
  std::vector<std::string> list;
  fm().ListFiles("se", list);
  std::sort(list.begin() + 2, list.end());
  EXPECT_EQ(list, (std::vector<std::string>{"se\\a.wav", "se\\B.wav", "se\\c.wav", "se\\deeper"}));
  struct stat st;
  ASSERT_EQ(::stat(loose.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR);
}

TEST_F(FileManagerTest, CallbacksAnnounceArchivesAndTheBaseFolder) {
  std::vector<std::string> events;
  fm().SetOnArchiveAdded(
      [&](TVrFileCollection* a) { events.push_back(a ? "added " + a->FileName() : "base"); });
  fm().SetOnArchiveRemoved(
      [&](TVrFileCollection& a) { events.push_back("removed " + a.FileName()); });
  fm().SetBaseFolder(base_.path());
  const std::string path = Archive("game.dat", {});
  EXPECT_EQ(fm().AddArchive(path), 0);
  fm().Clear();
  EXPECT_EQ(events, (std::vector<std::string>{"base", "added " + path, "removed " + path}));
  EXPECT_EQ(fm().BaseFolder(), base_.path());
}

TEST_F(FileManagerTest, ResourceArchiveOfTheTitleExecutable) {
  const std::string exe = base_.Write(
      "Title.exe", test::BuildPeWithResource(
                       "BINTYPE", "DUMMY",
                       test::BuildArchive(102, {{"nova.npb", test::ToBytes("project"), 1}})));
  fm().SetExecutablePath(exe);
  fm().AddResourceArchive(exe, "DUMMY", "BINTYPE");
  EXPECT_EQ(LoadText("NOVA.NPB"), "project");
  EXPECT_EQ(Read(*fm().GetRangeStream("nova.npb")), "project");
  EXPECT_THROW(fm().AddResourceArchive(exe, "OTHER", "BINTYPE"), ENovaError);
  // Another module that cannot be loaded leaves its archive empty.
  EXPECT_EQ(fm().Archive(fm().AddResourceArchive("other.dll", "DUMMY", "BINTYPE")).Count(), 0);
}

TEST_F(FileManagerTest, DiscFilesComeLast) {
  test::ScratchDir disc;
  disc.Write("MOVIE/OP.MPG", "disc");
  fm().SetCdromRoots({disc.path()});
  EXPECT_EQ(LoadText("movie\\op.mpg"), "disc");
  EXPECT_EQ(fm().GetFilePath("movie\\op.mpg"), disc.path() + "MOVIE/OP.MPG");
  std::vector<std::string> list;
  fm().ListFiles("movie", list);
  EXPECT_EQ(list, std::vector<std::string>{"movie\\OP.MPG"});
}

struct PromptCase {
  const char* label;
  std::vector<bool> answers; // OK = true, in the order the boxes appear
  bool disc_matches;
  bool result;
  bool terminating;
};

class DiskPrompts : public FileManagerTest, public testing::WithParamInterface<PromptCase> {};

TEST_P(DiskPrompts, AskUntilTheDiscIsThereOrTheUserQuits) {
  const PromptCase c = GetParam();
  test::ScratchDir disc;
  disc.Write("GAME.DAT", test::BuildArchive(102, {{"disc2.txt", test::ToBytes("2"), 1}}));
  disc.Write("install.dat", "settings");
  fm().SetCdromRoots({disc.path()});
  fm().AddArchive(disc.path() + "GAME.DAT"); // the previous disc's archive goes away first
  size_t asked = 0;
  std::vector<std::string> texts;
  bool closed = false;
  TDiskPrompt prompt;
  prompt.prompt_format = Utf8ToSjis("ディスク%dを入れてから[OK]をクリックしてください");
  prompt.quit_message = Utf8ToSjis("終了します");
  prompt.caption = "Title";
  prompt.ask_ok_cancel = [&](const std::string& text, const std::string& caption) {
    texts.push_back(SjisToUtf8(text));
    EXPECT_EQ(caption, "Title");
    return asked < c.answers.size() ? bool(c.answers[asked++]) : false;
  };
  int checks = 0;
  prompt.install_matches = [&](const std::string& path, int disk) {
    EXPECT_EQ(disk, 2);
    EXPECT_EQ(path, disc.path() + "install.dat");
    return c.disc_matches || ++checks > 1;
  };
  prompt.close_window = [&] { closed = true; };
  EXPECT_EQ(fm().PromptForDisk(2, prompt), c.result);
  EXPECT_EQ(asked, c.answers.size());
  EXPECT_EQ(texts.front(), "ディスク2を入れてから[OK]をクリックしてください");
  EXPECT_EQ(RunState().Terminating.load(), c.terminating);
  EXPECT_EQ(closed, c.terminating);
  EXPECT_EQ(fm().Count(), c.result ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DiskPrompts,
    testing::Values(PromptCase{"ok_with_disc", {true}, true, true, false},
                    PromptCase{"wrong_disc_then_right", {true, true}, false, true, false},
                    PromptCase{"cancel_then_keep_playing", {false, false, true}, true, true, false},
                    PromptCase{"cancel_then_quit", {false, true}, true, false, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(FileManagerTest, DiskPromptWithoutAnAskerUsesTheProcessMessageBox) {
  test::ScratchDir disc;
  disc.Write("game.dat", test::BuildArchive(102, {}));
  disc.Write("install.dat", "settings");
  fm().SetCdromRoots({disc.path()});
  TScriptedMessageBox answers({TMsgResult::Cancel, TMsgResult::Cancel, TMsgResult::Ok});
  SetMessageBox(&answers);
  TDiskPrompt prompt;
  prompt.prompt_format = "disk %d %s %%";
  prompt.install_matches = [](const std::string&, int) { return true; };
  EXPECT_TRUE(fm().PromptForDisk(3, prompt));
  SetMessageBox(nullptr);
  EXPECT_FALSE(RunState().Terminating.load());
}

TEST(DiscRoots, FromTheMountTable) {
  const char* table = "/dev/sda1 / ext4 rw 0 0\n"
                      "/dev/sr0 /media/user/MY\\040DISC iso9660 ro,nosuid 0 0\n"
                      "/dev/sr1 /mnt/dvd/ udf ro 0 0\n"
                      "proc /proc proc rw 0 0\n"
                      "broken\n";
  EXPECT_EQ(DiscRootsFromMountTable(table),
            (std::vector<std::string>{"/media/user/MY DISC/", "/mnt/dvd/"}));
}

} // namespace
} // namespace nova
