// SPDX-License-Identifier: MIT
// The video manager: makes the movie items for the video components, opens their files
// through the player's file manager, and pauses and resumes them all with the player's focus.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "media/video_item.h"

namespace nova {

class TVideoManager {
public:
  // A context without a clock follows the run state's game clock.
  explicit TVideoManager(TVideoContext context = {});
  ~TVideoManager();
  TVideoManager(const TVideoManager&) = delete;
  TVideoManager& operator=(const TVideoManager&) = delete;

  // A new item for the title file `name` (always an item: one that cannot be played shows
  // nothing and ends when played). The manager owns it until Remove or Clear.
  TVideoItem& Add(const std::string& name, bool into_surface);
  void Remove(TVideoItem& item);
  void Clear();
  // Focus lost and regained: playing items pause, and only those resume.
  void Suspend();
  void Resume();
  bool Suspended() const { return suspended_; }
  // Every frame: brings every item up to the current time.
  void Update();
  size_t Count() const { return items_.size(); }

private:
  TVideoContext context_;
  std::vector<std::unique_ptr<TVideoItem>> items_;
  bool suspended_ = false;
};

// Opens a movie as the video items read it: a name that starts with a path delimiter or has
// ":" as its second character is a real file; ".wmv" and ".asf" resources are read from a real
// file of the file manager; other resources through a range stream. Throws ENovaError naming
// the file.
std::unique_ptr<TStream> OpenVideoResource(const std::string& name);

} // namespace nova
