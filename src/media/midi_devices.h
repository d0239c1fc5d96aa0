// SPDX-License-Identifier: MIT
// `TMidiDevices`: the MIDI outputs a title can choose from. Entry 0 is the mapper (the default
// output, our synthesizer), then the synthesizer by name, then the machine's real ports.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "media/midi_output.h"

namespace nova {

class TMidiSynth;

class TMidiDevices final : public IMidiPorts {
public:
  // Either may be null. Not owned; both must outlive the list.
  TMidiDevices(TMidiSynth* synth, IMidiPorts* system_ports);

  // The outputs without the mapper, as Open numbers them.
  std::vector<std::string> Names() override { return outputs_; }
  // -1 (the mapper) and 0 are the synthesizer when there is one.
  std::unique_ptr<IMidiOut> Open(int index) override;

  // The list as titles see it: the mapper first.
  int Count() const { return static_cast<int>(outputs_.size()) + 1; }
  // The mapper's name for an index out of range.
  std::string Name(int index) const;
  // The list index of a name (case as given), or -1.
  int IndexOf(const std::string& name) const;

private:
  TMidiSynth* synth_;
  IMidiPorts* system_ports_;
  std::vector<std::string> outputs_;
};

} // namespace nova
