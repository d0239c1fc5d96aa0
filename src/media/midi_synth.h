// SPDX-License-Identifier: MIT
// The default MIDI output: a General MIDI software synthesizer (FluidSynth with a soundfont)
// whose samples the audio output pulls like any other source. It has no audio driver of its
// own, so headless runs render exactly what the virtual clock asks for.
#pragma once
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "media/midi_output.h"
#include "platform/audio_output.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace nova {

// The soundfont to use: `configured` (game.ini [Sound] SoundFont) when it names a file, else
// the largest installed General MIDI soundfont we know of, else "" (no synthesizer).
std::string FindSoundFont(const std::string& configured);

class TMidiSynth final : public IAudioSource {
public:
  // Loads the soundfont; throws ENovaError naming it when it cannot be read.
  explicit TMidiSynth(const std::string& soundfont_path);
  ~TMidiSynth() override;
  TMidiSynth(const TMidiSynth&) = delete;
  TMidiSynth& operator=(const TMidiSynth&) = delete;

  void Render(int16_t* out, size_t frames) override;

  void ShortMessage(std::span<const uint8_t> bytes);
  void LongMessage(std::span<const uint8_t> bytes);
  void Reset();
  // An output handle that forwards to this synthesizer (which must outlive it).
  std::unique_ptr<IMidiOut> OpenOutput();

  const std::string& SoundFont() const { return soundfont_; }

private:
  std::string soundfont_;
  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* synth_ = nullptr;
  std::vector<float> buffer_;
};

} // namespace nova
