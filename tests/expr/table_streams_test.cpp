// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "expr_test_util.h"

namespace nova {
namespace {

class TableStreams : public ::testing::Test {
protected:
  void SetUp() override {
    Eval(vars, "DBCreateTable(\"bag\", TRUE)");
    Eval(vars, "DBAddField(\"item\", 4, 6)");
    Eval(vars, "DBAddField(\"count\", 1)");
    Eval(vars, "DBInsert(\"herb\", 3)");
    Eval(vars, "DBInsert(\"sword\", 1)");
    Eval(vars, "DBSetRecNo(0)");
    Eval(vars, "DBCreateTable(\"scene\", FALSE)");
    Eval(vars, "DBAddField(\"seen\", 3)");
    Eval(vars, "DBAddField(\"score\", 2)");
    Eval(vars, "DBInsert(TRUE, 2.5)");
    Eval(vars, "DBCreateTable(\"log\", FALSE)");
    Eval(vars, "DBSetActive(\"scene\")");
  }
  std::vector<uint8_t> Game() const {
    BinaryWriter w;
    vars.tables.SaveGameTables(w);
    return w.Take();
  }
  std::vector<uint8_t> Status() const {
    BinaryWriter w;
    vars.tables.SaveStatusTables(w);
    return w.Take();
  }
  TParamCollection vars;
};

TEST_F(TableStreams, GamePartLayout) {
  const std::vector<uint8_t> expected = {
      100,  0,    0,    0,                                               // version
      2,    0,    0,    0,                                               // game tables
      0,                                                                 // kind
      5,    0,    0,    0, 's', 'c', 'e', 'n', 'e',                      // name
      0,                                                                 // status
      2,    0,    0,    0,                                               // fields
      1,    0,    0,    0, 4,   0,   0,   0,   's',  'e',  'e',  'n', 3, // size, name, type
      10,   0,    0,    0, 5,   0,   0,   0,   's',  'c',  'o',  'r', 'e', 2, 1, 0, 0, 0, // records
      1,    0,    0,    0, 0,   0,   0,   0,   0xA0, 0x00, 0x40, // TRUE, 2.5
      0,    0,    0,    0,                                       // current record
      0,    3,    0,    0, 0,   'l', 'o', 'g', 0,    0,    0,    0,   0,   0, 0, 0, 0, 0xFF,
      0xFF, 0xFF, 0xFF, 5, 0,   0,   0,   's', 'c',  'e',  'n',  'e', // the current table
  };
  EXPECT_EQ(Game(), expected);
}

TEST_F(TableStreams, PartsRoundTripAndReplaceOnlyTheirOwnTables) {
  const std::vector<uint8_t> game = Game(), status = Status();

  TParamCollection other;
  Eval(other, "DBCreateTable(\"stale game\", FALSE)");
  Eval(other, "DBCreateTable(\"stale status\", TRUE)");
  BinaryReader gr(game, "save.dat");
  other.tables.LoadGameTables(gr);
  EXPECT_TRUE(gr.at_end());
  EXPECT_EQ(Eval(other, "DBGetActive()"), "S:scene");
  EXPECT_EQ(Eval(other, "DBGetTableCount()"), "I:3"); // stale status, scene, log
  BinaryReader sr(status, "save.dat");
  other.tables.LoadStatusTables(sr);
  EXPECT_EQ(Eval(other, "DBGetTableCount()"), "I:3"); // scene, log, bag
  EXPECT_EQ(Eval(other, "DBGetActive()"), "S:bag");   // the last one read
  EXPECT_EQ(Eval(other, "DBGetRecNo()"), "I:0");
  EXPECT_EQ(Eval(other, "DBGetStr(\"item\") ++ IntToStr(DBGetInt(\"count\"))"), "S:herb3");
  EXPECT_EQ(Eval(other, "DBDirectGetFloat(\"scene\", \"seen\", TRUE, FALSE, FALSE, \"score\", 0)"),
            "R:2.5");
  BinaryWriter again;
  other.tables.SaveStatusTables(again);
  EXPECT_EQ(again.data(), status);

  // A current table name that no longer exists leaves none current.
  BinaryWriter empty;
  TParamCollection none;
  none.tables.SaveGameTables(empty);
  BinaryReader er(empty.data(), "save.dat");
  other.tables.LoadGameTables(er);
  EXPECT_EQ(Eval(other, "DBGetActive()"), "S:");
  EXPECT_EQ(Eval(other, "DBGetTableCount()"), "I:1");
}

TEST_F(TableStreams, DamagedPartsFailCleanlyAndChangeNothing) {
  const std::vector<uint8_t> game = Game();
  const struct {
    size_t offset;
    std::vector<uint8_t> bytes;
    const char* problem;
  } damage[] = {
      {4, {0xFF, 0xFF, 0xFF, 0x7F}, "count"},    // table count
      {8, {7}, "kind"},                          // unknown table kind
      {19, {0xFF, 0xFF, 0xFF, 0x7F}, "fields"},  // field count
      {23, {2, 0, 0, 0}, "bytes"},               // flag field of 2 bytes
      {35, {9}, "type"},                         // field type 9
      {50, {0x00, 0x00, 0x00, 0x02}, "records"}, // 32 Mi records
      {50, {2, 0, 0, 0}, "end"},                 // records beyond the data
  };
  for (const auto& d : damage) {
    std::vector<uint8_t> bad = game;
    std::copy(d.bytes.begin(), d.bytes.end(), bad.begin() + static_cast<ptrdiff_t>(d.offset));
    TParamCollection other;
    Eval(other, "DBCreateTable(\"kept\", FALSE)");
    BinaryReader r(bad, "save.dat");
    EXPECT_THROW(other.tables.LoadGameTables(r), ENovaError) << d.problem;
    EXPECT_EQ(Eval(other, "DBGetActive()"), "S:kept") << d.problem;
  }
  for (size_t cut = 0; cut < game.size(); ++cut) {
    TParamCollection other;
    BinaryReader r(std::span<const uint8_t>(game.data(), cut), "save.dat");
    EXPECT_THROW(other.tables.LoadGameTables(r), ENovaError) << cut;
  }
}

} // namespace
} // namespace nova
