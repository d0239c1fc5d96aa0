// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "expr_test_util.h"

namespace nova {
namespace {

struct Case {
  const char* setup; // run first (may be empty)
  const char* expr;
  const char* expected;
};

class TableFunctions : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"names", "sv", "name"})
      vars.Declare(name, PT_STR, TVarScope::Global, nullptr);
    vars.Declare("iv", PT_INT, TVarScope::Global, nullptr);
    vars.Declare("rv", PT_FLOAT, TVarScope::Global, nullptr);
    vars.Declare("fv", PT_BOOL, TVarScope::Global, nullptr);
    vars.Declare("dv", PT_BOOL, TVarScope::Global, nullptr);
  }
  // A game table "t" with one field of each type and one record, current.
  void MakeTable() {
    Run("DBCreateTable(\"t\", FALSE)");
    Run("DBAddField(\"i\", 1)");
    Run("DBAddField(\"r\", 2)");
    Run("DBAddField(\"f\", 3)");
    Run("DBAddField(\"s\", 4, 3)");
    Run("DBInsert()");
  }
  // Records (name, level) into the current table from "a:1 b:2 ...".
  void AddRows(std::initializer_list<std::pair<const char*, int>> rows) {
    for (const auto& [n, level] : rows)
      Run(std::string("DBInsert(\"") + n + "\", " + std::to_string(level) + ")");
  }
  std::string Run(const std::string& utf8) { return Eval(vars, utf8); }
  void RunCases(std::span<const Case> cases) {
    for (const Case& c : cases) {
      if (*c.setup)
        Run(c.setup);
      EXPECT_EQ(Run(c.expr), c.expected) << c.setup << " ; " << c.expr;
    }
  }
  TParamCollection vars;
};

TEST_F(TableFunctions, FieldsReadAsEveryType) {
  MakeTable();
  const Case cases[] = {
      {"DBSetInt(\"i\", 7)", "DBGetInt(\"i\")", "I:7"},
      {"", "DBGetFloat(\"i\")", "R:7"},
      {"", "DBGetBool(\"i\")", "F:TRUE"},
      {"", "DBGetStr(\"i\")", "S:7"},
      {"DBSetInt(\"i\", 0)", "DBGetBool(\"i\")", "F:FALSE"},
      {"DBSetFloat(\"r\", 2.5)", "DBGetInt(\"r\")", "I:2"},
      {"DBSetFloat(\"r\", 3.5)", "DBGetInt(\"r\")", "I:4"},
      {"DBSetFloat(\"r\", -2.5)", "DBGetInt(\"r\")", "I:-2"},
      {"DBSetFloat(\"r\", 1.0 / 3)", "DBGetStr(\"r\")", "S:0.333333333333333"},
      {"DBSetFloat(\"r\", 1E20)", "DBGetStr(\"r\")", "S:1E20"},
      {"", "DBGetBool(\"r\")", "F:TRUE"},
      {"DBSetFloat(\"r\", 0)", "DBGetBool(\"r\")", "F:FALSE"},
      {"DBSetBool(\"f\", TRUE)", "DBGetInt(\"f\")", "I:1"},
      {"", "DBGetFloat(\"f\")", "R:1"},
      {"", "DBGetStr(\"f\")", "S:TRUE"},
      {"DBSetBool(\"f\", FALSE)", "DBGetStr(\"f\")", "S:FALSE"},
      {"DBSetStr(\"s\", \"42\")", "DBGetInt(\"s\")", "I:42"},
      {"", "DBGetFloat(\"s\")", "R:42"},
      {"DBSetStr(\"s\", \"abc\")", "DBGetInt(\"s\")", "I:0"},
      {"", "DBGetFloat(\"s\")", "R:0"},
      {"DBSetStr(\"s\", \"1.5\")", "DBGetFloat(\"s\")", "R:1.5"},
      {"DBSetStr(\"s\", \"true\")", "DBGetBool(\"s\")", "F:FALSE"},
      {"DBSetStr(\"s\", \"TRUE\")", "DBGetBool(\"s\")", "F:FALSE"}, // cut to "TRU"
  };
  RunCases(cases);
  Run("DBCreateTable(\"w\", FALSE)");
  Run("DBAddField(\"s\", 4, 8)");
  Run("DBInsert(\"TRUE\")");
  EXPECT_EQ(Run("DBGetBool(\"S\")"), "F:TRUE") << "field names ignore case";
}

