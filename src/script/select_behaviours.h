// SPDX-License-Identifier: MIT
// What the menu commands do: a created menu opens, MenuClose closes one over its delay.
#pragma once
#include <memory>

#include "script/command_behaviour.h"

namespace nova {

class TNovaBaseList;
class TNovaObject;

// The last step of the Menu command: the new menu starts opening (play state 1).
void OpenCreatedMenu(TNovaObject& obj);
// MenuClose: a non-empty name that finds a menu sets its play state to 3 (close).
std::unique_ptr<ICommandBehaviour> NewMenuCloseBehaviour(TNovaBaseList& scene);

} // namespace nova
