// SPDX-License-Identifier: MIT
#include "media/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>

#include "base/nova_error.h"

namespace nova {

namespace {

// The larger sets sound closer to the devices titles were written for; the small one is the
// one every installation has.
constexpr const char* kInstalledSoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf3/FluidR3_GM.sf3",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
};

bool IsFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The library's chatter would drown the player's own messages, which name the file.
void QuietLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  });
}

class TSynthOutput final : public IMidiOut {
public:
  explicit TSynthOutput(TMidiSynth& synth) : synth_(synth) {}
  void ShortMessage(std::span<const uint8_t> bytes) override { synth_.ShortMessage(bytes); }
  void LongMessage(std::span<const uint8_t> bytes) override { synth_.LongMessage(bytes); }
  void Reset() override { synth_.Reset(); }

private:
  TMidiSynth& synth_;
};

} // namespace

std::string FindSoundFont(const std::string& configured) {
  if (IsFile(configured))
    return configured;
  for (const char* path : kInstalledSoundFonts)
    if (IsFile(path))
      return path;
  return {};
}

TMidiSynth::TMidiSynth(const std::string& soundfont_path) : soundfont_(soundfont_path) {
  QuietLibraryLog();
  settings_ = new_fluid_settings();
  if (!settings_)
    throw ENovaError("the MIDI synthesizer could not be created");
  fluid_settings_setnum(settings_, "synth.sample-rate", kAudioOutputRate);
  // One thread: the samples must not depend on how work was shared between threads.
  fluid_settings_setint(settings_, "synth.cpu-cores", 1);
  synth_ = new_fluid_synth(settings_);
  if (!synth_) {
    delete_fluid_settings(settings_);
    throw ENovaError("the MIDI synthesizer could not be created");
  }
  if (fluid_synth_sfload(synth_, soundfont_path.c_str(), 1) == FLUID_FAILED) {
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
    throw ENovaError(soundfont_path + ": not a soundfont the MIDI synthesizer can read");
  }
}

TMidiSynth::~TMidiSynth() {
  delete_fluid_synth(synth_);
  delete_fluid_settings(settings_);
}

void TMidiSynth::Render(int16_t* out, size_t frames) {
  buffer_.resize(frames * kAudioOutputChannels);
  fluid_synth_write_float(synth_, static_cast<int>(frames), buffer_.data(), 0, 2, buffer_.data(), 1,
                          2);
  // Converted here rather than by the library, which dithers with noise of its own.
  for (size_t i = 0; i < buffer_.size(); ++i) {
    const float sample = std::clamp(buffer_[i], -1.0f, 1.0f) * 32767.0f;
    out[i] = static_cast<int16_t>(std::lrint(sample));
  }
}

void TMidiSynth::ShortMessage(std::span<const uint8_t> bytes) {
  if (bytes.empty())
    return;
  const int channel = bytes[0] & 15;
  const int a = bytes.size() > 1 ? bytes[1] : 0;
  const int b = bytes.size() > 2 ? bytes[2] : 0;
  switch (bytes[0] >> 4) {
  case 0x8:
    fluid_synth_noteoff(synth_, channel, a);
    break;
  case 0x9:
    if (b == 0)
      fluid_synth_noteoff(synth_, channel, a);
    else
      fluid_synth_noteon(synth_, channel, a, b);
    break;
  case 0xA:
    fluid_synth_key_pressure(synth_, channel, a, b);
    break;
  case 0xB:
    fluid_synth_cc(synth_, channel, a, b);
    break;
  case 0xC:
    fluid_synth_program_change(synth_, channel, a);
    break;
  case 0xD:
    fluid_synth_channel_pressure(synth_, channel, a);
    break;
  case 0xE:
    fluid_synth_pitch_bend(synth_, channel, a | (b << 7));
    break;
  default:
    break; // system common and real-time messages mean nothing to the synthesizer
  }
}

void TMidiSynth::LongMessage(std::span<const uint8_t> bytes) {
  // The library takes the bytes between F0 and F7.
  if (bytes.size() < 2 || bytes[0] != 0xF0)
    return;
  size_t size = bytes.size() - 1;
  if (bytes.back() == 0xF7)
    --size;
  fluid_synth_sysex(synth_, reinterpret_cast<const char*>(bytes.data() + 1), static_cast<int>(size),
                    nullptr, nullptr, nullptr, 0);
}

void TMidiSynth::Reset() { fluid_synth_all_sounds_off(synth_, -1); }

std::unique_ptr<IMidiOut> TMidiSynth::OpenOutput() { return std::make_unique<TSynthOutput>(*this); }

} // namespace nova
