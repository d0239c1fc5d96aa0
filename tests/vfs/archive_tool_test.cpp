// SPDX-License-Identifier: MIT
// `novatool archive`, run as users run it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/sjis.h"
#include "vfs/vfs_fixtures.h"
#include "vfs/vr_file_collection.h"

namespace nova {
namespace {

using test::Bytes;

struct ToolRun {
  int status;
  std::string out;
};

ToolRun Tool(const std::string& args) {
  const char* tool = std::getenv("NOVA_TOOL");
  if (!tool)
    return {-1, "NOVA_TOOL is not set"};
  ToolRun r{0, ""};
  FILE* p = popen((std::string(tool) + " archive " + args + " 2>&1").c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0)
    r.out.append(buf, n);
  int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Q(const std::string& s) { return "'" + s + "'"; }

class ArchiveTool : public testing::Test {
protected:
  void SetUp() override {
    if (!std::getenv("NOVA_TOOL"))
      GTEST_SKIP() << "NOVA_TOOL is not set";
  }
  test::ScratchDir dir_;
};

TEST_F(ArchiveTool, PackListExtractCatRoundTrip) {
  const Bytes text = test::TextBytes(30000);
  const Bytes wave = test::TextBytes(30000);
  const Bytes big = test::NoiseBytes(0x500000 + 3);
  dir_.Write("src/script/start.nsb", text);
  dir_.Write("src/音声/声.wav", wave);
  dir_.Write("src/big.bin", big);
  const std::string archive = dir_.path() + "game.dat";

  ToolRun pack = Tool("pack " + Q(dir_.path() + "src") + " " + Q(archive));
  ASSERT_EQ(pack.status, 0) << pack.out;

  ToolRun list = Tool("list " + Q(archive));
  ASSERT_EQ(list.status, 0) << list.out;
  EXPECT_NE(list.out.find("3 entries"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("stored  音声\\声.wav"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("zlib    script\\start.nsb"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("5242883  stored  big.bin"), std::string::npos) << list.out;

  ToolRun extract = Tool("extract " + Q(archive) + " " + Q(dir_.path() + "out"));
  ASSERT_EQ(extract.status, 0) << extract.out;
  EXPECT_EQ(test::ReadFile(dir_.path() + "out/script/start.nsb"), text);
  EXPECT_EQ(test::ReadFile(dir_.path() + "out/音声/声.wav"), wave);
  EXPECT_EQ(test::ReadFile(dir_.path() + "out/big.bin"), big);

  ToolRun cat = Tool("cat " + Q(archive) + " SCRIPT/Start.nsb");
  ASSERT_EQ(cat.status, 0);
  EXPECT_EQ(cat.out, test::ToString(text));
  EXPECT_EQ(Tool("cat " + Q(archive) + " missing.txt").status, 1);
}

// The peak memory (kB) of a shell command and what it runs. A forked child starts with its
// parent's pages, so only differences between two such figures say something.
long PeakKilobytes(const std::string& command) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

// A small entry that inflates to 256 MiB goes through cat piece by piece: the tool never holds
// it whole, so it needs no more memory than listing the archive does.
TEST_F(ArchiveTool, CatStreamsAnEntryLargerThanMemoryShouldHold) {
  const std::string archive =
      dir_.Write("bomb.dat", test::BuildArchive(102, {{"zeros.bin", test::ZerosZlib(256), 0}}));
  const std::string tool = std::string(std::getenv("NOVA_TOOL")) + " archive ";
  const long listing = PeakKilobytes(tool + "list " + Q(archive) + " > /dev/null");
  const long cat = PeakKilobytes(tool + "cat " + Q(archive) + " zeros.bin | wc -c > " +
                                 Q(dir_.path() + "count"));
  ASSERT_GT(listing, 0);
  ASSERT_GT(cat, 0);
  EXPECT_EQ(test::ToString(test::ReadFile(dir_.path() + "count")),
            std::to_string(256u << 20) + "\n");
  EXPECT_LT(cat - listing, 128 * 1024) << "kB more than listing";
}

TEST_F(ArchiveTool, PackWithPlayerAppendsTheArchiveBehindATrailer) {
  const Bytes player = test::NoiseBytes(5000);
  dir_.Write("src/nova.npb", "project");
  const std::string player_path = dir_.Write("player", player);
  const std::string exe = dir_.path() + "title.exe";
  ASSERT_EQ(
      Tool("pack " + Q(dir_.path() + "src") + " " + Q(exe) + " --exe " + Q(player_path)).status, 0);
  Bytes bytes = test::ReadFile(exe);
  ASSERT_GT(bytes.size(), player.size() + 6);
  EXPECT_TRUE(std::equal(player.begin(), player.end(), bytes.begin()));
  EXPECT_EQ(bytes[bytes.size() - 2], 'n');
  EXPECT_EQ(bytes[bytes.size() - 1], 'v');
  TVrFileCollection archive;
  archive.Open(exe);
  TMemoryStream out;
  archive.ReadEntry(out, "nova.npb");
  EXPECT_EQ(out.View(), "project");
}

TEST_F(ArchiveTool, ExtractRefusesNamesThatLeaveTheOutputFolder) {
  for (const char* bad :
       {"..\\evil.txt", "\\abs.txt", "/abs.txt", "C:\\x.txt", "a\\..\\..\\b.txt", "a\\\\b"}) {
    SCOPED_TRACE(bad);
    const std::string archive =
        dir_.Write("bad.dat", test::BuildArchive(102, {{"fine.txt", {1}, 1}, {bad, {2}, 1}}));
    ToolRun r = Tool("extract " + Q(archive) + " " + Q(dir_.path() + "out"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("would leave the output folder"), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir_.path() + "out/fine.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() + "evil.txt"));
  }
}

TEST_F(ArchiveTool, DamagedArchivesAndBadUsage) {
  Bytes good = test::BuildArchive(102, {{"a.txt", test::Zlib(test::TextBytes(100)), 0}});
  const std::string cut = dir_.Write("cut.dat", Bytes(good.begin(), good.begin() + 20));
  ToolRun r = Tool("list " + Q(cut));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("cut.dat"), std::string::npos) << r.out;
  EXPECT_EQ(Tool("list " + Q(dir_.path() + "none.dat")).status, 1);
  EXPECT_EQ(Tool("frobnicate").status, 2);
}

} // namespace
} // namespace nova