TEST_F(TableFunctions, FieldsWrittenFromEveryType) {
  MakeTable();
  const Case cases[] = {
      {"DBSetFloat(\"i\", 2.5)", "DBGetInt(\"i\")", "I:2"},
      {"DBSetFloat(\"i\", 3.5)", "DBGetInt(\"i\")", "I:4"},
      {"DBSetBool(\"i\", TRUE)", "DBGetInt(\"i\")", "I:1"},
      {"DBSetStr(\"i\", \"12\")", "DBGetInt(\"i\")", "I:12"},
      {"DBSetStr(\"i\", \"12x\")", "DBGetInt(\"i\")", "I:0"},
      {"DBSetInt(\"r\", 3)", "DBGetFloat(\"r\")", "R:3"},
      {"DBSetBool(\"r\", TRUE)", "DBGetFloat(\"r\")", "R:1"},
      {"DBSetStr(\"r\", \"1.25\")", "DBGetFloat(\"r\")", "R:1.25"},
      {"DBSetStr(\"r\", \"x\")", "DBGetFloat(\"r\")", "R:0"},
      {"DBSetInt(\"f\", 5)", "DBGetBool(\"f\")", "F:TRUE"},
      {"DBSetFloat(\"f\", 0.5)", "DBGetBool(\"f\")", "F:TRUE"},
      {"DBSetStr(\"f\", \"TRUE\")", "DBGetBool(\"f\")", "F:TRUE"},
      {"DBSetStr(\"f\", \"true\")", "DBGetBool(\"f\")", "F:FALSE"},
      {"DBSetStr(\"f\", \"1\")", "DBGetBool(\"f\")", "F:FALSE"},
      {"DBSetInt(\"s\", 12345)", "DBGetStr(\"s\")", "S:123"},
      {"DBSetFloat(\"s\", 1.5)", "DBGetStr(\"s\")", "S:1.5"},
      {"DBSetBool(\"s\", FALSE)", "DBGetStr(\"s\")", "S:FAL"},
      {"DBSetStr(\"s\", \"abcdef\")", "DBGetStr(\"s\")", "S:abc"},
      {"DBSetStr(\"s\", \"\")", "DBGetStr(\"s\")", "S:"},
  };
  RunCases(cases);
  // DBInsert writes each argument by its own type; extra arguments are ignored.
  Run("DBInsert(\"7\", 2.5, 1, \"x\", 99, 100)");
  EXPECT_EQ(Run("DBGetInt(\"i\")"), "I:7");
  EXPECT_EQ(Run("DBGetFloat(\"r\")"), "R:2.5");
  EXPECT_EQ(Run("DBGetBool(\"f\")"), "F:TRUE");
  EXPECT_EQ(Run("DBGetStr(\"s\")"), "S:x");
  // New records are zero-filled.
  Run("DBInsert()");
  EXPECT_EQ(Run("DBGetStr(\"i\") ++ DBGetStr(\"r\") ++ DBGetStr(\"f\") ++ DBGetStr(\"s\")"),
            "S:00FALSE");
}

