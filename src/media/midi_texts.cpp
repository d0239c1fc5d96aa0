// SPDX-License-Identifier: MIT
#include "media/midi_texts.h"

#include "base/sjis.h"

namespace nova {

const TMidiTexts& MidiTexts() {
  static const TMidiTexts texts{
      Utf8ToSjis("MIDIマッパー"),
  };
  return texts;
}

} // namespace nova
