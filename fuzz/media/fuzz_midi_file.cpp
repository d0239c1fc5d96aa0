// SPDX-License-Identifier: MIT
// Any bytes load as a MIDI file (or as nothing) and play, seek and repeat without fault.
#include <cstddef>
#include <cstdint>
#include <span>

#include "media/midi_play.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536)
    return 0;
  nova::TVirtualClock clock;
  nova::TMidiPlayV sequencer(nullptr, nova::TMidiTiming::Pumped, clock);
  if (!sequencer.Load(std::span<const uint8_t>(data, size)))
    return 0;
  sequencer.SetRepeat(size % 2 == 1);
  sequencer.SetControllerScale(7, 50);
  sequencer.Reset();
  sequencer.PlayAt(sequencer.LengthMs() / 2);
  // Half a minute of ticks is enough to reach the end or repeat of most inputs.
  for (int i = 0; i < 300; ++i) {
    clock.Advance(100);
    sequencer.Pump(clock.NowMs());
  }
  sequencer.PlayAt(0);
  sequencer.Stop();
  return 0;
}
