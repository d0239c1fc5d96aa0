// SPDX-License-Identifier: MIT
// Saved games and status data: round trips through the call manager, the scene and the
// variables, and damaged records that must fail cleanly.
#include "script/saved_game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/serializer.h"
#include "graphics/image_cache.h"
#include "scene/message_records.h"
#include "script/call_man_fixture.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

class SavedGameTest : public CallManFixture {
protected:
  TSavedParts Parts() { return TSavedParts{scene, &calls, vars, &images}; }
  int Int(const std::string& name) { return std::stoi(Str(name)); }
  // As the file manager does, a missing page is the system's error.
  std::vector<uint8_t> Load(const std::string& name) override {
    if (!Exists(name))
      throw ENovaError(name + ":file not found");
    return CallManFixture::Load(name);
  }

  TWispCollection images{FileManager(), 0};
};

// A second player that loads what the test's player saved.
class TFreshPlayer final : public SavedGameTest {
public:
  void TestBody() override {}
  using SavedGameTest::calls;
  using SavedGameTest::files;
  using SavedGameTest::Frame;
  using SavedGameTest::Int;
  using SavedGameTest::Parts;
  using SavedGameTest::scene;
  using SavedGameTest::Str;
  using SavedGameTest::vars;
};

// A wait of 1000 ms, saved after 160 ms of it: the loaded game ends it after the same number
// of frames as the game that went on.
constexpr char kWaitPage[] = "VarNew \"x\" type=1 value={5}\nWait time={1000}\nCalc {x = 9}\n";

int FramesUntilDone(const std::function<void()>& frame, const std::function<int()>& x) {
  int frames = 0;
  while (x() != 9 && frames < 200) {
    frame();
    ++frames;
  }
  return frames;
}

TEST_F(SavedGameTest, GameSavedInsideWaitResumesWithTheTimeLeft) {
  Page("main.nsb", kWaitPage);
  calls.Start("main.nsb");
  for (int i = 0; i < 10; ++i)
    Frame();
  const std::vector<uint8_t> saved = WriteSavedGame(Parts(), "t", {});
  const int went_on = FramesUntilDone([this] { Frame(); }, [this] { return Int("x"); });

  // A fresh player loads the game.
  TFreshPlayer other;
  other.files = files;
  ReadSavedGame(other.Parts(), saved, "GAMESAVEDATA1");
  EXPECT_EQ(other.Int("x"), 5);
  const int loaded =
      FramesUntilDone([&other] { other.Frame(); }, [&other] { return other.Int("x"); });
  EXPECT_EQ(loaded, went_on);
  EXPECT_GT(loaded, 40); // the wait really had most of its time left
}

TEST_F(SavedGameTest, ResumePageRunsFirstThenTheRestoredPageGoesOn) {
  Page("main.nsb", "VarNew \"x\" type=4 value={\"\"}\nCalc {x = x ++ \"a\"}\nWait time={50}\n"
                   "Calc {x = x ++ \"b\"}\n");
  Page("resume.nsb", "Calc {x = x ++ \"r\"}\nCalc {x = x ++ \"s\"}\n");
  calls.Start("main.nsb");
  Frame();
  // Resume index 0 and a negative one both start the resume page at its first command; 1
  // starts at its second.
  const struct {
    int32_t index;
    const char* expected;
  } cases[] = {{0, "arsb"}, {-3, "arsb"}, {1, "asb"}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> saved = WriteSavedGame(Parts(), "t", {"resume.nsb", c.index});
    TFreshPlayer other;
    other.files = files;
    ReadSavedGame(other.Parts(), saved, "GAMESAVEDATA1");
    for (int i = 0; i < 10; ++i)
      other.Frame();
    EXPECT_EQ(other.Str("x"), c.expected) << "resume index " << c.index;
  }
}

TEST_F(SavedGameTest, CallStackAndResultsSurvive) {
  Page("main.nsb", "VarNew \"r\" type=1 value={0}\nCall page=\"sub.nsb\" cond={TRUE} "
                   "result=\"r\" args=({7})\nCalc {r = r + 1}\n");
  Page("sub.nsb", "result int\nCalc {@Result = @ParamStr[0] * 6}\nWait time={100}\n");
  calls.Start("main.nsb");
  Frame();
  ASSERT_EQ(calls.stack().Count(), 1);
  const std::vector<uint8_t> saved = WriteSavedGame(Parts(), "t", {});
  TFreshPlayer other;
  other.files = files;
  ReadSavedGame(other.Parts(), saved, "GAMESAVEDATA1");
  ASSERT_EQ(other.calls.stack().Count(), 1);
  for (int i = 0; i < 20; ++i)
    other.Frame();
  EXPECT_EQ(other.Int("r"), 43);
}

