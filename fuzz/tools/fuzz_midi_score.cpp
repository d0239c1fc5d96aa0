// SPDX-License-Identifier: MIT
// Any text parses as a score or fails cleanly; every score becomes a file that the player's MIDI
// reader loads without finding damage.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "audio/midi_score.h"
#include "base/nova_error.h"
#include "media/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  nova::tool::TScore score;
  try {
    score = nova::tool::ParseMidiScore(text, "fuzz.txt");
  } catch (const nova::ENovaError&) {
    return 0;
  }
  const std::vector<uint8_t> bytes = nova::tool::WriteSmf(score);
  nova::TMidiV midi;
  if (!midi.ReadFile(bytes) || !midi.Problem().empty())
    __builtin_trap();
  return 0;
}
