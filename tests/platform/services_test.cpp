// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "base/nova_error.h"
#include "platform/auto_reset_event.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/pending_work_files.h"
#include "platform/png_writer.h"
#include "platform/temp_folder.h"
#include "platform/wall_clock.h"

namespace nova {
namespace {

std::filesystem::path TestDir(const char* name) {
  auto dir = std::filesystem::path(NOVA_BINARY_DIR) / "test_tmp" / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

TEST(InstanceLock, OneHolderPerNameUntilReleased) {
  auto first = TInstanceLock::TryAcquire("-TMP-PLATFORM-TEST-\x95\x5C/");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(TInstanceLock::TryAcquire("-TMP-PLATFORM-TEST-\x95\x5C/"), nullptr);
  EXPECT_NE(TInstanceLock::TryAcquire("-TMP-PLATFORM-OTHER-"), nullptr);
  first.reset();
  EXPECT_NE(TInstanceLock::TryAcquire("-TMP-PLATFORM-TEST-\x95\x5C/"), nullptr);
}

TEST(TempFolder, WorkFilesAreNewAndUnique) {
  const auto dir = TestDir("temp_files");
  const auto a = CreateTempFile(dir, "font");
  const auto b = CreateTempFile(dir, "font");
  EXPECT_NE(a, b);
  EXPECT_TRUE(std::filesystem::exists(a));
  EXPECT_EQ(a.filename().string().rfind("font", 0), 0u);
  EXPECT_EQ(a.extension(), ".tmp");
  EXPECT_THROW(CreateTempFile(dir / "missing", "font"), ENovaError);
}

TEST(PendingWorkFiles, DeletesWhatItCanAndKeepsTheRest) {
  const auto dir = TestDir("pending");
  TPendingWorkFiles files;
  const auto gone = dir / "a.tmp";
  std::ofstream(gone) << "x";
  const auto busy = dir / "sub"; // a non-empty folder cannot be removed
  std::filesystem::create_directories(busy / "inner");
  files.Add(gone);
  files.Add(busy);
  files.DeleteAll();
  EXPECT_FALSE(std::filesystem::exists(gone));
  EXPECT_EQ(files.Count(), 1u);
}

TEST(ScriptedMessageBox, AnswersInOrderAndFitsThemToTheButtons) {
  TScriptedMessageBox box({TMsgResult::No, TMsgResult::Ok});
  EXPECT_EQ(box.Show("a", "c", TMsgButtons::YesNo, TMsgIcon::Question), TMsgResult::No);
  EXPECT_EQ(box.Show("b", "c", TMsgButtons::YesNo, TMsgIcon::Question), TMsgResult::Yes);
  EXPECT_EQ(box.Show("b", "c", TMsgButtons::OkCancel, TMsgIcon::Warning), TMsgResult::Ok);
  TScriptedMessageBox none({});
  EXPECT_EQ(none.Show("a", "c", TMsgButtons::YesNo, TMsgIcon::Question), TMsgResult::Yes);
  EXPECT_EQ(none.Show("a", "c", TMsgButtons::Ok, TMsgIcon::Warning), TMsgResult::Ok);
  TMsgResult r;
  EXPECT_TRUE(ParseMsgResult("Cancel", r));
  EXPECT_EQ(r, TMsgResult::Cancel);
  EXPECT_FALSE(ParseMsgResult("maybe", r));
}

TEST(Clock, VirtualClockMovesOnlyWhenTold) {
  TVirtualClock clock(0xFFFFFFF0u);
  const uint32_t start = clock.NowMs();
  clock.SleepMs(20);
  EXPECT_EQ(clock.NowMs() - start, 20u); // wraps like a tick count
  SetPlatformClock(&clock);
  EXPECT_EQ(&PlatformClock(), &clock);
  SetPlatformClock(nullptr);
  EXPECT_NE(&PlatformClock(), &clock);
}

TEST(WallClock, FixedStartMovesWithThePlatformClock) {
  TVirtualClock clock(500);
  SetPlatformClock(&clock);
  SetWallClockStart(HeadlessWallClockStart());
  TWallTime t = UtcNow();
  EXPECT_EQ(t.year, 2000);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.day_of_week, 6); // a Saturday
  EXPECT_EQ(t.hour * 3600000 + t.minute * 60000 + t.second * 1000 + t.millisecond, 0);
  clock.Advance(((24 + 1) * 3600 + 2 * 60 + 3) * 1000 + 4);
  t = LocalNow(); // the same as UTC in headless runs
  EXPECT_EQ(t.day, 2);
  EXPECT_EQ(t.hour, 1);
  EXPECT_EQ(t.minute, 2);
  EXPECT_EQ(t.second, 3);
  EXPECT_EQ(t.millisecond, 4);
  SetWallClockStart(std::nullopt);
  SetPlatformClock(nullptr);
  EXPECT_GT(UtcNow().year, 2020);
}

TEST(AutoResetEvent, ReleasesOneWaitPerSet) {
  TAutoResetEvent event;
  EXPECT_FALSE(event.Wait(1));
  std::thread setter([&] { event.Set(); });
  EXPECT_TRUE(event.Wait(5000));
  setter.join();
  EXPECT_FALSE(event.Wait(1));
}

TEST(PngWriter, WritesAPngAndRefusesAnEmptyPicture) {
  const auto dir = TestDir("png");
  WritePicturePng({2, 1, {0xFF0000, 0x00FF00}}, dir / "a.png");
  std::ifstream in(dir / "a.png", std::ios::binary);
  char magic[8];
  ASSERT_TRUE(in.read(magic, 8));
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  EXPECT_THROW(WritePicturePng({}, dir / "b.png"), ENovaError);
  EXPECT_THROW(WritePicturePng({1, 1, {0}}, dir / "missing" / "c.png"), ENovaError);
}

} // namespace
} // namespace nova
