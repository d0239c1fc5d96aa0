// SPDX-License-Identifier: MIT
// The base of every media manager: it knows its living items, pauses and resumes them when the
// player is deactivated or the scene's sound is switched off, and detaches them when it goes.
// Items are owned by whoever asked for them (the scene's components); the manager only keeps
// track. Everything runs on the main thread.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "media/media_item.h"

namespace nova {

class TMediaManager {
public:
  TMediaManager() = default;
  // Detaches every item still alive.
  virtual ~TMediaManager();
  TMediaManager(const TMediaManager&) = delete;
  TMediaManager& operator=(const TMediaManager&) = delete;

  // A new item for a title resource, or a real file when `name` starts with a path delimiter
  // or has ':' second. Null when the manager cannot play it; ENovaError for damaged data that
  // the system reports.
  virtual std::unique_ptr<TDMediaItem> Add(const std::string& name) = 0;
  // Once per frame on the main thread (video pictures, end polling).
  virtual void Update();
  // Restores the back end after the device was lost; nothing to do for most managers.
  virtual void Restore() {}

  // Deactivation and activation of the player.
  void Suspend();
  void Resume();
  // The scene's sound switch: off suspends and then records inactivity, on records activity
  // and then resumes.
  void SetActive(bool on);
  bool Active() const { return active_; }
  bool IsSuspended() const { return suspended_; }

  const std::vector<TDMediaItem*>& Items() const { return items_; }
  void Register(TDMediaItem* item);
  void Unregister(TDMediaItem* item);

protected:
  // Detaches every item; derived managers call it first in their destructors, while the back
  // end the items use still exists.
  void DetachAll();

private:
  std::vector<TDMediaItem*> items_;
  bool active_ = true;
  bool suspended_ = false;
};

} // namespace nova
