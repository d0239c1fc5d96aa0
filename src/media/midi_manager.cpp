// SPDX-License-Identifier: MIT
#include "media/midi_manager.h"

#include <algorithm>
#include <cstdio>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "media/midi_alsa_ports.h"
#include "media/midi_devices.h"
#include "media/midi_log.h"
#include "media/midi_synth.h"
#include "platform/audio_output.h"
#include "platform/clock.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

constexpr int kVolumeController = 7;
constexpr int32_t kSilentVolume = -5000;

std::span<const uint8_t> Bytes(const std::string& data) {
  return {reinterpret_cast<const uint8_t*>(data.data()), data.size()};
}

std::string ReadTitleFile(const std::string& name) {
  return std::string(FileManager().Load(name).View());
}

} // namespace

// ---- TMidiItem ----

TMidiItem::TMidiItem(TMidiManager& manager, std::string name, std::string data)
    : manager_(manager), name_(std::move(name)), data_(std::move(data)) {}

bool TMidiItem::IsCurrent() const { return manager_.current_ == this; }

void TMidiItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  if (IsCurrent())
    manager_.Sequencer().SetRepeat(on);
}

void TMidiItem::SetVolume(int32_t volume) {
  volume_ = volume;
  if (IsCurrent())
    manager_.Sequencer().SetControllerScale(kVolumeController, TMidiManager::VolumePercent(volume));
}

int32_t TMidiItem::GetPosition() const {
  return IsCurrent() && manager_.Sequencer().IsPlaying() ? manager_.Sequencer().Position()
                                                         : start_ms_;
}

void TMidiItem::SetPosition(int32_t ms) {
  start_ms_ = std::max(ms, 0);
  if (IsCurrent() && manager_.Sequencer().IsPlaying())
    manager_.Sequencer().PlayAt(start_ms_);
}

int32_t TMidiItem::GetLength() {
  if (length_ms_ < 0) {
    // A sequencer of its own, so measuring never disturbs the music that plays.
    TMidiPlayV measure(nullptr, TMidiTiming::Pumped, manager_.clock_);
    measure.Load(Bytes(data_));
    length_ms_ = measure.LengthMs();
  }
  return length_ms_;
}

bool TMidiItem::IsEnd() const { return IsCurrent() && manager_.Sequencer().IsAtEnd(); }

bool TMidiItem::IsPlaying() const { return IsCurrent() && manager_.Sequencer().IsPlaying(); }

void TMidiItem::Play() {
  if (!manager_.active_) {
    suspended_ = true;
    return;
  }
  paused_ = false;
  manager_.Start(*this, start_ms_);
}

void TMidiItem::Pause() {
  if (IsCurrent() && manager_.Sequencer().IsPlaying()) {
    start_ms_ = manager_.Sequencer().Position();
    manager_.Sequencer().Stop();
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
  Clear();
  sequencer_.reset();
  if (synth_ && setup_.audio)
    setup_.audio->RemoveSource(synth_.get());
}

TMidiItem* TMidiManager::Add(const std::string& name) {
  std::string data;
  try {
    data = setup_.read_file ? setup_.read_file(name) : ReadTitleFile(name);
  } catch (const ENovaError& error) {
    Warn(SjisToUtf8(error.what()));
  }
  items_.push_back(std::make_unique<TMidiItem>(*this, name, std::move(data)));
  return items_.back().get();
}

void TMidiManager::Remove(TMidiItem* item) {
  if (!item)
    return;
  if (item == current_) {
    sequencer_->Stop();
    current_ = nullptr;
  }
  std::erase_if(items_, [item](const auto& owned) { return owned.get() == item; });
}

void TMidiManager::Clear() {
  if (current_)
    sequencer_->Stop();
  current_ = nullptr;
  items_.clear();
}

void TMidiManager::Suspend() {
  if (!active_ || suspended_)
    return;
  suspended_ = true;
  for (const auto& item : items_) {
    item->suspended_ = item->IsPlaying() && !item->IsPaused() && !item->IsEnd();
    if (item->suspended_)
      item->Pause();
  }
}

void TMidiManager::Resume() {
  if (!active_ || !suspended_)
    return;
  suspended_ = false;
  for (const auto& item : items_) {
    if (item->suspended_) {
      item->suspended_ = false;
      item->Play();
    }
  }
}

void TMidiManager::SetActive(bool active) {
  if (active == active_)
    return;
  if (!active) {
    Suspend();
    active_ = false;
  } else {
    active_ = true;
    Resume();
  }
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

void TMidiManager::Pump() { sequencer_->Pump(clock_.NowMs()); }

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
