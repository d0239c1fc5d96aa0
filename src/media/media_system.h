// SPDX-License-Identifier: MIT
// The media of the player: the audio output and the managers that make media items, started and
// shut down in their fixed order. This is where every manager plugs in: the Windows-Media,
// Ogg/wave and CD-audio managers are built here; the video and MIDI managers are handed in as
// factories (TMediaPlugins) by whoever builds them, and get the same context (audio output,
// settings, clock) as the others.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/media_manager.h"

namespace nova {

class IAudioOutput;
class IClock;

// The managers, one of each; their order here is the start order.
enum class TMediaKind : uint8_t { Video, WindowsMedia, Ogg, CdAudio, Midi };
inline constexpr int kMediaKindCount = 5;

// How the wave output mixes: on a thread of its own (a window: the device pulls in real time),
// or while the output renders (headless: the output is advanced by the virtual clock on the
// main thread, so every run mixes the same blocks).
enum class TMixingMode : uint8_t { Thread, OnRender };

// The run settings the media use.
struct TMediaSettings {
  bool direct_sound = true; // [Sound] DirectSound: the media library plays Ogg and wave itself
  int delay_time_ms = 500;  // [Sound] DelayTime: the wave output's block length
  bool use_wmp = false;     // [Video] UseWMP
  // Native folder holding ripped CD tracks ([Sound] CDTracks, the CDDrive setting, or the
  // title's folder); empty: CD tracks play nothing.
  std::string cd_tracks_folder;
  // The media library plays Ogg and wave on the frame step rather than a thread of its own.
  TMixingMode mixing = TMixingMode::Thread;
};

// What every manager gets.
struct TMediaContext {
  IAudioOutput& output;
  IClock& clock;
  TMediaSettings settings;
};

using TMediaManagerFactory = std::function<std::unique_ptr<TMediaManager>(TMediaContext&)>;

// Managers built outside this file; an empty factory leaves that manager absent (its items are
// never made).
struct TMediaPlugins {
  TMediaManagerFactory video;
  TMediaManagerFactory midi;
};

class TMediaSystem {
public:
  // Media start: the video, Windows-Media, Ogg (with its wave output when DirectSound is off),
  // CD-audio and MIDI managers, in that order.
  TMediaSystem(IAudioOutput& output, IClock& clock, TMediaSettings settings,
               TMediaPlugins plugins = {});
  // Media shutdown: video, Windows Media, then Ogg, CD audio and MIDI. Items still held by
  // components are detached: silent and inert.
  ~TMediaSystem();
  TMediaSystem(const TMediaSystem&) = delete;
  TMediaSystem& operator=(const TMediaSystem&) = delete;

  TMediaManager* Manager(TMediaKind kind) const { return managers_[static_cast<int>(kind)].get(); }
  // A new item of that manager; null when the manager is absent or cannot play `name`.
  std::unique_ptr<TDMediaItem> CreateItem(TMediaKind kind, const std::string& name);

  // The player lost or regained the focus: every sound manager that is active, and the video
  // manager.
  void Suspend();
  void Resume();
  // The scene's sound switch (@SoundON): the Windows-Media, Ogg, CD-audio and MIDI managers.
  void SetSoundOn(bool on);
  // Once per frame on the main thread.
  void Update();

  TMediaContext& Context() { return context_; }

private:
  TMediaContext context_;
  std::unique_ptr<TMediaManager> managers_[kMediaKindCount];
};

} // namespace nova
