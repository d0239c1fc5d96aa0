// SPDX-License-Identifier: MIT
// `TMidiManager` and its `TMidiItem`s: every MIDI resource a title plays goes through one
// sequencer, loaded with the file of the item that played last. The manager also owns the
// synthesizer, the device list the title chooses from, and the `--midi-log` writer. Items are
// owned by the sound components; the manager pauses, resumes and finally detaches them.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/media_manager.h"
#include "media/midi_play.h"

namespace nova {

class IAudioOutput;
class IClock;
class IMidiPorts;
class TAlsaMidiPorts;
class TMidiDevices;
class TMidiLog;
class TMidiManager;
class TMidiSynth;

// Reads a resource whole; throws ENovaError naming it when it cannot be read.
using TMidiFileReader = std::function<std::string(const std::string& name)>;

struct TMidiManagerSetup {
  TMidiTiming timing = TMidiTiming::Pumped;
  std::string soundfont;         // game.ini [Sound] SoundFont; empty: the installed ones
  bool synthesizer = true;       // false: no synthesizer (the list holds the real ports only)
  bool system_ports = false;     // list the machine's real MIDI outputs (not headless)
  IMidiPorts* ports = nullptr;   // real outputs given by the caller instead (not owned)
  IAudioOutput* audio = nullptr; // where the synthesizer sounds; may be null
  std::string log_path;          // --midi-log FILE
  TMidiFileReader read_file;     // empty: title resources and real files (media_source.h)
  IClock* clock = nullptr;       // empty: the platform clock
  // Where problems with files and devices are told (UTF-8); empty: standard error.
  std::function<void(const std::string&)> warn;
};

// One MIDI resource of a sound component. Volumes run from -5000 (half the file's channel
// volumes) to 0; positions and lengths are milliseconds.
class TMidiItem final : public TDMediaItem {
public:
  TMidiItem(TMidiManager& manager, std::string name, std::string data);
  ~TMidiItem() override;

  const std::string& Name() const { return name_; }
  bool GetAutoRepeat() const override { return repeat_; }
  void SetAutoRepeat(bool on) override;
  int32_t GetVolume() const override { return volume_; }
  void SetVolume(int32_t volume) override;
  int32_t GetPosition() const override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() const override;
  bool IsEnd() override;
  bool IsPlaying() const override;
  bool IsPaused() const override { return paused_; }
  void Play() override;
  void Pause() override;

protected:
  void ReleaseBackEnd() override;

private:
  friend class TMidiManager;
  // The manager while attached; with `Current`, only while this item's file is in the sequencer.
  TMidiManager* Owner() const;
  TMidiManager* Current() const;

  std::string name_;
  std::string data_;
  int32_t start_ms_ = 0;
  mutable int32_t length_ms_ = -1; // not measured yet
  int32_t volume_ = 0;
  bool repeat_ = false;
  bool paused_ = false;
};

class TMidiManager final : public TMediaManager {
public:
  explicit TMidiManager(TMidiManagerSetup setup);
  ~TMidiManager() override;

  // A new item with the resource read into memory (empty when it cannot be read: it then
  // plays nothing and has length 0).
  std::unique_ptr<TDMediaItem> Add(const std::string& name) override;
  // Pumped timing: runs the sequencer ticks due by the clock.
  void Update() override;

  // The device list: entry 0 is the mapper. Names are Shift-JIS.
  int DeviceCount() const;
  std::string DeviceName(int index) const;
  int SelectedDevice() const { return selected_; }
  // Clamps to the list; a playing item moves to the new device at its position.
  void SelectDevice(int index);
  // An unknown name selects nothing.
  void SelectDevice(const std::string& name);

  // Around a display-mode change: the device is closed, then reopened where it was.
  void ReleaseDevice();
  void RestoreDevice();

  TMidiPlayV& Sequencer() { return *sequencer_; }
  // The synthesizer; null when there is none.
  TMidiSynth* Synth() { return synth_.get(); }

private:
  friend class TMidiItem;
  void Start(TMidiItem& item, int32_t ms);
  void Forget(TMidiItem& item);
  void Warn(const std::string& text) const;
  static int VolumePercent(int32_t volume);

  TMidiManagerSetup setup_;
  IClock& clock_;
  std::unique_ptr<TMidiSynth> synth_;
  std::unique_ptr<TAlsaMidiPorts> system_ports_;
  std::unique_ptr<TMidiDevices> devices_;
  std::unique_ptr<TMidiLog> log_;
  std::unique_ptr<TMidiPlayV> sequencer_;
  TMidiItem* current_ = nullptr;
  int selected_ = 0;
  int open_device_ = -2; // the device the sequencer has open; -2: none
  // Remembered across a display-mode change.
  bool released_ = false;
  bool was_playing_ = false;
  int32_t released_position_ = 0;
};

} // namespace nova
