// SPDX-License-Identifier: MIT
// The machine's real MIDI outputs: ALSA sequencer ports that accept subscriptions (hardware
// synthesizers, USB interfaces, external software synthesizers).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "media/midi_output.h"

struct _snd_seq;

namespace nova {

class TAlsaMidiPorts final : public IMidiPorts {
public:
  // Lists the ports once; a machine without the sequencer has none.
  TAlsaMidiPorts();
  ~TAlsaMidiPorts() override;
  TAlsaMidiPorts(const TAlsaMidiPorts&) = delete;
  TAlsaMidiPorts& operator=(const TAlsaMidiPorts&) = delete;

  std::vector<std::string> Names() override;
  // -1 is the first port. Null when the port cannot be connected.
  std::unique_ptr<IMidiOut> Open(int index) override;

private:
  struct TPort {
    int client = 0;
    int port = 0;
    std::string name;
  };

  _snd_seq* seq_ = nullptr;
  std::vector<TPort> ports_;
};

} // namespace nova