TEST_F(TableFunctions, FailureAnswers) {
  // No table at all.
  const Case no_table[] = {
      {"", "DBCreateTable(\"\", TRUE)", "F:FALSE"},
      {"", "DBSetActive(\"x\")", "F:FALSE"},
      {"", "DBAddField(\"a\", 1)", "F:FALSE"},
      {"", "DBSetRecNo(-1)", "F:FALSE"},
      {"", "DBInsert(1)", "F:FALSE"},
      {"", "DBDelete()", "F:FALSE"},
      {"", "DBGetInt(\"a\")", "I:0"},
      {"", "DBGetFloat(\"a\")", "R:0"},
      {"", "DBGetBool(\"a\")", "F:FALSE"},
      {"", "DBGetStr(\"a\")", "S:"},
      {"", "DBSetInt(\"a\", 1)", "F:FALSE"},
      {"", "DBRecordCount()", "I:-1"},
      {"", "DBRecordCount(\"x\")", "I:-1"},
      {"", "DBFindFirst()", "F:FALSE"},
      {"", "DBFindLast()", "F:FALSE"},
      {"", "DBLocate(\"a\", 1)", "F:FALSE"},
      {"", "DBLoadTsvFile(\"a.txt\")", "F:FALSE"},
      {"", "DBDirectGetInt(\"x\", \"a\", 1, FALSE, FALSE, \"a\", 7)", "I:7"},
      {"", "DBDirectGetStr(\"x\", \"a\", 1, FALSE, FALSE, \"a\", \"d\")", "S:d"},
      {"", "DBDirectSetInt(\"x\", \"a\", 1, FALSE, FALSE, \"a\", 7)", "F:FALSE"},
      {"", "DBCopyTable(\"x\")", "F:FALSE"},
      {"", "DBInsertTable(\"x\")", "F:FALSE"},
      {"", "DBCopy(\"x\")", "F:FALSE"},
      {"", "DBSort(\"a\", TRUE)", "F:FALSE"},
      {"", "DBGetActive()", "S:"},
      {"", "DBGetRecNo()", "I:-1"},
      {"", "DBClearRecord()", "F:FALSE"},
      {"", "DBDeleteTable()", "F:FALSE"},
      {"", "DBGetTableCount()", "I:0"},
      {"", "DBGetTable(0, name)", "F:FALSE"},
  };
  RunCases(no_table);

  // A table, its fields and one record: bad names, types and record numbers.
  MakeTable();
  const Case bad_args[] = {
      {"", "DBAddField(\"I\", 1)", "F:FALSE"}, // exists, compared ignoring case
      {"", "DBAddField(\"x\", 0)", "F:FALSE"},
      {"", "DBAddField(\"x\", 5)", "F:FALSE"},
      {"", "DBAddField(\"x\", 257)", "F:FALSE"},
      {"", "DBSetRecNo(1)", "F:FALSE"},
      {"", "DBSetRecNo(2147483647)", "F:FALSE"},
      {"", "DBGetRecNo()", "I:0"},
      {"", "DBSetRecNo(-5)", "F:TRUE"},
      {"", "DBGetRecNo()", "I:-1"},
      {"", "DBGetInt(\"i\")", "I:0"}, // no current record
      {"", "DBSetInt(\"i\", 1)", "F:FALSE"},
      {"", "DBFindNext()", "F:FALSE"},
      {"", "DBFindPrior()", "F:FALSE"},
      {"DBSetRecNo(0)", "DBGetInt(\"nope\")", "I:0"},
      {"", "DBSetStr(\"nope\", \"x\")", "F:FALSE"},
      {"", "DBGetTable(5, name)", "F:FALSE"},
      {"", "DBGetTable(-1, name)", "F:FALSE"},
      {"", "DBGetTable(0)", "F:FALSE"},
      {"", "DBSort(\"i\")", "F:FALSE"},
      {"", "DBLocate(\"nope\", 0)", "F:FALSE"},
      {"", "DBDirectGetInt(\"t\", \"i\", 0, FALSE, FALSE, \"nope\", 9)", "I:9"},
      {"", "DBDirectGetInt(\"t\", \"i\", 5, FALSE, FALSE, \"i\", 9)", "I:9"},
      {"", "DBDirectSetInt(\"t\", \"i\", 5, FALSE, FALSE, \"i\", 9)", "F:FALSE"},
      {"", "DBCopyTable(\"t\")", "F:FALSE"}, // the current table itself
      {"", "DBClearRecord(\"x\")", "F:FALSE"},
  };
  RunCases(bad_args);
  // A huge string length is cut to the bound instead of being allocated as asked.
  EXPECT_EQ(Run("DBAddField(\"big\", 4, 2147483647)"), "F:TRUE");
  EXPECT_EQ(Run("DBRecordCount()"), "I:1");
}

