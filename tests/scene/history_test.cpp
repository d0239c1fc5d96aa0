// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "mes_fixture.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

// The characters of a laid-out page, rows separated by "|".
std::string PageChars(const TWdPage& page) {
  std::string out;
  for (const auto& row : page.rows) {
    if (!out.empty())
      out += "|";
    for (const TWdGlyph* g : row->glyphs)
      out += g->CharText();
  }
  return out;
}

class HistoryTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    RunState().FrameDelta = 16;
    auto source =
        std::make_unique<TFakeTextSource>(std::map<std::pair<std::string, int32_t>, std::string>{
            {{"p.nsb", 0}, "one<BR>two<BR>three"},
            {{"p.nsb", 1}, "four"},
            {{"q.nsb", 0}, "five"},
            {{"r.nsb", 0}, "ab cd"}});
    fake = source.get();
    records().SetTextSource(std::move(source));
    box = NewMes(scene, "m", 100, 12);
  }
  TMessageRecords& records() { return scene.MessageRecords(); }
  TNovaHistoryFormatManager& formats() { return records().formats; }
  // Shows every page of the command, then gives the box other text so the last page commits.
  void ShowAll(const std::string& page, int32_t command) {
    box->InsertCommandText(page, command, true);
    for (int32_t i = 1; i < box->PageCount(); ++i)
      box->SetIndex(i);
  }

  TNovaBaseList scene{160, 120};
  TFakeTextSource* fake = nullptr;
  TNovaMes* box = nullptr;
};

TEST_F(HistoryTest, ReferenceStyleCountsEntriesAndStoresRepeatedNamesOnce) {
  ShowAll("p.nsb", 0);
  EXPECT_EQ(box->PageCount(), 3);
  ShowAll("p.nsb", 1); // commits the third page of command 0
  ShowAll("q.nsb", 0); // commits command 1
  box->ClearText();    // commits command 2 of q.nsb
  const TNovaNewHistory& h = formats().Default().History();
  ASSERT_EQ(h.Count(), 5);
  const THistoryOldDataList& refs = h.References();
  EXPECT_EQ(refs[0].name, "p.nsb");
  for (size_t i : {1u, 2u, 3u})
    EXPECT_EQ(refs[i].name, "") << i;
  EXPECT_EQ(refs[4].name, "q.nsb");
  EXPECT_EQ(refs.SourceAt(3), "p.nsb");
  EXPECT_EQ(refs[2].page_index, 2);
  EXPECT_EQ(refs[3].command, 1);
  EXPECT_EQ(refs[0].width, 100);
  EXPECT_EQ(refs[0].height, 12);

  // A maximum of 3 keeps the three newest; the oldest kept still knows its page.
  formats().Default().History().SetMaxCount(3);
  EXPECT_EQ(h.Count(), 3);
  EXPECT_EQ(h.References().SourceAt(0), "p.nsb");
  EXPECT_EQ(h.References()[0].page_index, 2);

  // Text that did not come from a recorded command adds nothing.
  box->SetProp(PR_TEXT, TPropValue::Str("free text"));
  box->SetProp(PR_TEXT, TPropValue::Str("more"));
  EXPECT_EQ(h.Count(), 3);
}

TEST_F(HistoryTest, RecallShowsReferencesAndIsClippedToWhatExists) {
  ShowAll("p.nsb", 0);
  box->ClearText();
  TNovaMes* view = NewMes(scene, "view", 100, 60);
  view->SetProp(PR_OFFSETY, TPropValue::Int(9));

  struct Case {
    int32_t start, count;
    std::string format;
    std::string shown; // empty: the view is left as it was
  };
  const Case cases[] = {
      {0, 2, "", "one|two"},    {-5, 1, "", "one"}, // a negative start counts from 0
      {1, 10, "", "two|three"},                     // clipped to the entries there are
      {3, 1, "", ""},                               // nothing beyond the end
      {0, 1, "absent", ""},                         // no such format
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    view->SetText("untouched");
    formats().Recall(*view, c.start, c.count, c.format, true);
    ASSERT_NE(view->CurrentPage(), nullptr);
    if (c.shown.empty()) {
      EXPECT_EQ(PageChars(*view->CurrentPage()), "untouched");
      continue;
    }
    EXPECT_EQ(PageChars(*view->CurrentPage()), c.shown);
    EXPECT_EQ(view->ReadTracking(), rtHistory);
    EXPECT_EQ(view->AnchorY(), 0);
  }
  EXPECT_EQ(formats().Count("absent"), -1);

  // New text replaces a recalled view for good: a saved game brings the text back, not the view.
  formats().Recall(*view, 0, 1, "", true);
  view->SetProp(PR_TEXT, TPropValue::Str("fresh"));
  BinaryWriter w;
  view->Save(w);
  TNovaBaseList other(160, 120);
  auto* copy = CreateComponent<TNovaMes>(&other);
  BinaryReader r(w.data(), "view");
  copy->Load(r, 143);
  RefreshMessageBoxes(other);
  ASSERT_NE(copy->CurrentPage(), nullptr);
  EXPECT_EQ(PageChars(*copy->CurrentPage()), "fresh");
}

