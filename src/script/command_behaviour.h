// SPDX-License-Identifier: MIT
#pragma once
#include "script/command.h"

namespace nova {

class TCallMan;

// What a command kind does when the interpreter steps on it. Records hold only data; each kind
// that runs has one behaviour, registered with the call manager (TCallMan::SetBehaviour).
class ICommandBehaviour {
public:
  virtual ~ICommandBehaviour() = default;
  // Once, when the command is reached (not for skipped commands).
  virtual void Start(TCommand&, TCallMan&) const {}
  // Each time the interpreter steps on it; moves the program counter or ends the page, or
  // leaves both as they are while it keeps running.
  virtual void Run(TCommand& cmd, TCallMan& cm) const = 0;
  // While running it lets queued events nest above an event handler.
  virtual bool Yields(const TCommand&) const { return false; }
  // While started it keeps queued events waiting.
  virtual bool BlocksEvents(const TCommand&) const { return false; }
  // `PCReset` with clear-all-calls abandons a started command of the main script.
  virtual void Abort(TCommand&, TCallMan&) const {}
};

// The behaviours of the flow-control and variable commands (flow_behaviours.cpp), by id;
// null for the kinds they do not cover.
const ICommandBehaviour* FlowBehaviour(TCommandId id);

} // namespace nova
