// SPDX-License-Identifier: MIT
// What sounds, videos and cinemas drive: media items, the managers that make them, and the
// films a cinema plays. The media library implements these and installs them in the scene's
// services; until it does, media components keep their settings and play nothing.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "scene/scene_services.h"

namespace nova {

class TCustomDIBX;
class TNovaBaseList;
class TNovaControl;

// One playing piece of media. Volumes are hundredths of a decibel (-10000 silence, 0 full),
// pan -10000..10000, positions and lengths milliseconds.
class IMediaItem {
public:
  virtual ~IMediaItem() = default;
  virtual void SetAutoRepeat(bool on) = 0;
  virtual void SetRepeatPos(int32_t ms) = 0;
  virtual void SetPan(int32_t pan) = 0;
  virtual void SetVolume(int32_t volume) = 0;
  virtual int32_t GetVolume() const = 0;
  virtual int32_t GetPosition() const = 0;
  virtual void SetPosition(int32_t ms) = 0;
  virtual int32_t GetLength() const = 0;
  // True once after the end was reached (the item clears its mark when it reports it).
  virtual bool IsEnd() = 0;
  virtual bool IsPlaying() const = 0;
  virtual bool IsPaused() const = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  // Video items: the picture size, the platform window and the drawing surface.
  virtual int32_t GetSourceWidth() const { return 0; }
  virtual int32_t GetSourceHeight() const { return 0; }
  virtual bool WindowVisible() const { return false; }
  virtual void SetVisible(bool) {}
  virtual bool NeedPaint() { return false; }
  virtual void SetRect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
  // Copies the current picture into `frame`; false when the item draws no picture.
  virtual bool CopyPicture(TCustomDIBX&) { return false; }
};

// The managers of the media library, chosen by file extension.
enum class TMediaManagerKind : uint8_t { Midi, WindowsMedia, Ogg, CdAudio, Video };

class IMediaLibrary {
public:
  virtual ~IMediaLibrary() = default;
  // The title can provide the file (archives or folders).
  virtual bool FileExists(const std::string& name) = 0;
  // A new item of the manager for `name`; null when the manager is absent or fails.
  virtual std::unique_ptr<IMediaItem> CreateItem(TMediaManagerKind kind,
                                                 const std::string& name) = 0;
  // Videos draw into a surface unless `overlay` asks for the platform's window.
  virtual std::unique_ptr<IMediaItem> CreateVideo(const std::string& name, bool overlay) = 0;
  // The screen's bit depth for video frames (0: no screen manager).
  virtual int ScreenBitCount() const { return 0; }
  // The panel's display scale in percent (overlay windows).
  virtual int DisplayScalePercent() const { return 100; }
};

// A film that plays components in a scene (the film manager of the film-list library).
class ICinemaFilm {
public:
  virtual ~ICinemaFilm() = default;
  virtual int FrameCount() const = 0;
  virtual int LoopStart() const = 0;
  virtual int CurrentFrame() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // True when the film builds its own scene (it is then attached to the cinema's private list).
  virtual bool OwnScene() const = 0;
  virtual void Attach(TNovaBaseList& scene) = 0;
  // Before Attach when the film plays inside the main scene: its components become the
  // cinema's children.
  virtual void SetCinema(TNovaControl*) {}
  virtual void Start() = 0;
  virtual void Seek(int frame) = 0;
  virtual void SetPaused(bool paused) = 0;
  virtual void SetVolume(int32_t volume) = 0;
};

// The item volume for a component volume 0..1000 (MIDI items scale linearly over the whole
// range, others over the upper half).
int32_t ItemVolume(const std::string& source, int32_t volume);
bool IsMidiSource(const std::string& source);
// The manager for a source name; false when no manager plays it.
// CD tracks need no file; other sources must be found by the media library (none: nothing is).
bool MediaSourceAvailable(IMediaLibrary* library, const std::string& source);
bool ManagerFor(const std::string& source, TMediaManagerKind& kind);

} // namespace nova
