// SPDX-License-Identifier: MIT
// What the flow-control and variable commands do when the interpreter steps on them.
#include <array>
#include <cassert>

#include "base/run_state.h"
#include "expr/param_collection.h"
#include "scene/timer_list.h"
#include "script/call_man.h"
#include "script/commands/flow_commands.h"

namespace nova {
namespace {

enum class TCondition { NoValue, False, True };

TCondition Evaluate(TCommandExpr& e, TParamCollection& vars) {
  if (e.IsEmpty())
    return TCondition::NoValue;
  e.parser.Execute(vars);
  const TCustomParam* r = e.parser.Result();
  if (!r)
    return TCondition::NoValue;
  return r->AsFlag() ? TCondition::True : TCondition::False;
}

// A condition holds when it yields a value whose boolean reading is true.
bool Holds(TCommandExpr& e, TParamCollection& vars) {
  return Evaluate(e, vars) == TCondition::True;
}

void Eval(TCommandExpr& e, TParamCollection& vars) {
  if (!e.IsEmpty())
    e.parser.Execute(vars);
}

// Loop exits: a negative target ends the page.
void GoTo(TCallMan& cm, int32_t target) {
  if (target < 0)
    cm.EndPage();
  else
    cm.set_pc(target);
}

template <class Record> class TBehaviour : public ICommandBehaviour {
public:
  // Behaviours are chosen by the command's id, so the record class is known; a checked cast
  // on every command shows in tight loops.
  void Run(TCommand& cmd, TCallMan& cm) const final {
    assert(cmd.Id() == Record::kId);
    Run(static_cast<Record&>(cmd), cm);
  }
  virtual void Run(Record& cmd, TCallMan& cm) const = 0;
};

class TIf final : public TBehaviour<TComIf> {
public:
  void Run(TComIf& cmd, TCallMan& cm) const override {
    int32_t pc = cm.pc() + 1;
    cm.set_pc(pc);
    if (Holds(cmd.condition, cm.vars()))
      return;
    const TComList& list = cm.page()->commands();
    const int32_t indent = cmd.header.indent;
    for (; pc < list.Count(); ++pc) {
      TCommand& c = list[pc];
      if (c.header.indent > indent)
        continue;
      if (c.header.indent == indent && c.Id() == TCommandId::Else) {
        ++pc;
      } else if (c.header.indent == indent && c.Id() == TCommandId::Elseif) {
        if (!Holds(CommandAs<TComIf>(c).condition, cm.vars()))
          continue;
        ++pc;
      }
      cm.set_pc(pc);
      return;
    }
    cm.EndPage();
  }
};

// Elseif and Else reached from a taken block pass over their own block.
class TPassBlock final : public ICommandBehaviour {
public:
  void Run(TCommand& cmd, TCallMan& cm) const override {
    const TComList& list = cm.page()->commands();
    int32_t pc = cm.pc() + 1;
    while (pc < list.Count() && list[pc].header.indent > cmd.header.indent)
      ++pc;
    cm.set_pc(pc);
  }
};

class TNext final : public ICommandBehaviour {
public:
  void Run(TCommand&, TCallMan& cm) const override { cm.set_pc(cm.pc() + 1); }
};

class TJump final : public TBehaviour<TComJump> {
public:
  void Run(TComJump& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    if (!Holds(cmd.condition, cm.vars()) || !cm.host().PageExists(cmd.page))
      return;
    cm.set_page(cm.GetPage(cmd.page, TPromote::Yes));
    cm.set_pc(cmd.target);
  }
};

class TCall final : public TBehaviour<TComCall> {
public:
  void Run(TComCall& cmd, TCallMan& cm) const override {
    const int32_t back = cm.pc() + 1;
    cm.set_pc(back);
    if (!Holds(cmd.condition, cm.vars()) || !cm.host().PageExists(cmd.page))
      return;
    std::vector<std::string> args;
    for (TCommandExpr& e : cmd.args) {
      if (e.IsEmpty())
        continue;
      e.parser.Execute(cm.vars());
      if (const TCustomParam* r = e.parser.Result())
        args.push_back(r->AsStr());
    }
    TStack frame;
    frame.page_name = cm.page()->name();
    frame.result_var = cmd.result_var;
    frame.cont = cm.cont();
    frame.sender = cm.sender();
    frame.args = cm.args();
    TPage* callee = cm.GetPage(cmd.page, TPromote::Yes);
    frame.pc = back;
    const uint8_t type = callee->result_type();
    if (type >= PT_INT && type <= PT_STR)
      frame.result = NewParam(type);
    cm.Push(std::move(frame));
    cm.set_args(std::move(args));
    cm.set_page(callee);
    cm.set_pc(cmd.target);
  }
};

class TExit final : public TBehaviour<TComExit> {
public:
  void Run(TComExit& cmd, TCallMan& cm) const override {
    if (Holds(cmd.condition, cm.vars()))
      cm.EndPage();
    else
      cm.set_pc(cm.pc() + 1);
  }
};

class TWait final : public ICommandBehaviour {
public:
  void Start(TCommand& c, TCallMan& cm) const override {
    TComWait& cmd = CommandAs<TComWait>(c);
    TWaitState& s = cmd.running;
    s.time_left_ms = 0;
    if (!cmd.time_ms.IsEmpty()) {
      cmd.time_ms.parser.Execute(cm.vars());
      if (const TCustomParam* r = cmd.time_ms.parser.Result())
        s.time_left_ms = r->AsInt();
    }
    s.first_frames = 1;
    s.no_events = Evaluate(cmd.no_events, cm.vars()) == TCondition::True;
  }
  void Run(TCommand& c, TCallMan& cm) const override {
    TComWait& cmd = CommandAs<TComWait>(c);
    TWaitState& s = cmd.running;
    if (Evaluate(cmd.condition, cm.vars()) == TCondition::False) {
      cm.set_pc(cm.pc() + 1);
      return;
    }
    if (s.time_left_ms != 0) {
      if (s.first_frames > 0) {
        --s.first_frames;
      } else {
        s.time_left_ms -= RunState().FrameDelta;
        if (s.time_left_ms <= 0) {
          cm.set_pc(cm.pc() + 1);
          return;
        }
      }
    }
    cm.set_cont(false);
  }
  bool Yields(const TCommand&) const override { return true; }
  bool BlocksEvents(const TCommand& c) const override {
    return CommandAs<TComWait>(c).running.no_events;
  }
};

class TCalc final : public TBehaviour<TComCalc> {
public:
  void Run(TComCalc& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    Eval(cmd.expr, cm.vars());
  }
};

class TVarNew final : public TBehaviour<TComVarNew> {
public:
  void Run(TComVarNew& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    const TVarScope scope = cmd.scope <= 3 ? static_cast<TVarScope>(cmd.scope) : TVarScope::Global;
    cm.vars().Declare(cmd.name, cmd.type, scope,
                      cmd.initial.IsEmpty() ? nullptr : &cmd.initial.parser);
  }
};

class TVarDel final : public TBehaviour<TComVarDel> {
public:
  void Run(TComVarDel& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    if (cmd.name.empty())
      return;
    TParamCollectionItem* item = cm.vars().Find(cmd.name);
    if (item && !item->IsSystem())
      cm.vars().Destroy(item);
  }
};

class TWhileInit final : public TBehaviour<TComWhileInit> {
public:
  void Run(TComWhileInit& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    Eval(cmd.expr, cm.vars());
  }
};

class TWhile final : public TBehaviour<TComWhile> {
public:
  void Run(TComWhile& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    if (!Holds(cmd.condition, cm.vars()))
      cm.set_pc(cmd.end_index);
  }
};

class TWhileLoop final : public TBehaviour<TComWhileLoop> {
public:
  void Run(TComWhileLoop& cmd, TCallMan& cm) const override {
    cm.set_pc(cmd.head_index);
    Eval(cmd.expr, cm.vars());
  }
};

class TBreak final : public TBehaviour<TComBreak> {
public:
  void Run(TComBreak& cmd, TCallMan& cm) const override {
    if (Holds(cmd.condition, cm.vars()))
      GoTo(cm, cmd.target);
    else
      cm.set_pc(cm.pc() + 1);
  }
};

class TContinue final : public TBehaviour<TComContinue> {
public:
  void Run(TComContinue& cmd, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    if (Holds(cmd.condition, cm.vars()))
      GoTo(cm, cmd.target);
  }
};

class TDoEvent final : public ICommandBehaviour {
public:
  void Run(TCommand&, TCallMan& cm) const override {
    cm.set_pc(cm.pc() + 1);
    cm.set_cont(false);
  }
  bool Yields(const TCommand&) const override { return true; }
};

class TTerminate final : public ICommandBehaviour {
public:
  void Run(TCommand&, TCallMan& cm) const override {
    RunState().Terminating = true;
    cm.host().CloseMainWindow();
  }
};

class TReset final : public TBehaviour<TComReset> {
public:
  void Run(TComReset& cmd, TCallMan& cm) const override {
    cm.host().ResetWorld();
    cm.vars().ResetAll();
    cm.Start(cmd.page);
    cm.set_pc(cmd.target);
  }
};

class TPCReset final : public TBehaviour<TComPCReset> {
public:
  void Run(TComPCReset& cmd, TCallMan& cm) const override {
    if (cmd.ClearAllCalls())
      ClearAll(cmd, cm);
    else
      Redirect(cmd, cm);
  }

private:
  static void ClearAll(TComPCReset& cmd, TCallMan& cm) {
    TStackList& stack = cm.stack();
    cm.vars().DestroyFrame(stack.Count());
    for (int32_t i = stack.Count() - 1; i >= 0; --i) {
      cm.vars().DestroyFrame(i);
      const TStack& frame = stack.At(i);
      if (frame.sender || !frame.started || frame.page_name.empty())
        continue;
      TPage* page = cm.GetPage(frame.page_name, TPromote::No);
      if (frame.pc >= 0 && frame.pc < page->commands().Count()) {
        TCommand& suspended = page->commands()[frame.pc];
        cm.BehaviourOf(suspended).Abort(suspended, cm);
      }
    }
    cm.Start(cmd.page);
    cm.set_pc(cmd.target);
    cm.host().Events().Clear();
  }

