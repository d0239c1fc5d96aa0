// SPDX-License-Identifier: MIT
// The scene's view of the media: items of the media managers behind the scene's item
// interface, which reports an end once where the managers' items keep it latched.
#pragma once
#include "media/media_system.h"
#include "scene/kinds/media_services.h"

namespace nova {

class TMediaLibraryAdapter final : public IMediaLibrary {
public:
  explicit TMediaLibraryAdapter(TMediaSystem& media) : media_(media) {}
  bool FileExists(const std::string& name) override;
  std::unique_ptr<IMediaItem> CreateItem(TMediaManagerKind kind, const std::string& name) override;
  std::unique_ptr<IMediaItem> CreateVideo(const std::string& name, bool overlay) override;

private:
  TMediaSystem& media_;
};

} // namespace nova
