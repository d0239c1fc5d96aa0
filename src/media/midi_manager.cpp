// SPDX-License-Identifier: MIT
#include "media/midi_manager.h"

#include <algorithm>
#include <cstdio>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "media/media_source.h"
#include "media/midi_alsa_ports.h"
#include "media/midi_devices.h"
#include "media/midi_log.h"
#include "media/midi_synth.h"
#include "platform/audio_output.h"
#include "platform/clock.h"

namespace nova {

namespace {

constexpr int kVolumeController = 7;
constexpr int32_t kSilentVolume = -5000;

std::span<const uint8_t> Bytes(const std::string& data) {
  return {reinterpret_cast<const uint8_t*>(data.data()), data.size()};
}

// No MIDI file comes near this; a resource claiming more is not music.
constexpr int64_t kMaxMidiFileBytes = 16 << 20;

std::string ReadMediaFile(const std::string& name) {
  const auto stream = OpenMediaStream(name);
  const int64_t size = stream->Size();
  if (size > kMaxMidiFileBytes)
    throw ENovaError(name + ": " + std::to_string(size) + " bytes is too large for a MIDI file");
  std::string data(static_cast<size_t>(size), '\0');
  stream->SetPosition(0);
  stream->ReadBuffer(data.data(), size);
  return data;
}

} // namespace

// ---- TMidiItem ----

TMidiItem::TMidiItem(TMidiManager& manager, std::string name, std::string data)
    : TDMediaItem(manager), name_(std::move(name)), data_(std::move(data)) {}

TMidiItem::~TMidiItem() { ReleaseBackEnd(); }

void TMidiItem::ReleaseBackEnd() {
  if (TMidiManager* manager = Owner())
    manager->Forget(*this);
}

TMidiManager* TMidiItem::Owner() const { return static_cast<TMidiManager*>(Manager()); }

TMidiManager* TMidiItem::Current() const {
  TMidiManager* manager = Owner();
  return manager && manager->current_ == this ? manager : nullptr;
}

void TMidiItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  if (TMidiManager* manager = Current())
    manager->Sequencer().SetRepeat(on);
}

void TMidiItem::SetVolume(int32_t volume) {
  volume_ = volume;
  if (TMidiManager* manager = Current())
    manager->Sequencer().SetControllerScale(kVolumeController, TMidiManager::VolumePercent(volume));
}

int32_t TMidiItem::GetPosition() const {
  TMidiManager* manager = Current();
  return manager && manager->Sequencer().IsPlaying() ? manager->Sequencer().Position() : start_ms_;
}

void TMidiItem::SetPosition(int32_t ms) {
  start_ms_ = std::max(ms, 0);
  TMidiManager* manager = Current();
  if (manager && manager->Sequencer().IsPlaying())
    manager->Sequencer().PlayAt(start_ms_);
}

int32_t TMidiItem::GetLength() const {
  if (length_ms_ < 0) {
    // A sequencer of its own, so measuring never disturbs the music that plays.
    TVirtualClock clock;
    TMidiPlayV measure(nullptr, TMidiTiming::Pumped, clock);
    measure.Load(Bytes(data_));
    length_ms_ = measure.LengthMs();
  }
  return length_ms_;
}

bool TMidiItem::IsEnd() {
  TMidiManager* manager = Current();
  return manager && manager->Sequencer().IsAtEnd();
}

bool TMidiItem::IsPlaying() const {
  TMidiManager* manager = Current();
  return manager && manager->Sequencer().IsPlaying();
}

void TMidiItem::Play() {
  TMidiManager* manager = Owner();
  if (!manager || DeferPlay())
    return;
  paused_ = false;
  manager->Start(*this, start_ms_);
}

void TMidiItem::Pause() {
  if (TMidiManager* manager = Current(); manager && manager->Sequencer().IsPlaying()) {
    start_ms_ = manager->Sequencer().Position();
    manager->Sequencer().Stop();
  }
  paused_ = true;
}

// ---- TMidiManager ----

