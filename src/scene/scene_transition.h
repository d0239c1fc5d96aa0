// SPDX-License-Identifier: MIT
// The hook through which a running screen transition composes the two layers.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "scene/scene_types.h"

namespace nova {

class TCustomDIBX;

// What the command that starts a transition asks of it beyond kind and duration. Parameters and
// mask name that the command does not give leave the kind's own defaults.
struct TTransitionOptions {
  bool reverse = false;
  std::optional<int32_t> param0;
  std::optional<int32_t> param1;
  std::optional<std::string> mask_name;
};

class ISceneTransition {
public:
  virtual ~ISceneTransition() = default;
  virtual int32_t Duration() const = 0;
  virtual void SetDuration(int32_t ms) = 0;
  virtual void SetStep(int32_t elapsed_ms) = 0;
  // Called once, after the duration is set and before the first step: applies the options (the
  // kind clamps the parameters to its own bounds) and prepares masks and tables.
  virtual void Start(const TTransitionOptions& options) = 0;
  // Draws the current state from the layers' surfaces into the screen surface and answers the
  // area it changed.
  virtual TSceneRect Draw() = 0;
};

// Makes the transition of a WP_ kind over the screen surface and the front and back layers'
// own surfaces; null for a kind it does not know.
using TTransitionFactory = std::function<std::unique_ptr<ISceneTransition>(
    int kind, TCustomDIBX& screen, TCustomDIBX& front, TCustomDIBX& back)>;

} // namespace nova
