// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "page_bytes.h"
#include "platform/user_message.h"
#include "script/command_factory.h"
#include "script/commands/component_commands.h"
#include "script/commands/flow_commands.h"
#include "script/commands/scene_commands.h"
#include "script/page.h"
#include "script/script_host.h"

namespace nova {
namespace {

using test::CommandHeader;
using test::EmptyExpr;
using test::IntExpr;
using test::PageHeader;

int32_t FirstInt(const TCommandExpr& e) { return e.parser.Ops().at(0).args.at(0)->AsInt(); }

// A Wait and a Flip as a page of `version` writes them.
std::vector<uint8_t> WaitAndFlipPage(int32_t version) {
  BinaryWriter w = PageHeader(version);
  w.I32(3);            // command count
  CommandHeader(w, 7); // Wait
  EmptyExpr(w);        // condition
  IntExpr(w, 500);     // time
  if (version > 106)
    IntExpr(w, 1);      // no-events
  CommandHeader(w, 13); // Flip
  IntExpr(w, 3);        // kind
  IntExpr(w, 400);      // duration
  EmptyExpr(w);         // transition flag
  EmptyExpr(w);         // keep mode
  w.I32(0);             // name list count
  EmptyExpr(w);         // delete old
  EmptyExpr(w);         // parameter 1
  EmptyExpr(w);         // parameter 2
  IntExpr(w, 9);        // transition source
  if (version > 106)
    IntExpr(w, 1);     // no-events
  CommandHeader(w, 3); // Label, to show the records above ended where they should
  w.String("end");
  return w.Take();
}

TEST(PageVersions, OptionalFieldsFollowTheVersion) {
  for (int32_t version : {103, 106, 107, 116}) {
    SCOPED_TRACE(version);
    TPage page;
    std::vector<uint8_t> bytes = WaitAndFlipPage(version);
    ASSERT_EQ(page.Read(bytes, "v.nsb"), TPageReadResult::Loaded);
    ASSERT_EQ(page.commands().Count(), 3);
    auto& wait = CommandAs<TComWait>(page.commands()[0]);
    auto& flip = CommandAs<TComFlip>(page.commands()[1]);
    EXPECT_EQ(FirstInt(wait.time_ms), 500);
    EXPECT_EQ(wait.no_events.IsEmpty(), version <= 106);
    EXPECT_EQ(FirstInt(flip.source), 9);
    EXPECT_EQ(flip.no_events.IsEmpty(), version <= 106);
    EXPECT_EQ(page.FindLabel("end"), 2);
    BinaryWriter again;
    page.Write(again);
    EXPECT_EQ(again.data(), bytes);
  }
}

TEST(PageVersions, TooOldAndTooNew) {
  struct Case {
    int32_t version;
    TPageReadResult result;
  } cases[] = {{102, TPageReadResult::NeedsRebuild},
               {0, TPageReadResult::NeedsRebuild},
               {117, TPageReadResult::TooNew}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    BinaryWriter w;
    w.I32(c.version); // nothing else: neither case reads further
    TPage page;
    EXPECT_EQ(page.Read(w.data(), "old.nsb"), c.result);
    EXPECT_EQ(page.commands().Count(), 0);
  }
}

class TRecordingHost final : public IScriptFiles, public IScriptDialogs {
public:
  std::vector<uint8_t> bytes;
  std::vector<std::string> shown;
  bool closed = false;

  bool Exists(const std::string&) override { return true; }
  std::vector<uint8_t> Load(const std::string&) override { return bytes; }
  bool PromptForDisk(int32_t, const TDiskTexts&) override { return false; }
  TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgButtons,
                        TMsgIcon) override {
    shown.push_back(SjisToUtf8(text) + "|" + SjisToUtf8(caption));
    return TMsgResult::Ok;
  }
  void CloseMainWindow() override { closed = true; }
};

TEST(PageVersions, OldPageAsksForARebuildAndStopsThePlayer) {
  ResetRunState();
  TRecordingHost host;
  BinaryWriter w;
  w.I32(102);
  host.bytes = w.Take();
  TPage page;
  page.Load("scene\\old.nsb", host, host);
  EXPECT_TRUE(RunState().Terminating);
  EXPECT_TRUE(host.closed);
  ASSERT_EQ(host.shown.size(), 1u);
  // Outside Japanese (the tests' locale decides) one English line follows the system's text.
  EXPECT_EQ(host.shown[0],
            SjisToUtf8(WithEnglishLine(Utf8ToSjis("scene\\old.nsb\r\nリビルドしてください"),
                                       "The page scene\\old.nsb has version 102, older than 103: "
                                       "the title must be rebuilt.")) +
                "|警告");
  ResetRunState();
}

TEST(PageMasks, OversizedAndExtraEntriesAreSkipped) {
  struct Case {
    int32_t count, size;
  } cases[] = {{61, 30}, {70, 22}, {70, 30}, {61, 22}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " x " << c.size);
    BinaryWriter w = PageHeader(116, c.count, c.size);
    w.I32(1);
    // BoxNew (id 8): its entry's first byte is 9 (bits 0 and 3): PR_NAME and PR_LEFT.
    CommandHeader(w, 8);
    IntExpr(w, 11); // PR_NAME
    IntExpr(w, 12); // PR_LEFT
    std::vector<uint8_t> bytes = w.Take();
    TPage page;
    ASSERT_EQ(page.Read(bytes, "m.nsb"), TPageReadResult::Loaded);
    auto& box = CommandAs<TComBoxNew>(page.commands()[0]);
    ASSERT_EQ(box.props.entries().size(), 2u);
    EXPECT_EQ(FirstInt(*box.props.Find(0)), 11);
    EXPECT_EQ(FirstInt(*box.props.Find(3)), 12);
    EXPECT_EQ(page.masks().Entry(60).bytes[0], 61); // the last used entry
    BinaryWriter again;
    page.Write(again);
    EXPECT_EQ(again.data(), bytes);
  }
}