TMidiManager::TMidiManager(TMidiManagerSetup setup)
    : setup_(std::move(setup)), clock_(setup_.clock ? *setup_.clock : PlatformClock()) {
  if (setup_.synthesizer) {
    const std::string soundfont = FindSoundFont(setup_.soundfont);
    if (!setup_.soundfont.empty() && soundfont != setup_.soundfont)
      Warn(setup_.soundfont + ": no such soundfont; the installed one plays instead");
    if (soundfont.empty()) {
      Warn("no General MIDI soundfont is installed: MIDI music plays through real ports only");
    } else {
      try {
        synth_ = std::make_unique<TMidiSynth>(soundfont);
      } catch (const ENovaError& error) {
        Warn(error.what());
      }
    }
  }
  IMidiPorts* ports = setup_.ports;
  if (!ports && setup_.system_ports) {
    system_ports_ = std::make_unique<TAlsaMidiPorts>();
    ports = system_ports_.get();
  }
  devices_ = std::make_unique<TMidiDevices>(synth_.get(), ports);
  if (!setup_.log_path.empty())
    log_ = std::make_unique<TMidiLog>(setup_.log_path);
  sequencer_ = std::make_unique<TMidiPlayV>(devices_.get(), setup_.timing, clock_);
  sequencer_->SetLog(log_.get());
  if (synth_ && setup_.audio)
    setup_.audio->AddSource(synth_.get());
}

TMidiManager::~TMidiManager() {
  DetachAll();
  sequencer_.reset();
  if (synth_ && setup_.audio)
    setup_.audio->RemoveSource(synth_.get());
}

std::unique_ptr<TDMediaItem> TMidiManager::Add(const std::string& name) {
  std::string data;
  try {
    data = setup_.read_file ? setup_.read_file(name) : ReadMediaFile(name);
  } catch (const ENovaError& error) {
    Warn(SjisToUtf8(error.what()));
  }
  return std::make_unique<TMidiItem>(*this, name, std::move(data));
}

void TMidiManager::Forget(TMidiItem& item) {
  if (current_ != &item)
    return;
  sequencer_->Stop();
  current_ = nullptr;
}

void TMidiManager::Update() {
  TMediaManager::Update();
  sequencer_->Pump(clock_.NowMs());
}

int TMidiManager::DeviceCount() const { return devices_->Count(); }

std::string TMidiManager::DeviceName(int index) const { return devices_->Name(index); }

void TMidiManager::SelectDevice(int index) {
  index = std::clamp(index, 0, DeviceCount() - 1);
  if (index == selected_)
    return;
  selected_ = index;
  if (current_ && sequencer_->IsPlaying()) {
    const int32_t position = sequencer_->Position();
    sequencer_->Stop();
    Start(*current_, position);
  }
}

void TMidiManager::SelectDevice(const std::string& name) {
  const int index = devices_->IndexOf(name);
  if (index >= 0)
    SelectDevice(index);
}

void TMidiManager::ReleaseDevice() {
  if (!sequencer_->IsOpen())
    return;
  released_ = true;
  was_playing_ = sequencer_->IsPlaying();
  released_position_ = sequencer_->Position();
  sequencer_->Close();
  open_device_ = -2;
}

void TMidiManager::RestoreDevice() {
  if (!released_)
    return;
  released_ = false;
  if (current_ && was_playing_) {
    Start(*current_, released_position_);
    return;
  }
  open_device_ = selected_ - 1;
  sequencer_->Open(open_device_);
}

void TMidiManager::Start(TMidiItem& item, int32_t ms) {
  if (current_ != &item || !sequencer_->IsOpen()) {
    // An empty or damaged file loads what it can; one without events plays nothing.
    if (!sequencer_->Load(Bytes(item.data_)) && !item.data_.empty())
      Warn(SjisToUtf8(item.name_) + ": not a MIDI file that can be played (" +
           sequencer_->Problem() + ")");
    else if (!sequencer_->Problem().empty())
      Warn(SjisToUtf8(item.name_) + ": damaged MIDI file, played up to the damage (" +
           sequencer_->Problem() + ")");
    current_ = &item;
  }
  if (!sequencer_->IsOpen() || open_device_ != selected_ - 1) {
    open_device_ = selected_ - 1;
    if (!sequencer_->Open(open_device_))
      Warn("MIDI output " + SjisToUtf8(DeviceName(selected_)) + " could not be opened");
  }
  sequencer_->SetRepeat(item.repeat_);
  sequencer_->Reset();
  sequencer_->PlayAt(ms);
  sequencer_->SetControllerScale(kVolumeController, VolumePercent(item.volume_));
}

int TMidiManager::VolumePercent(int32_t volume) {
  // Items may be handed -10000..0 and beyond; the percentage must stay 50..100 so that the
  // scaled channel volume is valid MIDI data.
  return std::clamp(volume, kSilentVolume, 0) / 100 + 100;
}

void TMidiManager::Warn(const std::string& text) const {
  if (setup_.warn)
    setup_.warn(text);
  else
    std::fprintf(stderr, "novaplay: %s\n", text.c_str());
}

} // namespace nova
