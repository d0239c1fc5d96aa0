// SPDX-License-Identifier: MIT
// A title that keeps an inventory in a status table and scene flags in a game table, loads the
// inventory from its TSV file and resets, observed with --dump-vars.
#include <gtest/gtest.h>

#include "base/sjis.h"
#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

TEST(TablesE2e, StatusTablesSurviveResetGameTablesDoNot) {
  TTestTitle title("tables");
  title.Add("items.tsv", Utf8ToSjis("名前 str 12\t数 int\n薬草\t3\n剣\t1\n"));
  title.Page(
      "main.nsb",
      "VarNew \"resets\" type=1 value={0} scope=3\n"
      "VarNew \"tables\" type=1 value={0} scope=3\n"
      "VarNew \"herbs\" type=1 value={0} scope=3\n"
      "VarNew \"flag\" type=3 value={FALSE} scope=3\n"
      "VarNew \"scene\" type=1 value={0} scope=3\n"
      "If {resets == 0}\n"
      "  Calc {DBCreateTable(\"bag\", TRUE)}\n"
      "  Calc {DBLoadTsvFile(\"items.tsv\")}\n"
      "  Calc {DBLocate(\"名前\", \"薬草\")}\n"
      "  Calc {DBSetInt(\"数\", DBGetInt(\"数\") + 2)}\n"
      "  Calc {DBCreateTable(\"scene\", FALSE)}\n"
      "  Calc {DBAddField(\"seen\", 3)}\n"
      "  Calc {DBInsert(TRUE)}\n"
      "  Calc {flag = DBGetBool(\"seen\")}\n"
      "  Calc {resets = 1}\n"
      "  Reset page=\"main.nsb\" target=0\n"
      "Calc {tables = DBGetTableCount()}\n"
      "Calc {scene = DBRecordCount(\"scene\")}\n"
      "Calc {herbs = DBDirectGetInt(\"bag\", \"名前\", \"薬草\", FALSE, FALSE, \"数\", -1)}\n");
  std::string error;
  auto vars = title.Run(4, &error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(ValueOf(vars, "resets"), "1");
  EXPECT_EQ(ValueOf(vars, "flag"), "TRUE");
  EXPECT_EQ(ValueOf(vars, "tables"), "1");
  EXPECT_EQ(ValueOf(vars, "scene"), "-1");
  EXPECT_EQ(ValueOf(vars, "herbs"), "5");
}

} // namespace
} // namespace nova::e2e
