// SPDX-License-Identifier: MIT
// The video manager behind the scene's video components: the player's media library answers
// `IMediaLibrary::CreateVideo` with `TVideoBinding::CreateVideo`, and the window's focus
// changes reach `Suspend` and `Resume`.
#pragma once
#include <memory>
#include <string>

#include "media/video_manager.h"
#include "scene/kinds/media_services.h"

namespace nova {

class TVideoBinding {
public:
  // A context without a clock follows the game clock; without audio the movies are silent.
  explicit TVideoBinding(TVideoContext context = {});
  ~TVideoBinding();
  TVideoBinding(const TVideoBinding&) = delete;
  TVideoBinding& operator=(const TVideoBinding&) = delete;

  // Always an item: a movie that cannot be played shows nothing and ends when played. Every
  // item must be released before the binding.
  std::unique_ptr<IMediaItem> CreateVideo(const std::string& name, bool overlay);
  TVideoManager& Manager() { return manager_; }

private:
  TVideoManager manager_;
};

} // namespace nova
