// SPDX-License-Identifier: MIT
// Where the sequencer's messages go: the synthesizer or a real MIDI port. Messages are
// delivered before the call returns, so a system-exclusive buffer is done when it has been sent.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace nova {

// One open MIDI output. Called from the sequencer's timer thread and the main thread, never
// both at once (the sequencer serialises them).
class IMidiOut {
public:
  virtual ~IMidiOut() = default;
  // A channel or system message of 1 to 3 bytes; data bytes are 0..127.
  virtual void ShortMessage(std::span<const uint8_t> bytes) = 0;
  // A system-exclusive message with its F0 (or F7) and, when the file gave it, F7.
  virtual void LongMessage(std::span<const uint8_t> bytes) = 0;
  // Silences every voice and sets every controller back, as a device reset does.
  virtual void Reset() = 0;
};

// The MIDI outputs of the machine that the sequencer can open.
class IMidiPorts {
public:
  virtual ~IMidiPorts() = default;
  // Names of the outputs, in the order Open numbers them.
  virtual std::vector<std::string> Names() = 0;
  // Opens output `index`; -1 is the default output. Null when it cannot be opened.
  virtual std::unique_ptr<IMidiOut> Open(int index) = 0;
};

} // namespace nova