// The call manager's record loads and saves back byte for byte, with a frame's result and
// running state; older records have no event level and run at level 2.
TEST_F(SavedGameTest, CallRecordSavesBackAsLoadedAndOlderRecordsLoad) {
  Page("main.nsb", "VarNew \"r\" type=1 value={0}\nCall page=\"sub.nsb\" cond={TRUE} "
                   "result=\"r\" args=({7})\nCalc {r = r + 1}\n");
  Page("sub.nsb", "result int\nCalc {@Result = 6}\nCall page=\"wait.nsb\" cond={TRUE}\n");
  Page("wait.nsb", "Wait time={100}\n");
  calls.Start("main.nsb");
  Frame();
  ASSERT_EQ(calls.stack().Count(), 2);
  ASSERT_TRUE(calls.started());
  BinaryWriter w;
  calls.Save(w);
  TFreshPlayer other;
  other.files = files;
  BinaryReader r(w.data(), "calls");
  other.calls.Load(r, kSavedGameVersion);
  EXPECT_TRUE(r.at_end());
  BinaryWriter again;
  other.calls.Save(again);
  EXPECT_EQ(again.data(), w.data());

  // Not started, the event level ends the record; older records stop before it.
  calls.set_started(false);
  BinaryWriter older;
  calls.Save(older);
  std::vector<uint8_t> bytes = older.Take();
  bytes.resize(bytes.size() - 4);
  TFreshPlayer old_player;
  old_player.files = files;
  BinaryReader old_reader(bytes, "calls 115");
  old_player.calls.Load(old_reader, 115);
  EXPECT_TRUE(old_reader.at_end());
  EXPECT_EQ(old_player.calls.stack().Count(), 2);
  EXPECT_EQ(old_player.calls.event_level(), 2);
}

// A game of version 130 holds the default history alone, its layout among the variables: the
// formats are reset and the default one gets both back.
TEST_F(SavedGameTest, GamesBeforeTheFormatsGiveTheDefaultHistoryItsLayout) {
  TNovaHistoryFormatManager& formats = scene.MessageRecords().formats;
  formats.Default().History().SetMaxCount(5);
  BinaryWriter w;
  w.I32(130);
  w.String("t");
  w.String(""); // no resume page
  w.I32(0);
  TNovaBaseList empty(64, 64);
  empty.SaveScene(w); // an empty scene has no field newer than 130
  TSerializer history(w);
  formats.Default().History().Sync(history);
  calls.Save(w);
  w.I32(0);     // no variables
  w.I32(0);     // text delay
  w.String(""); // cursor
  w.String(""); // selection text
  w.I32(0);     // selection index
  for (int32_t v : {20, 1, 2, 300, 200, 4})
    w.I32(v);   // the default history's layout
  w.String(""); // temporary name
  vars.tables.SaveGameTables(w);

  TFreshPlayer other;
  other.files = files;
  TNovaHistoryFormatManager& loaded = other.scene.MessageRecords().formats;
  loaded.Register("log", nullptr);
  ReadSavedGame(other.Parts(), w.data(), "GAMESAVEDATA1");
  EXPECT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded.Default().Values(), (THistoryLayoutValues{20, 1, 2, 300, 200, 4}));
  EXPECT_EQ(loaded.Default().History().MaxCount(), 5);
}

