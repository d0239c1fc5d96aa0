// SPDX-License-Identifier: MIT
// Saving and loading a game of a scene with 200 components, 2,000 variables and a 500-entry
// history, through the save file as the player writes it (the archive format, then the durable
// write with its syncs). The peers write and read the same number of bytes with plain
// write/read, so the ratio is the cost of the format and of the crash-safe write.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/binary_writer.h"
#include "base/run_state.h"
#include "expr/param_collection.h"
#include "scene/component_factory.h"
#include "scene/message_records.h"
#include "scene/nova_base_list.h"
#include "scene/scene_types.h"
#include "script/call_man.h"
#include "script/game_save.h"
#include "script/saved_game.h"
#include "script/text_form/page_text.h"
#include "vfs/big_stream.h"
#include "vfs/vr_file_collection.h"

namespace {

using namespace nova;
namespace fs = std::filesystem;

constexpr int kComponents = 200;
constexpr int kVariables = 2000;
constexpr int kHistory = 500;

class TBenchGame final : public IScriptFiles, public IScriptDialogs, public ICallManHost {
public:
  TBenchGame() {
    TPage page;
    page.set_name("main.nsb");
    TPageSource("Wait time={100000}\n", "main.nsb").Build(page);
    BinaryWriter w;
    page.Write(w);
    page_ = w.Take();
    vars.Hosts().call = &calls;
    for (int i = 0; i < kComponents; ++i) {
      TNovaObject* obj = CreateByKind(&scene, i % 2 ? LT_BOX : LT_LABEL);
      obj->SetName("c" + std::to_string(i));
    }
    for (int i = 0; i < kVariables; ++i) {
      const std::string name = "v" + std::to_string(i);
      vars.Declare(name, i % 2 ? PT_INT : PT_STR, TVarScope::Global, nullptr);
      if (i % 2)
        vars.Find(name)->Value()->SetInt(i);
      else
        vars.Find(name)->Value()->SetStr("text of variable " + name);
    }
    TNovaNewHistory& history = scene.MessageRecords().formats.Default().History();
    history.SetMaxCount(kHistory);
    for (int i = 0; i < kHistory; ++i) {
      history.Record("m", 400, 80, "main.nsb", "a line of text in the history " + std::to_string(i),
                     0, 30, 0, i);
      history.Commit("m", nullptr);
    }
    calls.Start("main.nsb");
    calls.Run();
  }
  bool Exists(const std::string& name) override { return name == "main.nsb"; }
  std::vector<uint8_t> Load(const std::string&) override { return page_; }
  bool PromptForDisk(int32_t, const TDiskTexts&) override { return false; }
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
    return TMsgResult::Ok;
  }
  void CloseMainWindow() override {}
  TTimerList& Events() override { return scene.Events(); }
  std::string SenderName(const TNovaObject*) override { return {}; }
  bool PageExists(const std::string& name) override { return Exists(name); }
  void ResetWorld() override {}

  TSavedParts Parts() { return TSavedParts{scene, &calls, vars, nullptr}; }

  std::vector<uint8_t> page_;
  TNovaBaseList scene{640, 480};
  TParamCollection vars;
  TCallMan calls{TCallMan::Context{vars, *this, *this, *this}};
};

fs::path BenchFolder() {
  const fs::path dir = fs::temp_directory_path() / ("nova_bench_save_" + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir;
}

// What one save writes: the game entry into the save file's archive, written durably.
int64_t SaveOnce(TBenchGame& game, TSaveFile& file) {
  auto archive = file.Open();
  const std::vector<uint8_t> bytes = WriteSavedGame(game.Parts(), "bench", {});
  archive->Delete(GameEntryName(1));
  archive->AddMemoryEntry(GameEntryName(1))
      .data->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  file.Write(*archive);
  return static_cast<int64_t>(fs::file_size(file.path()));
}

void BM_SaveGame(benchmark::State& state) {
  TBenchGame game;
  const fs::path dir = BenchFolder();
  TSaveFile file((dir / "save.dat").string(), {});
  int64_t written = 0;
  for (auto _ : state)
    written = SaveOnce(game, file);
  state.counters["bytes"] = static_cast<double>(written);
  state.counters["record_bytes"] =
      static_cast<double>(WriteSavedGame(game.Parts(), "bench", {}).size());
  state.counters["history"] = game.scene.MessageRecords().formats.Default().History().Count();
  state.SetBytesProcessed(state.iterations() * written);
  fs::remove_all(dir);
}
BENCHMARK(BM_SaveGame)->Unit(benchmark::kMillisecond);

// The same number of bytes with open/write/close and nothing else.
void BM_SaveGame_vs_plain_write(benchmark::State& state) {
  TBenchGame game;
  const fs::path dir = BenchFolder();
  TSaveFile file((dir / "save.dat").string(), {});
  const std::vector<uint8_t> bytes(static_cast<size_t>(SaveOnce(game, file)), 0x5A);
  const std::string path = (dir / "plain.dat").string();
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::close(fd);
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  fs::remove_all(dir);
}
BENCHMARK(BM_SaveGame_vs_plain_write)->Unit(benchmark::kMillisecond);

void BM_LoadGame(benchmark::State& state) {
  TBenchGame game;
  const fs::path dir = BenchFolder();
  TSaveFile file((dir / "save.dat").string(), {});
  const int64_t size = SaveOnce(game, file);
  TBenchGame loaded;
  for (auto _ : state) {
    auto archive = file.Open();
    TMemoryStream data;
    archive->ReadEntry(data, GameEntryName(1));
    ReadSavedGame(loaded.Parts(), data.Bytes(), "bench");
  }
  state.counters["bytes"] = static_cast<double>(size);
  state.SetBytesProcessed(state.iterations() * size);
  fs::remove_all(dir);
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond);

void BM_LoadGame_vs_plain_read(benchmark::State& state) {
  TBenchGame game;
  const fs::path dir = BenchFolder();
  TSaveFile file((dir / "save.dat").string(), {});
  const int64_t size = SaveOnce(game, file);
  std::vector<uint8_t> buffer(static_cast<size_t>(size));
  for (auto _ : state) {
    const int fd = ::open(file.path().c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
  }
  state.counters["bytes"] = static_cast<double>(size);
  state.SetBytesProcessed(state.iterations() * size);
  fs::remove_all(dir);
}
BENCHMARK(BM_LoadGame_vs_plain_read)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
