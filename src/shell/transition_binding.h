// SPDX-License-Identifier: MIT
#pragma once
#include "scene/scene_transition.h"

namespace nova {

class TWispCollection;
class TVrFileManager;

// The scene's transitions made from the WP_ kinds of the graphics folder. Mask pictures come
// from the title's files through the image cache; `images` may be null (no mask pictures).
// Both must outlive the transitions the factory makes.
TTransitionFactory MakeTransitionFactory(TVrFileManager& files, TWispCollection* images);

} // namespace nova
