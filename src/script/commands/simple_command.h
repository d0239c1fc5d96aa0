// SPDX-License-Identifier: MIT
#pragma once
#include "script/command.h"
#include "script/running_state.h"

namespace nova {

// Base of the record classes: fixes the kind id.
template <TCommandId Kind> class TKindCommand : public TCommand {
public:
  using TCommand::TCommand;
  static constexpr TCommandId kId = Kind;
  TCommandId Id() const override { return Kind; }
};

// A command whose record has nothing after the header.
template <TCommandId Kind> class TNoFieldCommand : public TKindCommand<Kind> {
public:
  using TKindCommand<Kind>::TKindCommand;
  void Fields(TFieldVisitor&) override {}
};

// A command that keeps a running-state record while it waits across frames.
template <TCommandId Kind, class State> class TRunningCommand : public TKindCommand<Kind> {
public:
  using TKindCommand<Kind>::TKindCommand;
  bool HasRunningState() const override { return true; }
  void SaveRunningState(BinaryWriter& w) const override { WriteRunningState(w, running); }
  void LoadRunningState(BinaryReader& r) override { ReadRunningState(r, running); }
  State running;
};

} // namespace nova