TEST_F(TableFunctions, CreateSetActiveAndStatus) {
  Run("DBCreateTable(\"Items\", TRUE)");
  Run("DBAddField(\"n\", 1)");
  Run("DBInsert(1)");
  Run("DBCreateTable(\"Flags\", FALSE)");
  EXPECT_EQ(Run("DBGetActive()"), "S:Flags");
  // An existing table with status TRUE keeps fields and records...
  EXPECT_EQ(Run("DBCreateTable(\"ITEMS\", TRUE)"), "F:TRUE");
  EXPECT_EQ(Run("DBGetActive()"), "S:Items");
  EXPECT_EQ(Run("DBRecordCount()"), "I:1");
  // ...with FALSE it is emptied, and its stored status stays.
  EXPECT_EQ(Run("DBCreateTable(\"items\", FALSE)"), "F:TRUE");
  EXPECT_EQ(Run("DBRecordCount()"), "I:0");
  EXPECT_EQ(Run("DBAddField(\"n\", 1)"), "F:TRUE");
  EXPECT_EQ(Run("DBGetTableCount()"), "I:2");
  EXPECT_EQ(Run("DBGetTable(0, name, fv)"), "F:TRUE");
  EXPECT_EQ(VarOf(vars, "name"), "S:Items");
  EXPECT_EQ(VarOf(vars, "fv"), "F:TRUE");
  EXPECT_EQ(Run("DBSetActive(\"flags\")"), "F:TRUE");
  EXPECT_EQ(Run("DBSetActive(\"none\")"), "F:FALSE");
  EXPECT_EQ(Run("DBGetActive()"), "S:Flags");

  // Deleting another table keeps the current one; deleting the current leaves none.
  EXPECT_EQ(Run("DBDeleteTable(\"Items\")"), "F:FALSE");
  EXPECT_EQ(Run("DBGetActive()"), "S:Flags");
  Run("DBDeleteTable()");
  EXPECT_EQ(Run("DBGetActive()"), "S:");
  EXPECT_EQ(Run("DBGetTableCount()"), "I:0");
}

TEST_F(TableFunctions, ResetRemovesGameTablesOnly) {
  Run("DBCreateTable(\"status\", TRUE)");
  Run("DBCreateTable(\"game\", FALSE)");
  vars.ResetAll();
  EXPECT_EQ(Run("DBGetTableCount()"), "I:1");
  EXPECT_EQ(Run("DBGetActive()"), "S:");
  EXPECT_EQ(Run("DBRecordCount(\"status\")"), "I:0");
  EXPECT_EQ(Run("DBClearTable()"), "F:FALSE");
  EXPECT_EQ(Run("DBGetTableCount()"), "I:0");
}

TEST_F(TableFunctions, NavigationAndDelete) {
  Run("DBCreateTable(\"t\", FALSE)");
  Run("DBAddField(\"name\", 4, 10)");
  Run("DBAddField(\"level\", 1)");
  AddRows({{"a", 1}, {"b", 2}, {"c", 3}});
  EXPECT_EQ(Run("DBGetRecNo()"), "I:2");
  EXPECT_EQ(Run("DBFindNext()"), "F:FALSE");
  EXPECT_EQ(Run("DBFindFirst()"), "F:TRUE");
  EXPECT_EQ(Run("DBFindPrior()"), "F:FALSE");
  EXPECT_EQ(Run("DBFindNext()"), "F:TRUE");
  EXPECT_EQ(Run("DBGetStr(\"name\")"), "S:b");
  // The record after the deleted one becomes current; at the end, the new last one.
  EXPECT_EQ(Run("DBDelete()"), "F:FALSE");
  EXPECT_EQ(Run("DBGetStr(\"name\")"), "S:c");
  Run("DBDelete()");
  EXPECT_EQ(Run("DBGetStr(\"name\")"), "S:a");
  Run("DBDelete()");
  EXPECT_EQ(Run("DBGetRecNo()"), "I:-1");
  EXPECT_EQ(Run("DBRecordCount()"), "I:0");
  EXPECT_EQ(Run("DBFindLast()"), "F:FALSE");

  // A field added later grows every record with zeros.
  AddRows({{"x", 5}});
  Run("DBAddField(\"hp\", 1)");
  EXPECT_EQ(Run("DBGetInt(\"level\") * 100 + DBGetInt(\"hp\")"), "I:500");
  EXPECT_EQ(Run("DBClearRecord()"), "F:TRUE");
  EXPECT_EQ(Run("DBGetRecNo()"), "I:-1");
  EXPECT_EQ(Run("DBAddField(\"more\", 3)"), "F:TRUE");
}