  static void Redirect(TComPCReset& cmd, TCallMan& cm) {
    TStackList& stack = cm.stack();
    cm.vars().DestroyFrame(stack.Count());
    int32_t handler = -1;
    for (int32_t i = 0; i < stack.Count() && handler < 0; ++i) {
      if (stack.At(i).sender)
        handler = i;
    }
    if (handler < 0 && !cm.SenderName().empty())
      handler = stack.Count();
    int32_t main = -1;
    for (int32_t i = handler - 1; i >= 0 && main < 0; --i) {
      if (!stack.At(i).sender)
        main = i;
    }
    if (main >= 0) {
      cm.vars().DestroyFrame(main);
      TStack& frame = stack.At(main);
      frame.page_name = cmd.page;
      frame.pc = cmd.target;
      frame.started = false;
      frame.result_var.clear();
      frame.args.clear();
      frame.running_state.reset();
      cm.set_pc(cm.pc() + 1);
    } else {
      cm.set_page(cm.GetPage(cmd.page, TPromote::Yes));
      cm.set_pc(cmd.target);
    }
    cm.host().Events().RemoveStarted();
  }
};

struct TFlowBehaviours {
  TIf if_;
  TPassBlock pass;
  TNext next;
  TJump jump;
  TCall call;
  TExit exit;
  TWait wait;
  TCalc calc;
  TVarNew var_new;
  TVarDel var_del;
  TWhileInit while_init;
  TWhile while_;
  TWhileLoop while_loop;
  TBreak break_;
  TContinue continue_;
  TDoEvent do_event;
  TTerminate terminate;
  TReset reset;
  TPCReset pc_reset;

