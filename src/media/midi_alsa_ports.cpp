// SPDX-License-Identifier: MIT
#include "media/midi_alsa_ports.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

namespace nova {

namespace {

constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr size_t kEncoderBytes = 256;

class TAlsaMidiOut final : public IMidiOut {
public:
  TAlsaMidiOut(snd_seq_t* seq, int own_port, snd_midi_event_t* encoder)
      : seq_(seq), own_port_(own_port), encoder_(encoder) {}

  ~TAlsaMidiOut() override {
    snd_midi_event_free(encoder_);
    snd_seq_delete_simple_port(seq_, own_port_);
  }

  void ShortMessage(std::span<const uint8_t> bytes) override {
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_midi_event_reset_encode(encoder_);
    // The encoder keeps no running status between messages after a reset.
    if (snd_midi_event_encode(encoder_, bytes.data(), static_cast<long>(bytes.size()), &event) <=
            0 ||
        event.type == SND_SEQ_EVENT_NONE)
      return;
    Send(event);
  }

  void LongMessage(std::span<const uint8_t> bytes) override {
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_seq_ev_set_sysex(&event, static_cast<unsigned>(bytes.size()),
                         const_cast<uint8_t*>(bytes.data()));
    Send(event);
  }

  void Reset() override {
    for (uint8_t channel = 0; channel < 16; ++channel) {
      const uint8_t sound_off[] = {static_cast<uint8_t>(0xB0 + channel), 120, 0};
      const uint8_t controllers_off[] = {static_cast<uint8_t>(0xB0 + channel), 121, 0};
      ShortMessage(sound_off);
      ShortMessage(controllers_off);
    }
  }

private:
  void Send(snd_seq_event_t& event) {
    snd_seq_ev_set_source(&event, own_port_);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    snd_seq_event_output_direct(seq_, &event);
  }

  snd_seq_t* seq_;
  int own_port_;
  snd_midi_event_t* encoder_;
};

} // namespace

TAlsaMidiPorts::TAlsaMidiPorts() {
  // Without the sequencer device the library would only complain on standard error.
  if (access("/dev/snd/seq", W_OK) != 0)
    return;
  if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
    seq_ = nullptr;
    return;
  }
  snd_seq_set_client_name(seq_, "novaplay");
  const int own_client = snd_seq_client_id(seq_);
  snd_seq_client_info_t* client;
  snd_seq_port_info_t* port;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(seq_, client) >= 0) {
    const int id = snd_seq_client_info_get_client(client);
    if (id == own_client || id == SND_SEQ_CLIENT_SYSTEM)
      continue;
    snd_seq_port_info_set_client(port, id);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq_, port) >= 0) {
      if ((snd_seq_port_info_get_capability(port) & kWritable) != kWritable)
        continue;
      ports_.push_back({id, snd_seq_port_info_get_port(port), snd_seq_port_info_get_name(port)});
    }
  }
}

TAlsaMidiPorts::~TAlsaMidiPorts() {
  if (seq_)
    snd_seq_close(seq_);
}

std::vector<std::string> TAlsaMidiPorts::Names() {
  std::vector<std::string> names;
  for (const TPort& port : ports_)
    names.push_back(port.name);
  return names;
}

std::unique_ptr<IMidiOut> TAlsaMidiPorts::Open(int index) {
  if (index < 0)
    index = 0;
  if (!seq_ || index >= static_cast<int>(ports_.size()))
    return nullptr;
  const TPort& target = ports_[static_cast<size_t>(index)];
  const int own_port =
      snd_seq_create_simple_port(seq_, "music", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (own_port < 0)
    return nullptr;
  snd_midi_event_t* encoder = nullptr;
  if (snd_midi_event_new(kEncoderBytes, &encoder) < 0) {
    snd_seq_delete_simple_port(seq_, own_port);
    return nullptr;
  }
  if (snd_seq_connect_to(seq_, own_port, target.client, target.port) < 0) {
    snd_midi_event_free(encoder);
    snd_seq_delete_simple_port(seq_, own_port);
    return nullptr;
  }
  return std::make_unique<TAlsaMidiOut>(seq_, own_port, encoder);
}

} // namespace nova
