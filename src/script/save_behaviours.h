// SPDX-License-Identifier: MIT
// What GameSave and GameLoad do: each records a request that the project performs at the end
// of the frame, and always ends the frame.
#pragma once
#include "script/command_behaviour.h"

namespace nova {

class TProject;

class TGameSaveBehaviour final : public ICommandBehaviour {
public:
  explicit TGameSaveBehaviour(TProject& project) : project_(project) {}
  void Run(TCommand& cmd, TCallMan& cm) const override;

private:
  TProject& project_;
};

class TGameLoadBehaviour final : public ICommandBehaviour {
public:
  explicit TGameLoadBehaviour(TProject& project) : project_(project) {}
  void Run(TCommand& cmd, TCallMan& cm) const override;

private:
  TProject& project_;
};

// Both behaviours, registered with a call manager that they must outlive.
class TSaveBehaviours {
public:
  explicit TSaveBehaviours(TProject& project) : save_(project), load_(project) {}
  void Register(TCallMan& calls) const;

private:
  TGameSaveBehaviour save_;
  TGameLoadBehaviour load_;
};

} // namespace nova