  const ICommandBehaviour* Of(TCommandId id) const {
    switch (id) {
    case TCommandId::If:
      return &if_;
    case TCommandId::Elseif:
    case TCommandId::Else:
      return &pass;
    case TCommandId::Label:
    case TCommandId::Comment:
      return &next;
    case TCommandId::Jump:
      return &jump;
    case TCommandId::Call:
      return &call;
    case TCommandId::Exit:
      return &exit;
    case TCommandId::Wait:
      return &wait;
    case TCommandId::Calc:
      return &calc;
    case TCommandId::VarNew:
      return &var_new;
    case TCommandId::VarDel:
      return &var_del;
    case TCommandId::WhileInit:
      return &while_init;
    case TCommandId::While:
      return &while_;
    case TCommandId::WhileLoop:
      return &while_loop;
    case TCommandId::Break:
      return &break_;
    case TCommandId::Continue:
      return &continue_;
    case TCommandId::DoEvent:
      return &do_event;
    case TCommandId::Terminate:
      return &terminate;
    case TCommandId::Reset:
      return &reset;
    case TCommandId::PCReset:
      return &pc_reset;
    default:
      return nullptr;
    }
  }
};

} // namespace

const ICommandBehaviour* FlowBehaviour(TCommandId id) {
  static const TFlowBehaviours behaviours;
  return behaviours.Of(id);
}

} // namespace nova
