// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "script/commands/simple_command.h"
#include "script/running_state.h"

namespace nova {

// Records of the flow-control and variable commands.

class TComIf : public TKindCommand<TCommandId::If> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr condition;
};

// Shares If's record.
class TComElseif final : public TComIf {
public:
  using TComIf::TComIf;
  static constexpr TCommandId kId = TCommandId::Elseif;
  TCommandId Id() const override { return kId; }
};

class TComElse final : public TNoFieldCommand<TCommandId::Else> {
public:
  using TNoFieldCommand::TNoFieldCommand;
  bool Continue() const override { return true; }
};

class TComLabel final : public TKindCommand<TCommandId::Label> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  bool MatchesLabel(std::string_view name) const override { return name == label; }
  std::string label;
};

class TComJump final : public TKindCommand<TCommandId::Jump> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  std::string page;
  int32_t target = 0;
  TCommandExpr condition;
};

class TComCall final : public TKindCommand<TCommandId::Call> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  std::string page;
  int32_t target = 0;
  std::string result_var;
  TCommandExpr condition;
  std::vector<TCommandExpr> args;
};

class TComExit final : public TKindCommand<TCommandId::Exit> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr condition;
};

class TComWait final : public TRunningCommand<TCommandId::Wait, TWaitState> {
public:
  using TRunningCommand::TRunningCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr condition;
  TCommandExpr time_ms;
  TCommandExpr no_events; // page version > 106
};

class TComCalc final : public TKindCommand<TCommandId::Calc> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr expr;
};

class TComVarNew final : public TKindCommand<TCommandId::VarNew> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  std::string name;
  uint8_t type = 0; // variable type code
  TCommandExpr initial;
  uint8_t scope = 0;
};

class TComVarDel final : public TKindCommand<TCommandId::VarDel> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  std::string name;
};

class TComComment final : public TKindCommand<TCommandId::Comment> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  bool Skip() const override { return true; }
  std::string text;
};

class TComWhile final : public TKindCommand<TCommandId::While> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr condition;
  int32_t end_index = 0;
};

class TComWhileInit final : public TKindCommand<TCommandId::WhileInit> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr expr;
};

class TComWhileLoop final : public TKindCommand<TCommandId::WhileLoop> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr expr;
  int32_t head_index = 0;
};

// Break and Continue: a condition and a target in the current page (negative ends the page).
template <TCommandId Kind> class TLoopExitCommand : public TKindCommand<Kind> {
public:
  using TKindCommand<Kind>::TKindCommand;
  void Fields(TFieldVisitor& v) override {
    v.Expr("cond", condition);
    v.Target("target", target, TTargetPage::Own);
  }
  TCommandExpr condition;
  int32_t target = 0;
};

class TComBreak final : public TLoopExitCommand<TCommandId::Break> {
public:
  using TLoopExitCommand::TLoopExitCommand;
};

class TComContinue final : public TLoopExitCommand<TCommandId::Continue> {
public:
  using TLoopExitCommand::TLoopExitCommand;
};

class TComGameSave final : public TKindCommand<TCommandId::GameSave> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr slot;
  std::string resume_page;
  int32_t resume_index = 0; // page version > 104
  TCommandExpr title;
};

class TComGameLoad final : public TKindCommand<TCommandId::GameLoad> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr slot;
};

// PCReset and Reset: a page, a command index in it and one byte.
template <TCommandId Kind> class TResetCommand : public TKindCommand<Kind> {
public:
  using TKindCommand<Kind>::TKindCommand;
  void Fields(TFieldVisitor& v) override {
    v.Str("page", page);
    v.Target("target", target, TTargetPage::Named);
    v.Byte(Kind == TCommandId::PCReset ? "clear" : "unused", flag);
  }
  std::string page;
  int32_t target = 0;
  uint8_t flag = 0; // PCReset: clear all calls; Reset: read, not used
};

class TComPCReset final : public TResetCommand<TCommandId::PCReset> {
public:
  using TResetCommand::TResetCommand;
  bool ClearAllCalls() const { return flag != 0; }
};

class TComReset final : public TResetCommand<TCommandId::Reset> {
public:
  using TResetCommand::TResetCommand;
};

class TComTerminate final : public TNoFieldCommand<TCommandId::Terminate> {
public:
  using TNoFieldCommand::TNoFieldCommand;
};

class TComDoEvent final : public TNoFieldCommand<TCommandId::DoEvent> {
public:
  using TNoFieldCommand::TNoFieldCommand;
};

} // namespace nova