TEST_F(TableFunctions, LocateAndDirectAccess) {
  Run("DBCreateTable(\"t\", FALSE)");
  Run("DBAddField(\"name\", 4, 10)");
  Run("DBAddField(\"level\", 1)");
  Run("DBAddField(\"code\", 4, 5)");
  Run("DBInsert(\"Sword\", 3, \"12\")");
  Run("DBInsert(\"Shield\", 1, \"\")");
  Run("DBInsert(\"sword\", 3, \"7\")");
  Run("StringToArray(\"level,name\", names, \",\")");
  Run("StringToArray(\"3,sword\", sv, \",\")");
  Run("SetArray(iv, 2)");
  Run("iv[0] = 7");
  const Case cases[] = {
      {"", "DBLocate(\"name\", \"sword\")", "F:TRUE"},
      {"", "DBGetRecNo()", "I:2"},
      {"", "DBLocate(\"name\", \"SWORD\", TRUE)", "F:TRUE"},
      {"", "DBGetRecNo()", "I:0"},
      {"", "DBLocate(\"NAME\", \"hie\", FALSE, TRUE)", "F:TRUE"},
      {"", "DBGetRecNo()", "I:1"},
      {"", "DBLocate(\"name\", \"WOR\", TRUE, TRUE)", "F:TRUE"},
      {"", "DBGetRecNo()", "I:0"},
      {"", "DBLocate(\"name\", \"WOR\", FALSE, TRUE)", "F:FALSE"},
      {"", "DBGetRecNo()", "I:0"}, // a failed search keeps the current record
      // Partial with an empty text finds nothing; whole-text finds the empty field.
      {"", "DBLocate(\"code\", \"\", FALSE, TRUE)", "F:FALSE"},
      {"", "DBLocate(\"code\", \"\")", "F:TRUE"},
      {"", "DBGetRecNo()", "I:1"},
      // An integer value compares the string field's number.
      {"", "DBLocate(\"code\", iv)", "F:TRUE"},
      {"", "DBGetRecNo()", "I:2"},
      // Arrays pair up element by element, compared as the values' type (strings here).
      {"", "DBLocate(names, sv)", "F:TRUE"},
      {"", "DBGetRecNo()", "I:2"},
      {"", "DBLocate(names, sv, TRUE)", "F:TRUE"},
      {"", "DBGetRecNo()", "I:0"},
      {"", "DBDirectGetStr(\"T\", \"level\", 1, FALSE, FALSE, \"name\", \"-\")", "S:Shield"},
      {"", "DBDirectGetFloat(\"t\", \"name\", \"Sword\", FALSE, FALSE, \"code\", 0)", "R:12"},
      {"", "DBDirectGetBool(\"t\", \"level\", 3, FALSE, FALSE, \"level\", FALSE)", "F:TRUE"},
      {"", "DBDirectSetInt(\"t\", \"name\", \"sword\", FALSE, FALSE, \"level\", 9)", "F:TRUE"},
      {"", "DBDirectGetInt(\"t\", \"name\", \"sword\", FALSE, FALSE, \"level\", 0)", "I:9"},
      {"", "DBDirectSetStr(\"t\", \"level\", 1, FALSE, FALSE, \"code\", \"123456\")", "F:TRUE"},
      {"", "DBDirectGetStr(\"t\", \"level\", 1, FALSE, FALSE, \"code\", \"\")", "S:12345"},
      {"", "DBGetRecNo()", "I:0"}, // direct access leaves the current record alone
  };
  RunCases(cases);
}

TEST_F(TableFunctions, CopyInsertAndCopyRecord) {
  Run("DBCreateTable(\"dst\", FALSE)");
  Run("DBAddField(\"junk\", 3)");
  Run("DBCreateTable(\"other\", FALSE)");
  Run("DBAddField(\"name\", 4, 9)"); // storage differs from the source's
  Run("DBAddField(\"level\", 1)");
  Run("DBCreateTable(\"src\", FALSE)");
  Run("DBAddField(\"name\", 4, 10)");
  Run("DBAddField(\"level\", 1)");
  AddRows({{"a", 1}, {"b", 2}, {"c", 1}});

  EXPECT_EQ(Run("DBCopyTable(\"dst\", \"level\", 1)"), "F:TRUE");
  EXPECT_EQ(Run("DBRecordCount(\"dst\")"), "I:2");
  EXPECT_EQ(Run("DBGetActive()"), "S:src");
  EXPECT_EQ(Run("DBDirectGetStr(\"dst\", \"level\", 1, FALSE, FALSE, \"name\", \"\")"), "S:a");
  EXPECT_EQ(Run("DBInsertTable(\"other\")"), "F:FALSE");
  EXPECT_EQ(Run("DBCopy(\"other\")"), "F:FALSE");

  Run("DBSetActive(\"dst\")");
  EXPECT_EQ(Run("DBGetRecNo()"), "I:1") << "the copy's current record is its last";
  EXPECT_EQ(Run("DBInsertTable(\"src\", \"name\", \"b\")"), "F:TRUE");
  EXPECT_EQ(Run("DBRecordCount()"), "I:3");
  EXPECT_EQ(Run("DBGetStr(\"name\")"), "S:b");
  EXPECT_EQ(Run("DBInsertTable(\"dst\")"), "F:TRUE") << "a table inserted into itself";
  EXPECT_EQ(Run("DBRecordCount()"), "I:6");
  Run("DBSetRecNo(0)");
  EXPECT_EQ(Run("DBCopy(\"src\")"), "F:TRUE");
  EXPECT_EQ(Run("DBRecordCount(\"src\")"), "I:4");
  Run("DBSetActive(\"src\")");
  EXPECT_EQ(Run("DBGetRecNo()"), "I:3");
  EXPECT_EQ(Run("DBGetStr(\"name\")"), "S:a");
}

