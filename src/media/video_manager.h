// SPDX-License-Identifier: MIT
// The video manager: makes the movie items for the video components and opens their files
// through the player's file manager. One FFmpeg back-end serves both "[Video] UseWMP"
// settings; suspending and resuming with the focus is the media managers' common work.
#pragma once
#include <memory>
#include <string>

#include "media/media_manager.h"
#include "media/video_item.h"

namespace nova {

struct TMediaContext;

class TVideoManager final : public TMediaManager {
public:
  explicit TVideoManager(TVideoContext context = {});
  ~TVideoManager() override;

  // Always an item: one that cannot be played shows nothing and ends when played.
  std::unique_ptr<TDMediaItem> Add(const std::string& name) override;

private:
  TVideoContext context_;
};

// The media system's video plug-in: movies follow the game clock and sound through the
// media's output.
std::unique_ptr<TMediaManager> MakeVideoManager(TMediaContext& media);

// Opens a movie as the video items read it: real files as they are; ".wmv" and ".asf"
// resources from a real file of the file manager; other resources through a range stream.
// Throws ENovaError naming the file.
std::unique_ptr<TStream> OpenVideoResource(const std::string& name);

} // namespace nova
