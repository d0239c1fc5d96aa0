// SPDX-License-Identifier: MIT
// Reading and timing a 16-track MIDI file of 5,000 events, and the synthesizer playing a dense
// General MIDI piece: the time to render one second of 44,100 Hz stereo is the CPU share.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <vector>

#include "media/midi_output.h"
#include "media/midi_play.h"
#include "media/midi_synth.h"
#include "platform/clock.h"

namespace {

using namespace nova;
using Bytes = std::vector<uint8_t>;

void PutBig(Bytes& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutVlq(Bytes& out, uint32_t value) {
  Bytes reversed{static_cast<uint8_t>(value & 0x7F)};
  while (value >>= 7)
    reversed.push_back(static_cast<uint8_t>(0x80 | (value & 0x7F)));
  out.insert(out.end(), reversed.rbegin(), reversed.rend());
}

// `tracks` tracks, each a program change and then `notes_per_track` notes of `ticks` each, on
// its own channel; a chord of `voices` notes per step. Division 480, 120 bpm.
Bytes Piece(int tracks, int notes_per_track, int voices, int ticks) {
  Bytes file{'M', 'T', 'h', 'd'};
  PutBig(file, 6, 4);
  PutBig(file, 1, 2);
  PutBig(file, static_cast<uint32_t>(tracks), 2);
  PutBig(file, 480, 2);
  for (int t = 0; t < tracks; ++t) {
    const uint8_t channel = static_cast<uint8_t>(t % 16);
    Bytes track;
    PutVlq(track, 0);
    track.insert(track.end(), {static_cast<uint8_t>(0xC0 | channel),
                               static_cast<uint8_t>(channel == 9 ? 0 : (t * 8) % 128)});
    for (int n = 0; n < notes_per_track; n += voices) {
      for (int v = 0; v < voices; ++v) {
        PutVlq(track, 0);
        track.insert(track.end(), {static_cast<uint8_t>(0x90 | channel),
                                   static_cast<uint8_t>(36 + (n * 7 + v * 4 + t * 3) % 60), 96});
      }
      for (int v = 0; v < voices; ++v) {
        PutVlq(track, v == 0 ? static_cast<uint32_t>(ticks) : 0);
        track.insert(track.end(), {static_cast<uint8_t>(0x80 | channel),
                                   static_cast<uint8_t>(36 + (n * 7 + v * 4 + t * 3) % 60), 0});
      }
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    PutBig(file, static_cast<uint32_t>(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
  }
  return file;
}

void BM_MidiReadAndTime_5000Events16Tracks(benchmark::State& state) {
  // 16 tracks of a program change, 155 note pairs and the end: 4,992 events.
  const Bytes file = Piece(16, 155, 1, 120);
  TMidiV midi;
  for (auto _ : state) {
    midi.ReadFile(file);
    benchmark::DoNotOptimize(midi.LengthMs());
  }
  state.counters["events"] = static_cast<double>(midi.Events().size());
}
BENCHMARK(BM_MidiReadAndTime_5000Events16Tracks)->Unit(benchmark::kMicrosecond);

class SynthPorts final : public IMidiPorts {
public:
  explicit SynthPorts(TMidiSynth& synth) : synth_(synth) {}
  std::vector<std::string> Names() override { return {"synth"}; }
  std::unique_ptr<IMidiOut> Open(int) override { return synth_.OpenOutput(); }

private:
  TMidiSynth& synth_;
};

// One iteration renders one second of music: 16 channels of four-note chords, a chord every
// eighth note on each channel (up to 64 voices sounding with their release tails).
void BM_MidiSynthDensePiece_OneSecond(benchmark::State& state) {
  const std::string soundfont = FindSoundFont("");
  if (soundfont.empty()) {
    state.SkipWithError("no General MIDI soundfont installed");
    return;
  }
  TMidiSynth synth(soundfont);
  SynthPorts ports(synth);
  TVirtualClock clock;
  TMidiPlayV sequencer(&ports, TMidiTiming::Pumped, clock);
  sequencer.Open(-1);
  sequencer.Load(Piece(16, 4 * 2000, 4, 240));
  sequencer.Reset();
  sequencer.PlayAt(0);
  std::vector<int16_t> block(2 * 441);
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) { // 100 blocks of 10 ms
      clock.Advance(10);
      sequencer.Pump(clock.NowMs());
      synth.Render(block.data(), 441);
    }
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["cpu_share_%"] =
      benchmark::Counter(static_cast<double>(state.iterations()) / 100.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MidiSynthDensePiece_OneSecond)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
