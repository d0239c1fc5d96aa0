// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "expr_test_util.h"

namespace nova {
namespace {

// Every variable of the table but the system ones, as "name=description/flags" lines.
std::string Dump(const TParamCollection& vars) {
  std::string out;
  vars.ForEach([&](const TParamCollectionItem& it) {
    if (it.IsSystem())
      return;
    out += SjisToUtf8(it.Name()) + "=" + Describe(it.Value()) + "/dims";
    for (int32_t d : it.Value()->Dims())
      out += " " + std::to_string(d);
    out += "/" + std::to_string(it.status) + std::to_string(it.local) + std::to_string(it.frame) +
           "\n";
  });
  return out;
}

void Fill(TParamCollection& vars) {
  vars.current_frame = 2;
  vars.Declare("gi", PT_INT, TVarScope::Global, nullptr);
  vars.Declare("ar", PT_FLOAT, TVarScope::AutoDestroy, nullptr);
  vars.Declare("lf", PT_BOOL, TVarScope::Local, nullptr);
  vars.Declare("gs", PT_STR, TVarScope::Global, nullptr);
  vars.Declare(Utf8ToSjis("漢字"), PT_STR, TVarScope::Global, nullptr);
  vars.Declare("st", PT_INT, TVarScope::Status, nullptr);
  for (const char* text :
       {"gi = -5", "SetArray(ar, 2, 3)", "ar[1, 2] = 0.1", "lf = TRUE", "SetArray(gs, 3)",
        "gs[2] = \"x\\\"y\"", "漢字 = \"かな\"", "st = 77", "@TextDelay = 20", "@Cursor = \"c\"",
        "@SelStr = \"sel\"", "@SelIndex = 3", "AssignTemp(\"gi\")", "PushVar(\"gi\", \"gs\")"}) {
    Eval(vars, text);
  }
  // A reference to one element, written after the array it refers to.
  TParamCollectionItem* ref = vars.Add(PT_NONE);
  vars.SetName(ref, "ref");
  static_cast<TParamVar*>(ref->Value())->Bind(vars.Find("ar"), 5);
}

TEST(SaveBlocks, MainAndStatusRoundTrip) {
  TParamCollection a;
  Fill(a);
  BinaryWriter main, status;
  a.SaveMain(main);
  a.SaveStatus(status);

  TParamCollection b;
  b.current_frame = 2;
  BinaryReader rs(status.data(), "status");
  b.LoadStatus(rs, 139);
  BinaryReader rm(main.data(), "save");
  b.LoadMain(rm, 139);
  EXPECT_TRUE(rm.at_end());
  EXPECT_EQ(b.text_delay, 20);
  EXPECT_EQ(b.cursor, "c");
  EXPECT_EQ(b.sel_str, "sel");
  EXPECT_EQ(b.sel_index, 3);
  EXPECT_EQ(b.temp_name, "gi");
  EXPECT_EQ(b.SnapshotCount(), 1u);
  EXPECT_EQ(VarOf(b, "ref"), "R:0,0,0,0,0,0.1");
  EXPECT_EQ(Eval(b, "ref + 1"), "R:1.1");
  EXPECT_EQ(Eval(b, "@Temp"), "I:-5");
  // Written from the last created to the first, references after their target.
  std::string expected_b = Dump(b);
  EXPECT_NE(expected_b.find("ar=R:0,0,0,0,0,0.1/dims 2 3/002"), std::string::npos) << expected_b;
  EXPECT_NE(expected_b.find("lf=F:TRUE/dims/012"), std::string::npos);
  EXPECT_NE(expected_b.find("gs=S:,,x\"y/dims 3/00-1"), std::string::npos);
  EXPECT_NE(expected_b.find("漢字=S:かな/dims/00-1"), std::string::npos);
  EXPECT_NE(expected_b.find("st=I:77/dims/10-1"), std::string::npos);
  Eval(b, "gi = 1");
  Eval(b, "PopVar()");
  EXPECT_EQ(VarOf(b, "gi"), "I:-5");
}

TEST(SaveBlocks, LoadMainKeepsStatusVariablesAndFollowsVersions) {
  TParamCollection a;
  Fill(a);
  // Version 102: no selection, no history format, no @Temp name, no snapshots.
  BinaryWriter w;
  w.I32(0);
  w.I32(33);
  w.String("cur");
  BinaryReader r(w.data(), "save");
  a.LoadMain(r, 102);
  EXPECT_TRUE(r.at_end());
  EXPECT_EQ(a.text_delay, 33);
  EXPECT_EQ(VarOf(a, "gi"), "missing");
  EXPECT_EQ(VarOf(a, "st"), "I:77");
  EXPECT_EQ(a.SnapshotCount(), 0u);

  // Version 120: selection and the six history-format integers.
  BinaryWriter w2;
  w2.I32(0);
  w2.I32(40);
  w2.String("");
  w2.String("s");
  w2.I32(9);
  for (int i = 1; i <= 6; ++i)
    w2.I32(i);
  BinaryReader r2(w2.data(), "save");
  a.LoadMain(r2, 120);
  EXPECT_TRUE(r2.at_end());
  ASSERT_TRUE(a.legacy_history_format.has_value());
  EXPECT_EQ((*a.legacy_history_format)[5], 6);
  EXPECT_EQ(a.sel_index, 9);
}

TEST(SaveBlocks, DamagedBytesAreClearErrors) {
  TParamCollection a;
  Fill(a);
  BinaryWriter main;
  a.SaveMain(main);
  const auto& bytes = main.data();
  for (size_t cut = 0; cut < bytes.size(); cut += 3) {
    std::vector<uint8_t> part(bytes.begin(), bytes.begin() + cut);
    TParamCollection b;
    BinaryReader r(part, "save.dat");
    EXPECT_THROW(b.LoadMain(r, 139), ENovaError) << cut;
  }
  // A data type beyond 4 and a huge element count.
  std::vector<uint8_t> bad_type = {1, 0, 0, 0, 9};
  TParamCollection b;
  BinaryReader r1(bad_type, "save.dat");
  EXPECT_THROW(b.LoadMain(r1, 139), ENovaError);
  std::vector<uint8_t> huge = {1, 0, 0, 0, 1, 1, 0, 0, 0, 'x', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F};
  BinaryReader r2(huge, "save.dat");
  EXPECT_THROW(b.LoadMain(r2, 139), ENovaError);
}

TEST(SaveBlocks, ReferenceToAVariableOutsideTheBlockIsStillWritten) {
  TParamCollection a;
  a.Declare("st", PT_INT, TVarScope::Status, nullptr);
  Eval(a, "SetArray(st, 4)");
  TParamCollectionItem* ref = a.Add(PT_NONE);
  a.SetName(ref, "ref");
  static_cast<TParamVar*>(ref->Value())->Bind(a.Find("st"), 2);
  Eval(a, "ref = 8");
  BinaryWriter status, main;
  a.SaveStatus(status);
  a.SaveMain(main);
  TParamCollection b;
  BinaryReader rs(status.data(), "status");
  b.LoadStatus(rs, 139);
  BinaryReader rm(main.data(), "save");
  b.LoadMain(rm, 139);
  EXPECT_EQ(Eval(b, "ref + 0"), "I:8");
}

} // namespace
} // namespace nova
