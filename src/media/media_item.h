// SPDX-License-Identifier: MIT
// One playing piece of media, made by its manager and driven from the main thread. Positions,
// lengths and repeat positions are milliseconds, volume -5000 (silent) ... 0 (full; lower values
// act as -5000), pan -10000 (left) ... 10000 (right). The base answers 0 or false and does
// nothing, so a kind overrides only what it supports.
#pragma once
#include <cstdint>

namespace nova {

class TCustomDIBX;
class TMediaManager;

class TDMediaItem {
public:
  // Registers with `manager`, which suspends, resumes and finally detaches it.
  explicit TDMediaItem(TMediaManager& manager);
  virtual ~TDMediaItem();
  TDMediaItem(const TDMediaItem&) = delete;
  TDMediaItem& operator=(const TDMediaItem&) = delete;

  virtual bool GetAutoRepeat() const { return false; }
  virtual void SetAutoRepeat(bool) {}
  virtual int32_t GetRepeatPos() const { return 0; }
  virtual void SetRepeatPos(int32_t) {}
  virtual int32_t GetPan() const { return 0; }
  virtual int32_t GetVolume() const { return 0; }
  virtual void SetPan(int32_t) {}
  virtual void SetVolume(int32_t) {}
  virtual int32_t GetPosition() const { return 0; }
  virtual void SetPosition(int32_t) {}
  virtual int32_t GetLength() const { return 0; }
  // Latched: true from the moment the end was reached (until the kind says otherwise).
  virtual bool IsEnd() { return false; }
  virtual bool IsPlaying() const { return false; }
  virtual bool IsPaused() const { return false; }
  virtual void Play() {}
  virtual void Pause() {}

  // Video items: the picture size, the platform window and the drawing surface.
  virtual int32_t GetSourceWidth() const { return 0; }
  virtual int32_t GetSourceHeight() const { return 0; }
  virtual bool GetVisible() const { return false; }
  virtual void SetVisible(bool) {}
  virtual bool NeedPaint() { return false; }
  virtual void SetRect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
  virtual bool CopyPicture(TCustomDIBX&) { return false; }
  // Called for every item by its manager's Update, once per frame.
  virtual void Refresh() {}

  // Set by Suspend for an item it paused, and by Play while the manager is inactive: Resume
  // plays exactly these.
  bool Suspended() const { return suspended_; }
  void SetSuspended(bool on) { suspended_ = on; }
  // The manager is gone (media shutdown while a component still holds the item): the item
  // stops sounding for good and answers only defaults from now on.
  bool Detached() const { return manager_ == nullptr; }
  void Detach();

protected:
  TMediaManager* Manager() const { return manager_; }
  // For Play: true when the manager is inactive (the sound is off); the item is then marked
  // suspended instead of started.
  bool DeferPlay();
  // Frees the back end (decoder, output buffer) when the item is detached.
  virtual void ReleaseBackEnd() {}

private:
  TMediaManager* manager_;
  bool suspended_ = false;
};

} // namespace nova
