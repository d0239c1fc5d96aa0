// SPDX-License-Identifier: MIT
// Sound against the libraries underneath, in the same process on the same data: decoding Ogg
// against libvorbisfile alone, the wave output's mix against SDL's, and the CPU a title's
// sound costs.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "../../tests/media/pcm_fixture.h"
#include "../../tests/media/sound_fixtures.h"
#include "media/decode_stream.h"
#include "media/media_system.h"
#include "media/wav_out.h"
#include "platform/clock.h"
#include "vfs/vr_file_manager.h"

using namespace nova;

namespace {

const std::string& ThreeMinuteOgg() {
  static const std::string ogg = test::MakeOgg(2, 44100, 44100 * 180);
  return ogg;
}

std::unique_ptr<TStream> Memory(const std::string& bytes) {
  auto stream = std::make_unique<TMemoryStream>();
  stream->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

void BM_DecodeOgg3Min(benchmark::State& state) {
  const std::string& ogg = ThreeMinuteOgg();
  std::vector<uint8_t> buffer(8192);
  for (auto _ : state) {
    auto stream = OpenOggDecodeStream(Memory(ogg));
    int64_t total = 0;
    for (int64_t got; (got = stream->Read(buffer.data(), 8192)) > 0;)
      total += got;
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_DecodeOgg3Min)->Unit(benchmark::kMillisecond);

struct TMemoryFile {
  const std::string* bytes;
  size_t at = 0;
};

void BM_DecodeOgg3Min_vs_vorbisfile(benchmark::State& state) {
  const std::string& ogg = ThreeMinuteOgg();
  std::vector<char> buffer(8192);
  const ov_callbacks callbacks{
      [](void* ptr, size_t size, size_t count, void* src) -> size_t {
        auto* f = static_cast<TMemoryFile*>(src);
        const size_t n = std::min(size * count, f->bytes->size() - f->at);
        std::memcpy(ptr, f->bytes->data() + f->at, n);
        f->at += n;
        return size ? n / size : 0;
      },
      [](void* src, ogg_int64_t offset, int whence) -> int {
        auto* f = static_cast<TMemoryFile*>(src);
        const int64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? static_cast<int64_t>(f->at)
                                                  : static_cast<int64_t>(f->bytes->size());
        f->at = static_cast<size_t>(std::clamp<int64_t>(base + offset, 0, f->bytes->size()));
        return 0;
      },
      nullptr,
      [](void* src) -> long { return static_cast<long>(static_cast<TMemoryFile*>(src)->at); }};
  for (auto _ : state) {
    TMemoryFile file{&ogg};
    OggVorbis_File vf;
    ov_open_callbacks(&file, &vf, nullptr, 0, callbacks);
    ov_pcm_total(&vf, -1);
    int64_t total = 0;
    int link = 0;
    for (long got; (got = ov_read(&vf, buffer.data(), 8192, 0, 2, 1, &link)) > 0;)
      total += got;
    ov_clear(&vf);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_DecodeOgg3Min_vs_vorbisfile)->Unit(benchmark::kMillisecond);

constexpr int kSources = 32;
constexpr int kDelayMs = 500;
constexpr size_t kBlockSamples = 88200 / 2;

// One 500 ms block mixed from 32 playing 16-bit stereo sources (gain below unity, so the
// multiply runs too); per output sample.
void BM_Mix32Sources(benchmark::State& state) {
  auto device = CreateHeadlessAudioOutput("");
  TVirtualClock clock;
  TWavOut out(*device, clock, kDelayMs, TMixingMode::OnRender);
  out.Open();
  for (int i = 0; i < kSources; ++i) {
    TWavBuffer* b = out.AddBuffer(std::make_unique<test::TPcmStream>(
        2, 44100, 16, test::Pcm16(44100 * 4, static_cast<int16_t>(i * 1000), -3000)));
    b->SetRepeat(true);
    b->SetGain(200);
    b->Play();
  }
  std::vector<int16_t> played(kBlockSamples);
  out.FillStep();
  for (auto _ : state) {
    out.Render(played.data(), kBlockSamples / 2); // one block leaves the queue...
    out.FillStep();                               // ...and one is mixed
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kBlockSamples));
}
BENCHMARK(BM_Mix32Sources)->Unit(benchmark::kMicrosecond);

void BM_Mix32Sources_vs_SDL_MixAudioFormat(benchmark::State& state) {
  std::vector<std::vector<int16_t>> sources(kSources, std::vector<int16_t>(kBlockSamples));
  for (int i = 0; i < kSources; ++i)
    for (size_t s = 0; s < kBlockSamples; ++s)
      sources[i][s] = static_cast<int16_t>(s % 2 ? -3000 : i * 1000);
  std::vector<int16_t> block(kBlockSamples);
  const int volume = SDL_MIX_MAXVOLUME * 200 / 256;
  for (auto _ : state) {
    std::memset(block.data(), 0, block.size() * 2);
    for (const auto& s : sources)
      SDL_MixAudioFormat(reinterpret_cast<Uint8*>(block.data()),
                         reinterpret_cast<const Uint8*>(s.data()), AUDIO_S16SYS,
                         static_cast<Uint32>(block.size() * 2), volume);
    benchmark::DoNotOptimize(block.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kBlockSamples));
}
BENCHMARK(BM_Mix32Sources_vs_SDL_MixAudioFormat)->Unit(benchmark::kMicrosecond);

// A title's sound for ten seconds of game time: looping music and a voice (Ogg) and two effects
// (wave), played by the media library and rendered as the output would; the share of one core
// is the time taken over the ten seconds.
void BM_TitleSoundCpuShare(benchmark::State& state) {
  const auto folder = std::filesystem::temp_directory_path() / "nova_bench_sound";
  std::filesystem::create_directories(folder);
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  };
  write("bgm.ogg", test::MakeOgg(2, 44100, 44100 * 12));
  write("voice.ogg", test::MakeOgg(1, 22050, 22050 * 6, 220));
  write("se1.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 22050));
  write("se2.wav", test::MakeWave(SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1, 22050, 11025));
  FileManager().SetBaseFolder(folder.string());
  double seconds = 0;
  for (auto _ : state) {
    auto output = CreateHeadlessAudioOutput("");
    TVirtualClock clock;
    TMediaSettings settings;
    settings.mixing = TMixingMode::OnRender;
    TMediaSystem media(*output, clock, settings);
    std::vector<std::unique_ptr<TDMediaItem>> items;
    for (const char* name : {"bgm.ogg", "voice.ogg", "se1.wav", "se2.wav"}) {
      items.push_back(media.CreateItem(TMediaKind::Ogg, name));
      items.back()->SetAutoRepeat(true);
      items.back()->Play();
    }
    const auto start = std::chrono::steady_clock::now();
    for (int ms = 16; ms <= 10000; ms += 16) {
      clock.Advance(16);
      output->RenderUntil(static_cast<uint64_t>(ms) * 441 / 10);
      media.Update();
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["cpu_share_percent"] = 100.0 * seconds / (10.0 * state.iterations());
  ResetFileManager();
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TitleSoundCpuShare)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
BENCHMARK_MAIN();