// Every way a saved game can be unusable fails with an error instead of crashing.
TEST_F(SavedGameTest, DamagedGamesFailCleanly) {
  Page("main.nsb", kWaitPage);
  calls.Start("main.nsb");
  Frame();
  const std::vector<uint8_t> good = WriteSavedGame(Parts(), "t", {});

  std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
  for (int32_t version : {0, 106, 144, -1}) {
    std::vector<uint8_t> bad = good;
    std::memcpy(bad.data(), &version, 4);
    cases.emplace_back("version " + std::to_string(version), bad);
  }
  calls.set_pc(99);
  cases.emplace_back("counter outside the page", WriteSavedGame(Parts(), "t", {}));
  calls.set_pc(1);
  cases.emplace_back("resume page missing", WriteSavedGame(Parts(), "t", {"nosuch.nsb", 0}));
  // Every truncation, and a string length far beyond the file in place of the title's.
  for (size_t n = 0; n < good.size(); n += 1 + n / 64)
    cases.emplace_back("truncated to " + std::to_string(n),
                       std::vector<uint8_t>(good.begin(), good.begin() + n));
  std::vector<uint8_t> huge = good;
  huge[4] = huge[5] = huge[6] = 0xFF;
  huge[7] = 0x7F;
  cases.emplace_back("title length beyond the file", huge);

  for (const auto& [what, bytes] : cases) {
    TFreshPlayer other;
    other.files = files;
    EXPECT_THROW(ReadSavedGame(other.Parts(), bytes, "GAMESAVEDATA1"), ENovaError) << what;
  }
  // A page that no longer exists.
  TFreshPlayer without_page;
  EXPECT_THROW(ReadSavedGame(without_page.Parts(), good, "GAMESAVEDATA1"), ENovaError);
  // A call frame whose page is gone, while the running page is still there.
  Page("caller.nsb", "Call page=\"main.nsb\" cond={TRUE}\n");
  calls.Start("caller.nsb");
  Frame();
  ASSERT_EQ(calls.stack().Count(), 1);
  const std::vector<uint8_t> nested = WriteSavedGame(Parts(), "t", {});
  TFreshPlayer without_caller;
  without_caller.files["main.nsb"] = files["main.nsb"];
  EXPECT_THROW(ReadSavedGame(without_caller.Parts(), nested, "GAMESAVEDATA1"), ENovaError);
}

// The game tables travel with the saved game, the status tables with the status data; each
// record restores only its own kind.
TEST_F(SavedGameTest, TablesTravelInTheirOwnRecords) {
  Page("main.nsb", "Calc {DBCreateTable(\"bag\", TRUE)}\nCalc {DBAddField(\"n\", 1)}\n"
                   "Calc {DBInsert(7)}\nCalc {DBCreateTable(\"flags\", FALSE)}\n"
                   "Calc {DBAddField(\"seen\", 3)}\nCalc {DBInsert(TRUE)}\n"
                   "Wait time={1000}\n");
  calls.Start("main.nsb");
  for (int i = 0; i < 3; ++i)
    Frame();
  ASSERT_EQ(vars.tables.Count(), 2);
  const std::vector<uint8_t> game = WriteSavedGame(Parts(), "t", {});
  const std::vector<uint8_t> status = WriteStatusData(Parts());

  TFreshPlayer other;
  other.files = files;
  ReadStatusData(other.Parts(), status, "STATUSSAVEDATA");
  ASSERT_EQ(other.vars.tables.Count(), 1);
  EXPECT_EQ(other.vars.tables.At(0).Name(), "bag");
  ReadSavedGame(other.Parts(), game, "GAMESAVEDATA1");
  ASSERT_EQ(other.vars.tables.Count(), 2);
  ASSERT_NE(other.vars.tables.Find("flags"), nullptr);
  EXPECT_EQ(other.vars.tables.Find("flags")->RecordCount(), 1);
  EXPECT_NE(other.vars.tables.Find("bag"), nullptr);
}

TEST_F(SavedGameTest, StatusDataRoundTripAndTag) {
  vars.Declare("count", PT_INT, TVarScope::Status, nullptr);
  vars.Find("count")->Value()->SetInt(3);
  vars.Declare("plain", PT_INT, TVarScope::Global, nullptr);
  scene.MessageRecords().reads.SetPending("box", "p.nsb", 2, 4);
  scene.MessageRecords().reads.Commit("box");
  const std::vector<uint8_t> status = WriteStatusData(Parts());
  ASSERT_GE(status.size(), 9u);
  EXPECT_EQ(std::string(status.begin(), status.begin() + 9), "Status103");

  TFreshPlayer other;
  ReadStatusData(other.Parts(), status, "STATUSSAVEDATA");
  EXPECT_EQ(other.Int("count"), 3);
  EXPECT_EQ(other.Str("plain"), "<none>"); // only status variables are status data
  EXPECT_TRUE(other.scene.MessageRecords().reads.IsRead("p.nsb", 4, 2));

  // Letters where the version digits go; and data without the tag is read from its start.
  std::vector<uint8_t> letters = status;
  letters[7] = 'x';
  EXPECT_THROW(ReadStatusData(other.Parts(), letters, "STATUSSAVEDATA"), ENovaError);
  for (size_t n = 0; n < status.size(); ++n) {
    TFreshPlayer truncated;
    EXPECT_THROW(ReadStatusData(truncated.Parts(), std::span(status).first(n), "STATUSSAVEDATA"),
                 ENovaError)
        << n;
  }
}

} // namespace
} // namespace nova
