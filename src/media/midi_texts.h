// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The MIDI side's own texts, in Shift-JIS, converted once from the UTF-8 table in midi_texts.cpp.
struct TMidiTexts {
  std::string mapper; // the first entry of the MIDI device list
};

const TMidiTexts& MidiTexts();

} // namespace nova