TEST_F(HistoryTest, LayoutStyleCountsPixelsAndRecallsTheOldestAtTheTop) {
  TNovaMes* templ = NewMes(scene, "templ", 100, 25);
  formats().Register("", templ);
  EXPECT_EQ(formats().size(), 1u);
  ShowAll("p.nsb", 0);
  ShowAll("q.nsb", 0);
  box->ClearText();
  const TNovaNewHistory& h = formats().Default().History();
  // Four pages of one 10-pixel row; two fit on a 25-pixel history page.
  EXPECT_EQ(h.Count(), 40);
  ASSERT_EQ(h.Pages().size(), 2u);
  EXPECT_EQ(h.Pages()[0].size(), 2u);
  EXPECT_EQ(h.Pages()[1].SourceAt(1), "q.nsb");

  TNovaMes* view = NewMes(scene, "view", 100, 25);
  formats().Recall(*view, 0, 25, "", true);
  ASSERT_EQ(view->PageCount(), 1);
  EXPECT_EQ(PageChars(*view->CurrentPage()), "one|two|three");
  EXPECT_EQ(view->HistoryOffset(), 0);
  // Starting inside an entry shifts the text up by what lies above the start.
  formats().Recall(*view, 15, 10, "", true);
  EXPECT_EQ(PageChars(*view->CurrentPage()), "two|three");
  EXPECT_EQ(view->HistoryOffset(), -5);

  formats().ClearAll();
  EXPECT_EQ(h.Count(), 0);
  formats().ResetAll();
  EXPECT_EQ(formats().Default().Values()[0], 0);
}

TEST_F(HistoryTest, APageSplitByANarrowerFormatKeepsEachPartOnce) {
  TNovaMes* templ = NewMes(scene, "templ", 30, 15);
  formats().Register("", templ);
  ShowAll("r.nsb", 0);
  box->ClearText();
  const TNovaNewHistory& h = formats().Default().History();
  ASSERT_EQ(h.Pages().size(), 2u);
  EXPECT_EQ(h.Pages()[0][0].first, 0);
  EXPECT_EQ(h.Pages()[0][0].last, 2);
  EXPECT_EQ(h.Pages()[1][0].first, 3);
  EXPECT_EQ(h.Pages()[1][0].last, 4);
  TNovaMes* view = NewMes(scene, "view", 30, 40);
  formats().Recall(*view, 0, h.Count(), "", true);
  EXPECT_EQ(PageChars(*view->CurrentPage()), "ab |cd");
}

TEST_F(HistoryTest, FormatsRoundTripAndOlderLayoutsLoad) {
  formats().Register("log", box);
  ShowAll("p.nsb", 0);
  ShowAll("q.nsb", 0); // q.nsb stays pending
  formats().Default().History().SetMaxCount(7);
  BinaryWriter w;
  formats().Save(w);
  TNovaHistoryFormatManager copy;
  BinaryReader r(w.data(), "history");
  copy.Load(r, 143);
  EXPECT_EQ(r.remaining(), 0u);
  BinaryWriter again;
  copy.Save(again);
  EXPECT_EQ(again.data(), w.data());
  ASSERT_NE(copy.Find("log"), nullptr);
  EXPECT_EQ(copy.Count(""), 3);
  EXPECT_EQ(copy.Count("log"), 30);
  EXPECT_TRUE(copy.Default().History().HasPending());

  // Data before the format manager: the default history alone, references as arrays.
  BinaryWriter old;
  old.String("ignored");
  old.I32(2);
  old.String("a.nsb");
  old.String("");
  old.I32(4);
  old.I32(5); // command indexes
  old.I32(0);
  old.I32(1); // page indexes
  for (int32_t v : {100, 12, 100, 12})
    old.I32(v);
  old.String("b.nsb"); // pending source page
  old.I32(1);          // pending command
  old.I32(0);          // pending page index
  old.I32(100);
  old.I32(12);
  old.String("m"); // pending box
  TNovaHistoryFormatManager legacy;
  legacy.Register("x", nullptr);
  BinaryReader lr(old.data(), "old history");
  legacy.Load(lr, 112);
  EXPECT_EQ(lr.remaining(), 0u);
  EXPECT_EQ(legacy.Find("x"), nullptr);
  const THistoryOldDataList& refs = legacy.Default().History().References();
  ASSERT_EQ(refs.size(), 2u);
  EXPECT_EQ(refs.SourceAt(1), "a.nsb");
  EXPECT_EQ(refs[1].command, 5);
  EXPECT_EQ(refs[1].page_index, 1);
  EXPECT_TRUE(legacy.Default().History().HasPending());
}

