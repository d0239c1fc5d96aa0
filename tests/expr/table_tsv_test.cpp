// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "expr/db_tsv.h"
#include "expr_test_util.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

// "name:type:size" of each field, then "|" and the records' cells joined by "," (UTF-8).
std::string Describe(const TDBTable& t) {
  std::string out;
  for (int32_t i = 0; i < t.Fields().Count(); ++i) {
    const TDBField& f = t.Fields()[i];
    out += (i ? " " : "") + f.name + ":" + std::to_string(f.type) + ":" + std::to_string(f.size);
  }
  for (int32_t r = 0; r < t.RecordCount(); ++r) {
    out += "|";
    for (int32_t i = 0; i < t.Fields().Count(); ++i)
      out += (i ? "," : "") + SjisToUtf8(t.Fields()[i].ReadStr(t.Record(r)));
  }
  return out;
}

std::string Load(const std::string& text, bool* ok = nullptr) {
  TDBTable t("t", false);
  t.AddField("old", ftInteger, 0);
  const bool loaded = LoadTsv(t, text);
  if (ok)
    *ok = loaded;
  return Describe(t);
}

TEST(TableTsv, HeaderRules) {
  const struct {
    const char* header;
    const char* fields;
  } cases[] = {
      {"Name", "Name:4:81"},
      {"  Name  ", "Name:4:81"},
      {"Name str 20", "Name:4:21"},
      {"Name  str   12  ", "Name:4:13"},
      {"Name str x", "Name:4:81"},
      {"Name 8", "Name:4:81"}, // "8" is the type word; the length is missing
      {"Name str -3", "Name:4:1"},
      {"a int\tb float\tc bool", "a:1:4 b:2:10 c:3:1"},
      {"a Int\tb BOOL", "a:4:81 b:4:81"},  // type words are case-sensitive
      {"a int\ta bool\tA float", "a:1:4"}, // duplicates are skipped
      {"a int\t", "a:1:4"},                // a trailing TAB adds nothing...
  };
  for (const auto& c : cases)
    EXPECT_EQ(Load(c.header), c.fields) << c.header;
  // ...but an empty cell between TABs is a field without a name: no fields, FALSE.
  bool ok = true;
  EXPECT_EQ(Load("a int\t\tb int\n1\t2\n", &ok), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Load("a\t b", &ok), "a:4:81 b:4:81");
  EXPECT_TRUE(ok);
}

TEST(TableTsv, RecordsEscapesAndLineEnds) {
  const struct {
    const char* text;
    const char* table;
  } cases[] = {
      {"n int\ts str 8\r\n1\tone\r\n\r\n2\ttwo\r\n", "n:1:4 s:4:9|1,one|2,two"},
      {"n int\ts str 8\r1\tone\n2\ttwo", "n:1:4 s:4:9|1,one|2,two"},
      {"n int\ts str 8\n\tx\n5\n", "n:1:4 s:4:9|0,x|5,"},         // empty and missing cells
      {"n int\ts str 8\n1\ta\tb\tc\n", "n:1:4 s:4:9|1,a"},        // more cells than fields
      {"s str 20\n\\\"a\\\\b\\n\\x\n", "s:4:21|\"a\\b\r\n\\x"},   // the escapes
      {"s str 3\nabcdef\n", "s:4:4|abc"},                         // cut to the length
      {"s str 20\t t str 20\n表\\\tx\n", "s:4:21 t:4:21|表\\,x"}, // 0x5C trail byte
  };
  for (const auto& c : cases) {
    TDBTable t("t", false);
    EXPECT_TRUE(LoadTsv(t, Utf8ToSjis(c.text))) << c.text;
    EXPECT_EQ(Describe(t), c.table) << c.text;
    EXPECT_EQ(t.current, t.RecordCount() - 1);
  }
  // A lone lead byte at a cell's end does not swallow the TAB after it.
  TDBTable t("t", false);
  EXPECT_TRUE(LoadTsv(t, "s str 20\tt str 20\nab\x81\tx\n"));
  EXPECT_EQ(t.Fields()[0].ReadStr(t.Record(0)), "ab\x81");
  EXPECT_EQ(t.Fields()[1].ReadStr(t.Record(0)), "x");
}

TEST(TableTsv, LoadsTitleFileThroughTheFunction) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("nova_tsv_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "data");
  std::ofstream(dir / "data" / "items.tsv", std::ios::binary)
      << Utf8ToSjis("名前 str 10\t数 int\n薬草\t3\n剣\t1\n");
  std::ofstream(dir / "empty.tsv", std::ios::binary) << "";
  ResetFileManager();
  FileManager().SetBaseFolder(dir.string());

  TParamCollection vars;
  Eval(vars, "DBCreateTable(\"items\", FALSE)");
  EXPECT_EQ(Eval(vars, "DBLoadTsvFile(\"missing.tsv\")"), "F:FALSE");
  EXPECT_EQ(Eval(vars, "DBLoadTsvFile(\"empty.tsv\")"), "F:FALSE");
  EXPECT_EQ(Eval(vars, "DBLoadTsvFile(\"DATA\\ITEMS.TSV\")"), "F:TRUE");
  EXPECT_EQ(Eval(vars, "DBRecordCount()"), "I:2");
  EXPECT_EQ(Eval(vars, "DBDirectGetInt(\"items\", \"名前\", \"剣\", FALSE, FALSE, \"数\", 0)"),
            "I:1");

  ResetFileManager();
  std::filesystem::remove_all(dir);
}

TEST(TableTsv, HundredThousandLines) {
  std::string text = "id int\tname str 12\n";
  for (int i = 0; i < 100000; ++i)
    text += std::to_string(i) + "\titem" + std::to_string(i) + "\n";
  TDBTable t("t", false);
  ASSERT_TRUE(LoadTsv(t, text));
  EXPECT_EQ(t.RecordCount(), 100000);
  EXPECT_EQ(t.Fields()[1].ReadStr(t.Record(99999)), "item99999");
}

} // namespace
} // namespace nova
