// SPDX-License-Identifier: MIT
// The hook through which a running screen transition composes the two layers.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "scene/scene_types.h"

namespace nova {

class TCustomDIBX;

class ISceneTransition {
public:
  virtual ~ISceneTransition() = default;
  virtual int32_t Duration() const = 0;
  virtual void SetDuration(int32_t ms) = 0;
  virtual void SetStep(int32_t elapsed_ms) = 0;
  virtual void Start(const std::string& argument) = 0;
  // Draws the current state from the layers' surfaces into the screen surface and answers the
  // area it changed.
  virtual TSceneRect Draw() = 0;
};

// Makes the transition of a WP_ kind over the screen surface and the front and back layers'
// own surfaces; null for a kind it does not know.
using TTransitionFactory = std::function<std::unique_ptr<ISceneTransition>(
    int kind, TCustomDIBX& screen, TCustomDIBX& front, TCustomDIBX& back)>;

} // namespace nova