TEST_F(HistoryTest, EntryTextsExistOnlyInNewerData) {
  TNovaHistData page;
  page.Add("p.nsb", 1, 0, 4, 10, "v=1");
  page.Add("p.nsb", 2, 5, 9, 12, "v=2");
  BinaryWriter w;
  TSerializer save(w);
  page.Sync(save);
  // Without texts the same page is shorter by the two text strings.
  BinaryWriter old;
  old.I32(2);
  for (auto [name, cmd, first, last, h] : {std::tuple{"p.nsb", 1, 0, 4, 10}, {"", 2, 5, 9, 12}}) {
    old.String(name);
    for (int32_t v : {cmd, first, last, h})
      old.I32(v);
  }
  old.I32(22);
  for (auto [bytes, version, text] : {std::tuple{&w, 124, "v=2"}, {&old, 123, ""}}) {
    TNovaHistData loaded;
    BinaryReader r(bytes->data(), "page");
    TSerializer load(r, version);
    loaded.Sync(load);
    EXPECT_EQ(r.remaining(), 0u);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded.SourceAt(1), "p.nsb");
    EXPECT_EQ(loaded[1].text, text);
    EXPECT_EQ(loaded.TotalHeight(), 22);
  }
}

TEST_F(HistoryTest, DamagedDataFailsCleanly) {
  formats().Register("log", box);
  ShowAll("p.nsb", 0);
  box->ClearText();
  BinaryWriter w;
  formats().Save(w);
  const std::vector<uint8_t> good = w.Take();
  for (size_t n = 0; n < good.size(); ++n) {
    TNovaHistoryFormatManager m;
    BinaryReader r(std::span(good.data(), n), "cut history");
    EXPECT_THROW(m.Load(r, 143), ENovaError) << n;
  }
  // Counts that the bytes cannot hold are refused before anything is allocated.
  for (int32_t count : {-1, 0x7FFFFFFF}) {
    BinaryWriter bad;
    bad.I32(count);
    TNovaHistoryFormatManager m;
    BinaryReader r(bad.data(), "claimed history");
    EXPECT_THROW(m.Load(r, 143), ENovaError) << count;
    TNovaReadList reads;
    BinaryReader rr(bad.data(), "claimed reads");
    EXPECT_THROW(reads.Load(rr, 103), ENovaError) << count;
  }
  // A saved manager without the default format still has one after loading.
  BinaryWriter no_default;
  no_default.I32(0);
  TNovaHistoryFormatManager m;
  BinaryReader r(no_default.data(), "empty");
  m.Load(r, 143);
  EXPECT_EQ(m.Count(""), 0);
}

TEST_F(HistoryTest, ReadMarksFollowTheFinishedPages) {
  box->SetProp(PR_ONPLAYSTART, TPropValue::Str("start"));
  box->InsertCommandText("p.nsb", 0, true);
  EXPECT_EQ(Drain(scene), std::vector<std::string>{"start 0"});
  // Finishing the page marks it read; showing it again from the same command says so.
  for (int i = 0; i < 10; ++i)
    Frame(scene);
  Drain(scene);
  EXPECT_TRUE(records().reads.IsRead("p.nsb", 0, 0));
  EXPECT_FALSE(records().reads.IsRead("p.nsb", 0, 1));
  box->InsertCommandText("p.nsb", 0, true);
  EXPECT_EQ(Drain(scene), std::vector<std::string>{"start 1"});
  // Text given as markup always counts as unread.
  box->SetProp(PR_TEXT, TPropValue::Str("x"));
  EXPECT_EQ(Drain(scene), std::vector<std::string>{"start 0"});

  BinaryWriter w;
  records().reads.Save(w);
  TNovaReadList copy;
  BinaryReader r(w.data(), "reads");
  copy.Load(r, 103);
  EXPECT_TRUE(copy.IsRead("p.nsb", 0, 0));
  BinaryReader old(w.data(), "reads");
  copy.Load(old, 99); // status data this old has no read marks
  EXPECT_FALSE(copy.IsRead("p.nsb", 0, 0));
  records().reads.Clear();
  EXPECT_FALSE(records().reads.IsRead("p.nsb", 0, 0));
}

TEST_F(HistoryTest, ParsedCommandsAreCachedMostRecentlyUsedFirst) {
  TMesDataCacheList cache;
  ASSERT_NE(cache.Find(fake, "p.nsb", 0), nullptr);
  ASSERT_NE(cache.Find(fake, "p.nsb", 0), nullptr);
  EXPECT_EQ(fake->loads, 1);
  EXPECT_EQ(cache.Find(fake, "p.nsb", 9), nullptr); // no text insert command there
  EXPECT_EQ(cache.Find(nullptr, "q.nsb", 0), nullptr);
}

} // namespace
} // namespace nova::test
