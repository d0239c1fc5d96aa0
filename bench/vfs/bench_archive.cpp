// SPDX-License-Identifier: MIT
// Reading every entry of a ~200 MB archive through the file manager, against the floor for the
// same bytes (one pread per stored entry, libdeflate inflating each compressed entry from memory
// into a buffer of the known size); and name lookups in an archive of 20,000 entries.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libdeflate.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "vfs/vr_file_manager.h"

namespace {

namespace fs = std::filesystem;

constexpr int64_t kArchiveBytes = 200 << 20;
constexpr int kLookupEntries = 20000;
constexpr int kLookups = 100000;

// Text-like bytes (words drawn at random) that deflate about 3:1, or noise that does not.
std::vector<uint8_t> MakeData(std::mt19937& rng, size_t size, bool text) {
  static const char* words[] = {
      "the ",   "quick ", "brown ", "fox ",  "jumps ", "over ", "lazy ", "dog ", "\x82\xa0\x82\xa2",
      "scene ", "image ", "sound ", "menu ", "\r\n",   "42 ",   "x"};
  std::vector<uint8_t> out;
  out.reserve(size);
  while (out.size() < size) {
    if (text) {
      const char* w = words[rng() % 16];
      while (*w && out.size() < size)
        out.push_back(static_cast<uint8_t>(*w++));
      if (rng() % 4 == 0 && out.size() < size)
        out.push_back(static_cast<uint8_t>('a' + rng() % 26));
    } else {
      out.push_back(static_cast<uint8_t>(rng()));
    }
  }
  return out;
}

struct ReadFixture {
  fs::path dir;
  std::string archive;
  std::vector<std::string> names;
  // The floor's view of each entry: absolute position and size, stored flag, known inflated size,
  // and the compressed bytes already in memory.
  struct Entry {
    int64_t position, size, inflated;
    bool stored;
    std::vector<uint8_t> packed;
  };
  std::vector<Entry> entries;
  int64_t total = 0;

  ReadFixture() {
    dir = fs::temp_directory_path() / ("bench-vfs-" + std::to_string(::getpid()));
    fs::create_directories(dir / "src");
    std::mt19937 rng(12345);
    nova::TVrFileCollection source;
    std::vector<int64_t> sizes;
    for (int i = 0; total < kArchiveBytes; ++i) {
      // Sizes spread evenly in log scale between 10 KB and 5 MB.
      double f = std::uniform_real_distribution<double>(0, 1)(rng);
      int64_t size = static_cast<int64_t>(10e3 * std::pow(500.0, f));
      bool text = i % 2 == 0;
      std::string file = "e" + std::to_string(i) + (text ? ".txt" : ".ogg");
      std::vector<uint8_t> data = MakeData(rng, static_cast<size_t>(size), text);
      std::ofstream((dir / "src" / file), std::ios::binary)
          .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(size));
      source.AddFileEntry("data\\" + file, (dir / "src" / file).string());
      names.push_back("data\\" + file);
      sizes.push_back(size);
      total += size;
    }
    archive = (dir / "game.dat").string();
    {
      nova::TZpBigFileStream out(archive, nova::TBigFileMode::fmCreate);
      source.WriteTo(out);
    }
    fs::remove_all(dir / "src");
    nova::TVrFileCollection read;
    read.Open(archive);
    int fd = ::open(archive.c_str(), O_RDONLY);
    for (size_t i = 0; i < names.size(); ++i) {
      const nova::TVrFile& e = read.Entry(read.IndexOf(names[i]));
      Entry f{e.position, e.size, sizes[i], e.stored != 0, {}};
      if (!f.stored) {
        f.packed.resize(static_cast<size_t>(e.size));
        if (::pread(fd, f.packed.data(), f.packed.size(), e.position) != e.size)
          std::abort();
      }
      entries.push_back(std::move(f));
    }
    ::close(fd);
  }
  ~ReadFixture() { fs::remove_all(dir); }
};

ReadFixture& Fixture() {
  static ReadFixture fixture;
  return fixture;
}

void BM_ReadAllEntries_Load(benchmark::State& state) {
  ReadFixture& f = Fixture();
  nova::ResetFileManager();
  nova::FileManager().SetCdromRoots({});
  nova::FileManager().SetBaseFolder((f.dir / "no-loose-files").string());
  nova::FileManager().AddArchive(f.archive);
  nova::TMemoryStream out;
  for (auto _ : state) {
    for (const std::string& name : f.names) {
      nova::FileManager().Load(out, name);
      benchmark::DoNotOptimize(out.Memory());
    }
  }
  state.SetBytesProcessed(state.iterations() * f.total);
  nova::ResetFileManager();
}

void BM_ReadAllEntries_Floor(benchmark::State& state) {
  ReadFixture& f = Fixture();
  int fd = ::open(f.archive.c_str(), O_RDONLY);
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  std::vector<uint8_t> buffer(5 << 20);
  for (auto _ : state) {
    for (const ReadFixture::Entry& e : f.entries) {
      if (e.stored) {
        if (::pread(fd, buffer.data(), static_cast<size_t>(e.size), e.position) != e.size)
          std::abort();
      } else if (libdeflate_zlib_decompress(d, e.packed.data(), e.packed.size(), buffer.data(),
                                            static_cast<size_t>(e.inflated),
                                            nullptr) != LIBDEFLATE_SUCCESS) {
        std::abort();
      }
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  state.SetBytesProcessed(state.iterations() * f.total);
  libdeflate_free_decompressor(d);
  ::close(fd);
}

struct LookupFixture {
  nova::TVrFileCollection archive;
  std::vector<std::string> queries;
  LookupFixture() {
    std::mt19937 rng(7);
    std::vector<std::string> names;
    for (int i = 0; i < kLookupEntries; ++i) {
      names.push_back("folder" + std::to_string(i % 40) + "\\Image_" + std::to_string(i) + ".wsp");
      archive.AddMemoryEntry(names.back());
    }
    for (int i = 0; i < kLookups; ++i) {
      std::string q = names[rng() % names.size()];
      // A third of the queries differ in case, a tenth are absent.
      if (i % 3 == 0)
        q[0] = 'F';
      if (i % 10 == 0)
        q += "x";
      queries.push_back(q);
    }
  }
};

LookupFixture& Lookups() {
  static LookupFixture fixture;
  return fixture;
}

void BM_Lookup20000_IndexOf(benchmark::State& state) {
  LookupFixture& f = Lookups();
  for (auto _ : state) {
    for (const std::string& q : f.queries)
      benchmark::DoNotOptimize(f.archive.IndexOf(q));
  }
  // Seconds per lookup (shown with an SI prefix, e.g. "320n" for 320 ns).
  state.counters["time_per_lookup"] = benchmark::Counter(
      kLookups, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RegisterBenchmark("BM_ReadAllEntries_200MB/nova_load", BM_ReadAllEntries_Load)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_ReadAllEntries_200MB/vs_floor", BM_ReadAllEntries_Floor)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_Lookup100000_in_20000", BM_Lookup20000_IndexOf)
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
