// SPDX-License-Identifier: MIT
// The text and history commands: TextIns, TextClr, CallHist, FormatHist, ClrHist, ClrRead.
#pragma once
#include <memory>

#include "script/command_behaviour.h"

namespace nova {

class TNovaBaseList;

// The behaviour of one text or history command kind acting on `scene`; null for other kinds.
std::unique_ptr<ICommandBehaviour> NewTextBehaviour(TCommandId id, TNovaBaseList& scene);

// Lets the scene's message boxes and history read the text of text insert commands through the
// interpreter's pages. The text commands connect it themselves; a game load that rebuilds
// message boxes before any of them ran calls it first.
void ConnectTextSource(TNovaBaseList& scene, TCallMan& cm);

} // namespace nova
