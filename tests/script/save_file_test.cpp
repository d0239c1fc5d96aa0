// SPDX-License-Identifier: MIT
// The save file on disk: every failed write keeps the previous saves, a damaged file falls back
// to its backup, and the file goes where it can be written.
#include "script/save_file.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "vfs/durable_file.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

class SaveFileTest : public testing::Test {
protected:
  SaveFileTest() {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~SaveFileTest() override {
    SetFileFaultHook({});
    fs::remove_all(dir);
  }

  // Writes an archive of one entry per (name, text).
  bool WriteEntries(TSaveFile& file, const std::vector<std::pair<std::string, std::string>>& e) {
    auto archive = file.Open();
    for (const auto& [name, text] : e) {
      archive->Delete(name);
      archive->AddMemoryEntry(name).data->Write(text.data(), static_cast<int64_t>(text.size()));
    }
    return file.Write(*archive);
  }
  std::string Read(TSaveFile& file, const std::string& name) {
    auto archive = file.Open();
    if (archive->IndexOf(name) < 0)
      return "<none>";
    TMemoryStream data;
    archive->ReadEntry(data, name);
    return std::string(data.View());
  }
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.path().extension() == ".tmp")
        names.push_back(e.path().filename().string());
    return names;
  }

  fs::path dir = fs::temp_directory_path() / ("nova_save_file_" + std::to_string(getpid()));
  std::vector<std::string> reports;
  TSaveFile file{(dir / "save.dat").string(),
                 [this](const std::string& m) { reports.push_back(m); }};
};

// Failing each system call of a save in turn: after every failure the saves load, either as
// they were or (a failure after the rename) as newly written, and no temporary file is left.
TEST_F(SaveFileTest, EveryFailedWriteKeepsTheSaves) {
  ASSERT_TRUE(WriteEntries(file, {{"GAMESAVEDATA1", "old one"}, {"GAMESAVEDATA2", "old two"}}));
  int failures = 0;
  for (int fail_at = 1;; ++fail_at) {
    int calls = 0;
    bool renamed = false;
    SetFileFaultHook([&](TFileCall call) {
      if (++calls != fail_at) {
        renamed |= call == TFileCall::Rename;
        return 0;
      }
      return call == TFileCall::Write ? ENOSPC : EIO;
    });
    const std::string text = "new " + std::to_string(fail_at);
    const bool written = WriteEntries(file, {{"GAMESAVEDATA1", text}});
    SetFileFaultHook({});
    EXPECT_EQ(Read(file, "GAMESAVEDATA2"), "old two") << "failing call " << fail_at;
    const std::string one = Read(file, "GAMESAVEDATA1");
    if (written)
      break;
    ++failures;
    EXPECT_EQ(one, renamed ? text : "old one") << "failing call " << fail_at;
    EXPECT_TRUE(Leftovers().empty()) << "failing call " << fail_at;
    // Back to the old state for the next round.
    ASSERT_TRUE(WriteEntries(file, {{"GAMESAVEDATA1", "old one"}}));
  }
  EXPECT_GE(failures, 7); // open, write, sync, close, backup, rename, folder sync
  EXPECT_EQ(reports.size(), static_cast<size_t>(failures));
  EXPECT_NE(reports.front().find("save.dat"), std::string::npos) << reports.front();
}

TEST_F(SaveFileTest, DamagedFileFallsBackToTheBackupAndKeepsIt) {
  ASSERT_TRUE(WriteEntries(file, {{"GAMESAVEDATA1", "first"}}));
  ASSERT_TRUE(WriteEntries(file, {{"GAMESAVEDATA1", "second"}}));
  const std::string path = file.path();
  const struct {
    const char* what;
    std::function<void()> damage;
  } cases[] = {
      {"zero length", [&] { fs::resize_file(path, 0); }},
      {"truncated", [&] { fs::resize_file(path, fs::file_size(path) / 2); }},
      {"bit flipped",
       [&] {
         std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(static_cast<std::streamoff>(fs::file_size(path) - 3));
         f.put('\xA5');
       }},
      {"removed", [&] { fs::remove(path); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteEntries(file, {{"GAMESAVEDATA1", "second"}}));
    ASSERT_TRUE(WriteEntries(file, {{"GAMESAVEDATA1", "third"}}));
    c.damage();
    const std::string got = Read(file, "GAMESAVEDATA1");
    // A flipped bit may land in data that still reads; the file is then taken as it is.
    if (got != "second")
      continue;
    // Writing on top of a damaged file leaves the backup as it was.
    ASSERT_TRUE(WriteEntries(file, {{"GAMESAVEDATA2", "more"}}));
    EXPECT_EQ(Read(file, "GAMESAVEDATA1"), "second");
    fs::remove(path);
    EXPECT_EQ(Read(file, "GAMESAVEDATA1"), "second");
    EXPECT_EQ(Read(file, "GAMESAVEDATA2"), "<none>");
  }
}

TEST_F(SaveFileTest, PathFallsBackToTheUserDataFolder) {
  const fs::path title = dir / "title", data = dir / "data";
  fs::create_directories(title);
  EXPECT_EQ(ResolveSaveFilePath(title.string(), data.string(), "t"), (title / "save.dat").string());
  EXPECT_FALSE(fs::exists(title / "save.dat.$$$"));

  // A folder that cannot be written (here: one that is gone): the data folder, named after the
  // title with the refused characters replaced ("表" ends in the byte of a backslash).
  const std::string sjis_title = Utf8ToSjis("a/b:c*表?") + "\"<>|\\,;";
  const fs::path expected = data / "novaplay" / "a_b_c_表________" / "save.dat";
  EXPECT_EQ(ResolveSaveFilePath((dir / "gone").string(), data.string(), sjis_title),
            expected.string());
  EXPECT_TRUE(fs::is_directory(expected.parent_path()));

  // A folder where no file can be made (a directory stands where the probe goes, which stops
  // any user) that holds saves: they are copied the first time only.
  const fs::path blocked = dir / "blocked";
  fs::create_directories(blocked / "save.dat.$$$" / "keep");
  std::ofstream(blocked / "save.dat") << "old saves";
  const fs::path moved = data / "novaplay" / "t3" / "save.dat";
  EXPECT_EQ(ResolveSaveFilePath(blocked.string(), data.string(), "t3"), moved.string());
  std::ofstream(blocked / "save.dat") << "newer";
  EXPECT_EQ(ResolveSaveFilePath(blocked.string(), data.string(), "t3"), moved.string());
  std::ifstream in(moved);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old saves");

  EXPECT_THROW(ResolveSaveFilePath((dir / "gone").string(), "", "t"), ENovaError);
}

} // namespace
} // namespace nova
