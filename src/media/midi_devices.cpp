// SPDX-License-Identifier: MIT
#include "media/midi_devices.h"

#include <filesystem>

#include "base/sjis.h"
#include "media/midi_synth.h"
#include "media/private/media_texts.h"

namespace nova {

TMidiDevices::TMidiDevices(TMidiSynth* synth, IMidiPorts* system_ports)
    : synth_(synth), system_ports_(system_ports) {
  if (synth_)
    outputs_.push_back("FluidSynth (" + std::filesystem::path(synth_->SoundFont()).stem().string() +
                       ")");
  if (system_ports_)
    for (const std::string& name : system_ports_->Names())
      outputs_.push_back(Utf8ToSjis(name)); // titles compare port names in Shift-JIS
}

std::unique_ptr<IMidiOut> TMidiDevices::Open(int index) {
  if (synth_) {
    if (index <= 0)
      return synth_->OpenOutput();
    --index;
  }
  return system_ports_ ? system_ports_->Open(index) : nullptr;
}

std::string TMidiDevices::Name(int index) const {
  if (index <= 0 || index >= Count())
    return MediaText(kMidiMapper);
  return outputs_[static_cast<size_t>(index - 1)];
}

int TMidiDevices::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Name(i) == name)
      return i;
  return -1;
}

} // namespace nova