TEST_F(TableFunctions, SortOrdersByKeysInTurn) {
  Run("DBCreateTable(\"t\", FALSE)");
  Run("DBAddField(\"name\", 4, 10)");
  Run("DBAddField(\"level\", 1)");
  Run("DBAddField(\"w\", 2)");
  Run("DBAddField(\"k\", 3)");
  Run("DBInsert(\"b\", 2, 0.5, TRUE)");
  Run("DBInsert(\"a\", 2, -1, FALSE)");
  Run("DBInsert(\"B\", 1, 2.5, TRUE)");
  Run("DBInsert(\"c\", 3, 0.25, FALSE)");
  Run("DBSetRecNo(1)");
  const auto order = [&] {
    const TDBTable& t = *vars.tables.Current();
    std::string out;
    for (int32_t i = 0; i < t.RecordCount(); ++i)
      out += t.Fields()[0].ReadStr(t.Record(i));
    return out;
  };
  Run("StringToArray(\"level,name\", names, \",\")");
  Run("StringToArray(\"k,name\", sv, \",\")");
  Run("SetArray(fv, 2)");
  Run("fv[0] = TRUE");
  Run("SetArray(dv, 2)");
  const struct {
    const char* expr;
    const char* order;
  } cases[] = {
      {"DBSort(\"name\", FALSE)", "Babc"}, // byte order: upper case first
      {"DBSort(\"name\", TRUE)", "cbaB"},
      {"DBSort(\"w\", FALSE)", "acbB"},
      {"DBSort(sv, dv)", "acBb"},    // flags FALSE first
      {"DBSort(names, fv)", "cabB"}, // level descending, then name ascending
      {"DBSort(\"nothing\", TRUE)", "cabB"},
  };
  for (const auto& c : cases) {
    Run("DBSetRecNo(1)");
    EXPECT_EQ(Run(c.expr), "F:TRUE") << c.expr;
    EXPECT_EQ(Run("DBGetRecNo()"), "I:1") << "the current index stays";
    EXPECT_EQ(order(), c.order) << c.expr;
  }
}

TEST(TableSort, NotANumberKeepsTheOrderTotal) {
  TDBTable t("t", false);
  ASSERT_TRUE(t.AddField("r", ftReal, 0));
  const long double values[] = {2, NAN, -1, NAN, 0.5, 3, NAN, -7};
  for (int round = 0; round < 200; ++round) {
    const long double v = values[(round * 5) % 8];
    ASSERT_TRUE(t.AppendRecord());
    t.Fields()[0].WriteReal(t.Record(t.RecordCount() - 1), round % 3 ? v : NAN);
  }
  for (bool descending : {false, true}) {
    const TDBSortKey key{0, descending};
    t.Sort(std::span(&key, 1));
    // Ascending: numbers, then every NaN; descending the other way round.
    std::string kinds;
    for (int32_t i = 0; i < t.RecordCount(); ++i)
      kinds += std::isnan(t.Fields()[0].ReadReal(t.Record(i))) ? 'N' : 'n';
    const size_t nans = static_cast<size_t>(std::count(kinds.begin(), kinds.end(), 'N'));
    const std::string want = descending ? std::string(nans, 'N') + std::string(200 - nans, 'n')
                                        : std::string(200 - nans, 'n') + std::string(nans, 'N');
    EXPECT_EQ(kinds, want);
  }
}

} // namespace
} // namespace nova
