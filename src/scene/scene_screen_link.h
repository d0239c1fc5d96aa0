// SPDX-License-Identifier: MIT
// The scene as the screen manager sees it when presenting: the changed areas of the frame.
#pragma once
#include "graphics/screen_manager.h"

namespace nova {

class TNovaBaseList;

class TSceneScreenLink : public IScreenScene {
public:
  explicit TSceneScreenLink(TNovaBaseList& scene) : scene_(scene) {}
  TScreenRect TransitionRect() override;
  std::vector<TScreenRect> ChangedRects() override;
  void ClearChanged() override;

private:
  TNovaBaseList& scene_;
};

} // namespace nova
