// SPDX-License-Identifier: MIT
// A film played in a scene of its own at the film's size, frame by frame, for the tools that
// draw films (`film render`, `video film`). Pictures are read through the title files of a
// folder, where the film's name is its path relative to that folder.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/nova_error.h"
#include "graphics/dibx.h"
#include "graphics/image_cache.h"
#include "scene/films/film_manager.h"
#include "scene/nova_base_list.h"
#include "vfs/vr_file_manager.h"

namespace nova {

class TFilmStage {
public:
  TFilmStage(const std::vector<uint8_t>& film_bytes, const std::string& folder,
             const std::string& name, const std::string& shown_name)
      : cache_(files_, 0) {
    files_.SetCdromRoots({});
    files_.SetBaseFolder(folder);
    film_.SetResources(&cache_, &files_);
    film_.LoadFromBytes(film_bytes, name);
    if (film_.Width() <= 0 || film_.Height() <= 0 || film_.Width() > 8192 || film_.Height() > 8192)
      throw ENovaError("film \"" + shown_name + "\" has no drawable size (" +
                       std::to_string(film_.Width()) + "x" + std::to_string(film_.Height()) + ")");
    scene_ = std::make_unique<TNovaBaseList>(film_.Width(), film_.Height());
    scene_->SetImageServices({&cache_, nullptr});
    film_.SetScene(scene_.get());
    film_.Start();
  }
  int Width() const { return film_.Width(); }
  int Height() const { return film_.Height(); }
  int Length() const { return film_.Length(); }

  // The scene's picture at film frame `frame`.
  TCustomDIBX& Draw(int32_t frame) {
    film_.SetFrame(frame);
    // Components made by the frame join the scene at its update step.
    scene_->UpdateStep();
    scene_->DrawStep();
    return *scene_->ScreenSurface();
  }

private:
  TVrFileManager files_;
  TWispCollection cache_;
  // The scene outlives the film, which frees its components there.
  std::unique_ptr<TNovaBaseList> scene_;
  TFilmManager film_;
};

} // namespace nova