TEST(PageRecords, KindByteHighBitIsIgnored) {
  BinaryWriter w = PageHeader(116);
  w.I32(1);
  CommandHeader(w, 0x8E); // Calc with bit 7 set
  IntExpr(w, 5);
  std::vector<uint8_t> bytes = w.Take();
  TPage page;
  ASSERT_EQ(page.Read(bytes, "k.nsb"), TPageReadResult::Loaded);
  EXPECT_EQ(page.commands()[0].Id(), TCommandId::Calc);
  BinaryWriter again;
  page.Write(again);
  EXPECT_EQ(again.data(), bytes);
}

TEST(PageRecords, CallWithoutArguments) {
  BinaryWriter w = PageHeader(116);
  w.I32(2);
  CommandHeader(w, 5); // Call
  w.String("sub.nsb"); // page
  w.I32(4);            // target index
  w.String("");        // result variable
  EmptyExpr(w);        // condition
  w.I32(0);            // argument count, and nothing after it
  CommandHeader(w, 6); // Exit
  EmptyExpr(w);
  TPage page;
  ASSERT_EQ(page.Read(w.data(), "c.nsb"), TPageReadResult::Loaded);
  auto& call = CommandAs<TComCall>(page.commands()[0]);
  EXPECT_EQ(call.page, "sub.nsb");
  EXPECT_EQ(call.target, 4);
  EXPECT_TRUE(call.args.empty());
  EXPECT_EQ(page.commands()[1].Id(), TCommandId::Exit);
}

TEST(PageRecords, FactoryBuildsEveryKindAndRejectsOthers) {
  TPage page;
  for (int id = 0; id < 128; ++id) {
    SCOPED_TRACE(id);
    if (id < kCommandKindCount) {
      auto c = CreateCommand(&page.commands(), static_cast<uint8_t>(id));
      EXPECT_EQ(static_cast<int>(c->Id()), id);
    } else {
      try {
        CreateCommand(&page.commands(), static_cast<uint8_t>(id));
        ADD_FAILURE() << "no error";
      } catch (const ENovaError& e) {
        EXPECT_EQ(SjisToUtf8(e.what()), "不正なコマンド");
      }
    }
  }
}

TEST(PageRecords, DamageNamesThePageAndTheCommand) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* expected;
  };
  BinaryWriter unknown = PageHeader(116);
  unknown.I32(2);
  CommandHeader(unknown, 22);   // ClrHist
  CommandHeader(unknown, 0x3D); // id 61
  BinaryWriter truncated = PageHeader(116);
  truncated.I32(1);
  CommandHeader(truncated, 4); // Jump
  truncated.String("x.nsb");   // page, then the file ends
  BinaryWriter huge_count = PageHeader(116);
  huge_count.I32(0x7FFFFFFF);
  BinaryWriter huge_masks;
  huge_masks.I32(116);
  huge_masks.U8(1);
  huge_masks.I32(0x10000);
  huge_masks.I32(0x10000);
  Case cases[] = {
      {"unknown kind", unknown.Take(), "不正なコマンド (d.nsb, command 1, kind byte 0x3D)"},
      {"truncated record", truncated.Take(), "(d.nsb, command 0, Jump)"},
      {"command count", huge_count.Take(), "count 2147483647 for command count"},
      {"mask table", huge_masks.Take(), "mask table of 65536 x 65536 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPage page;
    try {
      page.Read(c.bytes, "d.nsb");
      ADD_FAILURE() << "no error";
    } catch (const ENovaError& e) {
      EXPECT_NE(SjisToUtf8(e.what()).find(c.expected), std::string::npos) << e.what();
    }
    EXPECT_EQ(page.commands().Count(), 0);
  }
}

} // namespace
} // namespace nova
