// SPDX-License-Identifier: MIT
// Any text parses as a sound description or fails cleanly; short sounds also render, with every
// sample finite and within full scale.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "audio/sound_desc.h"
#include "audio/sound_render.h"
#include "base/nova_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  nova::tool::TSoundDesc desc;
  try {
    desc = nova::tool::ParseSoundDesc(text, "fuzz.txt");
  } catch (const nova::ENovaError&) {
    return 0;
  }
  // Rendering costs the sound's length times its copies; keep each run short.
  double copy_seconds = 0;
  for (const nova::tool::TSoundVoice& v : desc.voices)
    copy_seconds += v.repeat * v.unison * (v.hold_s + v.release_s);
  if (nova::tool::SoundSpanSeconds(desc) > 0.25 || copy_seconds > 1)
    return 0;
  for (float s : nova::tool::RenderSound(desc))
    if (!std::isfinite(s) || s < -1 || s > 1)
      __builtin_trap();
  return 0;
}
