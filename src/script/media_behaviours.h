// SPDX-License-Identifier: MIT
// MovieStop (stop or fade out a sound or video, optionally waiting for it) and PropMotion
// (start animating one property of a component).
#pragma once
#include <memory>

#include "script/command_behaviour.h"

namespace nova {

class TNovaBaseList;

std::unique_ptr<ICommandBehaviour> NewMovieStopBehaviour(TNovaBaseList& scene);
std::unique_ptr<ICommandBehaviour> NewPropMotionBehaviour(TNovaBaseList& scene);

} // namespace nova
