// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

enum TMediaTextId {
  kSoundDataInvalid,
  kMidiMapper, // the first entry of the MIDI device list
};

// The system's texts of the media, in Shift-JIS.
const std::string& MediaText(TMediaTextId id);

} // namespace nova
