// SPDX-License-Identifier: MIT
// In-game tables against SQLite in memory doing the same work: searching 100,000 records on a
// string and an integer field, sorting them, and loading them from a TAB-separated text.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "expr/build_parser.h"
#include "expr/db_tsv.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"

namespace {

using namespace nova;

constexpr int kRecords = 100000;

// Level values spread over the records in no order (a fixed linear congruential sequence).
int32_t LevelOf(int i) {
  return static_cast<int32_t>((static_cast<uint32_t>(i) * 2654435761u) % 1000003u);
}

std::string TsvText() {
  std::string text = "id int\tname str 16\tlevel int\n";
  char line[64];
  for (int i = 0; i < kRecords; ++i) {
    std::snprintf(line, sizeof line, "%d\titem%06d\t%d\n", i, i, LevelOf(i));
    text += line;
  }
  return text;
}

// A variable table holding one current table "t" loaded from TsvText().
struct NovaTables {
  TParamCollection vars;
  NovaTables() {
    CompileAndRun("DBCreateTable(\"t\", FALSE)");
    LoadTsv(*vars.tables.Current(), TsvText());
  }
  void CompileAndRun(const char* text) {
    TNovaParser p;
    CompileExpression(text, p);
    p.Execute(vars);
  }
};

struct Sqlite {
  sqlite3* db = nullptr;
  Sqlite() {
    sqlite3_open(":memory:", &db);
    Exec("CREATE TABLE t (id INTEGER, name TEXT, level INTEGER)");
  }
  ~Sqlite() { sqlite3_close(db); }
  void Exec(const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
  sqlite3_stmt* Prepare(const char* sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    return st;
  }
  // The same text split by hand and inserted row by row in one transaction.
  void Load(std::string_view text) {
    Exec("DELETE FROM t");
    Exec("BEGIN");
    sqlite3_stmt* st = Prepare("INSERT INTO t VALUES (?, ?, ?)");
    text.remove_prefix(text.find('\n') + 1);
    while (!text.empty()) {
      const size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      const size_t a = line.find('\t'), b = line.find('\t', a + 1);
      sqlite3_bind_int(st, 1, std::atoi(std::string(line.substr(0, a)).c_str()));
      sqlite3_bind_text(st, 2, line.data() + a + 1, static_cast<int>(b - a - 1), SQLITE_TRANSIENT);
      sqlite3_bind_int(st, 3, std::atoi(std::string(line.substr(b + 1)).c_str()));
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Exec("COMMIT");
  }
};

// Searches aim at the last record, so both sides read every record.
const char* const kLocateName = "DBLocate(\"name\", \"item099999\")";
const char* const kLocateId = "DBLocate(\"id\", 99999)";

void Locate(benchmark::State& state, const char* text) {
  NovaTables t;
  TNovaParser p;
  CompileExpression(text, p);
  for (auto _ : state) {
    p.Execute(t.vars);
    benchmark::DoNotOptimize(p.Result()->AsFlag());
  }
  if (t.vars.tables.Current()->current != kRecords - 1)
    state.SkipWithError("the search found the wrong record");
}

void LocateSqlite(benchmark::State& state, const char* sql, bool text) {
  Sqlite s;
  s.Load(TsvText());
  sqlite3_stmt* st = s.Prepare(sql);
  for (auto _ : state) {
    if (text)
      sqlite3_bind_text(st, 1, "item099999", -1, SQLITE_STATIC);
    else
      sqlite3_bind_int(st, 1, 99999);
    if (sqlite3_step(st) != SQLITE_ROW || sqlite3_column_int(st, 0) != kRecords)
      state.SkipWithError("the search found the wrong record");
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
}

void BM_DBLocate_String(benchmark::State& state) { Locate(state, kLocateName); }
void BM_DBLocate_String_vs_sqlite(benchmark::State& state) {
  LocateSqlite(state, "SELECT rowid FROM t WHERE name = ? LIMIT 1", true);
}
void BM_DBLocate_Int(benchmark::State& state) { Locate(state, kLocateId); }
void BM_DBLocate_Int_vs_sqlite(benchmark::State& state) {
  LocateSqlite(state, "SELECT rowid FROM t WHERE id = ? LIMIT 1", false);
}
BENCHMARK(BM_DBLocate_String)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DBLocate_String_vs_sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DBLocate_Int)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DBLocate_Int_vs_sqlite)->Unit(benchmark::kMicrosecond);

// Each run sorts the table in load order again.
void Sort(benchmark::State& state, const char* text) {
  NovaTables t;
  const TDBTable loaded = *t.vars.tables.Current();
  TNovaParser p;
  CompileExpression(text, p);
  for (auto _ : state) {
    state.PauseTiming();
    *t.vars.tables.Current() = loaded;
    state.ResumeTiming();
    p.Execute(t.vars);
  }
}

// ORDER BY with every row stepped through, as a sorted table is read.
void SortSqlite(benchmark::State& state, const char* sql) {
  Sqlite s;
  s.Load(TsvText());
  sqlite3_stmt* st = s.Prepare(sql);
  for (auto _ : state) {
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_int(st, 0));
      ++rows;
    }
    sqlite3_reset(st);
    if (rows != kRecords)
      state.SkipWithError("rows missing");
  }
  sqlite3_finalize(st);
}

void BM_DBSort_Int(benchmark::State& state) { Sort(state, "DBSort(\"level\", FALSE)"); }
void BM_DBSort_Int_vs_sqlite(benchmark::State& state) {
  SortSqlite(state, "SELECT id, name, level FROM t ORDER BY level");
}
void BM_DBSort_String(benchmark::State& state) { Sort(state, "DBSort(\"name\", TRUE)"); }
void BM_DBSort_String_vs_sqlite(benchmark::State& state) {
  SortSqlite(state, "SELECT id, name, level FROM t ORDER BY name DESC");
}
BENCHMARK(BM_DBSort_Int)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DBSort_Int_vs_sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DBSort_String)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DBSort_String_vs_sqlite)->Unit(benchmark::kMillisecond);

void BM_DBLoadTsv(benchmark::State& state) {
  const std::string text = TsvText();
  TDBTable table("t", false);
  for (auto _ : state)
    benchmark::DoNotOptimize(LoadTsv(table, text));
}
void BM_DBLoadTsv_vs_sqlite(benchmark::State& state) {
  const std::string text = TsvText();
  Sqlite s;
  for (auto _ : state)
    s.Load(text);
}
BENCHMARK(BM_DBLoadTsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DBLoadTsv_vs_sqlite)->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
