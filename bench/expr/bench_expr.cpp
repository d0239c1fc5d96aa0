// SPDX-License-Identifier: MIT
// Compile and execute rates of expressions; Lua 5.4 runs the equivalent statements as reference.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "expr/build_parser.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"

namespace {

using namespace nova;

const char* const kCorpus[] = {
    "x = x + 1",
    "a[i, j] = b[j, i] * 2 + 1",
    "s = s ++ IntToStr(i)",
    "f = (x > 1) == (y < 2) == (z <> 3)",
    "@TextDelay = 30",
    "flag = Not(flag)",
    "name = \"太郎\" ++ \"さん\"",
    "r = Sin(@Pi / 4) * 100.0",
    "n = Random(6) + 1",
    "text = Copy(s, 2, Length(s) - 2)",
    "count = count + (hp < 10) * 2 - (mp >= 5)",
    "msg = \"HP:\" ++ IntToStr(hp, 3) ++ \"\\n\"",
};

void BM_Compile(benchmark::State& state) {
  for (auto _ : state) {
    for (const char* text : kCorpus)
      benchmark::DoNotOptimize(CompileToBytes(text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(kCorpus)));
}
BENCHMARK(BM_Compile);

struct Case {
  const char* name;
  const char* nova;
  const char* lua;
};

const Case kCases[] = {
    {"Increment", "x = x + 1", "x = x + 1"},
    {"ArrayElement", "a[i, j] = b[j, i] * 2 + 1", "a[i][j] = b[j][i] * 2 + 1"},
    {"Concat", "s = s ++ IntToStr(i)", "s = s .. tostring(i)"},
    {"CompareChain", "f = (x > 1) == (y < 2) == (z <> 3)", "f = ((x > 1) == (y < 2)) == (z ~= 3)"},
};

// The string grows with every run; both peers cut it back at the same rate.
constexpr int kConcatReset = 1000;

void RunNova(benchmark::State& state, const Case& c) {
  TParamCollection vars;
  for (const char* name : {"x", "i", "j", "y", "z", "a", "b"}) {
    vars.Declare(name, PT_INT, TVarScope::Global, nullptr);
  }
  vars.Declare("s", PT_STR, TVarScope::Global, nullptr);
  vars.Declare("f", PT_BOOL, TVarScope::Global, nullptr);
  for (const char* setup : {"SetArray(a, 10, 10)", "SetArray(b, 10, 10)", "i = 3", "j = 7", "x = 2",
                            "y = 1", "z = 3"}) {
    EvaluateText(vars, setup);
  }
  TNovaParser p;
  CompileExpression(c.nova, p);
  TCustomParam* s = vars.Find("s")->Value();
  int n = 0;
  for (auto _ : state) {
    p.Execute(vars);
    if (++n == kConcatReset) {
      n = 0;
      s->SetStr("");
    }
  }
  state.SetItemsProcessed(state.iterations());
}

void RunLua(benchmark::State& state, const Case& c) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  luaL_dostring(L, "x, i, j, y, z, s, f = 2, 4, 8, 1, 3, '', false\n"
                   "a, b = {}, {}\n"
                   "for k = 1, 10 do a[k], b[k] = {}, {} for m = 1, 10 do a[k][m], b[k][m] = 0, 0 "
                   "end end");
  luaL_loadstring(L, c.lua);
  int chunk = luaL_ref(L, LUA_REGISTRYINDEX);
  int n = 0;
  for (auto _ : state) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, chunk);
    lua_call(L, 0, 0);
    if (++n == kConcatReset) {
      n = 0;
      lua_pushstring(L, "");
      lua_setglobal(L, "s");
    }
  }
  state.SetItemsProcessed(state.iterations());
  lua_close(L);
}

int Register = [] {
  for (const Case& c : kCases) {
    std::string name = std::string("BM_Execute_") + c.name;
    benchmark::RegisterBenchmark(name.c_str(), [&c](benchmark::State& s) { RunNova(s, c); });
    benchmark::RegisterBenchmark((name + "/vs_lua").c_str(),
                                 [&c](benchmark::State& s) { RunLua(s, c); });
  }
  return 0;
}();

} // namespace

BENCHMARK_MAIN();
