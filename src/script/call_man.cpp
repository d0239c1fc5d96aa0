// SPDX-License-Identifier: MIT
#include "script/call_man.h"

#include <algorithm>
#include <cstdio>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "expr/build_parser.h"
#include "expr/param_collection.h"
#include "platform/clock.h"
#include "platform/user_message.h"
#include "scene/timer_list.h"

namespace nova {
namespace {

// Kinds whose behaviour is not built in here go on with the next command.
class TAdvance final : public ICommandBehaviour {
public:
  void Run(TCommand&, TCallMan& cm) const override { cm.set_pc(cm.pc() + 1); }
};
const TAdvance kAdvance;

// Handler text "page:label" or "page": scanned from the end, a ":" splits off the label unless
// a "." or "\" comes first; characters that are the second byte of a double-byte character never
// count. The file name always ends in "nsb".
void SplitHandler(const std::string& text, std::string& file, std::string& label) {
  file = text;
  label.clear();
  for (size_t i = text.size(); i-- > 1;) {
    const char c = text[i];
    if (c != ':' && c != '.' && c != '\\')
      continue;
    if (IsTrailByteAt(text, i))
      continue;
    if (c == ':') {
      file = text.substr(0, i);
      label = text.substr(i + 1);
    }
    break;
  }
  file.replace(file.size() - std::min<size_t>(3, file.size()), std::string::npos, "nsb");
}

// Text of a value for the evaluate-text function: quoted, with its own quotes escaped.
std::string QuotedText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"')
      out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

} // namespace

TCallMan::TCallMan(Context context) : ctx_(context) {
  for (size_t i = 0; i < behaviours_.size(); ++i)
    behaviours_[i] = FlowBehaviour(static_cast<TCommandId>(i));
}

TCallMan::~TCallMan() = default;

void TCallMan::SetBehaviour(TCommandId id, const ICommandBehaviour* behaviour) {
  behaviours_[static_cast<size_t>(id)] = behaviour;
}

const ICommandBehaviour& TCallMan::BehaviourOf(const TCommand& cmd) const {
  const ICommandBehaviour* b = behaviours_[static_cast<size_t>(cmd.Id())];
  return b ? *b : kAdvance;
}

void TCallMan::Push(TStack frame) {
  if (stack_.Count() >= kMaxCallDepth)
    throw ENovaError("page " + frame.page_name + ": calls nested deeper than " +
                     std::to_string(kMaxCallDepth) +
                     " levels (a page that calls itself without end)");
  stack_.Push(std::move(frame));
  ctx_.vars.current_frame = stack_.Count();
}

TStack& TCallMan::Pop() {
  TStack& frame = stack_.Pop();
  ctx_.vars.current_frame = stack_.Count();
  return frame;
}

void TCallMan::ClearStack() {
  stack_.Clear();
  ctx_.vars.current_frame = 0;
}

void TCallMan::Start(const std::string& name) {
  page_ = GetPage(name, TPromote::Yes);
  pc_ = 0;
  started_ = false;
  args_.clear();
  state_ = csMain;
  ClearStack();
  sender_ = nullptr;
  ctx_.host.Events().RemoveLevelsUpTo(event_level_);
  event_level_ = 2;
  cont_ = true;
  last_traced_ = nullptr;
}

TPage* TCallMan::GetPage(const std::string& name, TPromote promote) {
  if (promote == TPromote::Yes)
    pc_ = 0;
  for (size_t i = 0; i < cache_.size(); ++i) {
    if (cache_[i]->name() != name)
      continue;
    if (promote == TPromote::Yes)
      std::rotate(cache_.begin(), cache_.begin() + static_cast<ptrdiff_t>(i),
                  cache_.begin() + static_cast<ptrdiff_t>(i) + 1);
    return promote == TPromote::Yes ? cache_.front().get() : cache_[i].get();
  }
  auto loaded = std::make_unique<TPage>();
  loaded->Load(name, ctx_.files, ctx_.dialogs);
  TPage* page = loaded.get();
  if (promote == TPromote::No) {
    cache_.push_back(std::move(loaded));
    return page;
  }
  cache_.insert(cache_.begin(), std::move(loaded));
  for (size_t i = cache_.size(); i-- > static_cast<size_t>(kCachedPages);) {
    if (cache_[i].get() != page_)
      cache_.erase(cache_.begin() + static_cast<ptrdiff_t>(i));
  }
  return page;
}

void TCallMan::Trace(const char* tag, const std::string& page, int32_t line) {
  char clock[16];
  std::snprintf(clock, sizeof clock, "%.8x", static_cast<uint32_t>(RunState().GameClock));
  trace_(std::string(clock) + " : " + tag + page + "(" + std::to_string(line) + ")");
}

void TCallMan::ExecuteCommand() {
  try {
    if (!Inside()) {
      page_ = nullptr;
      return;
    }
    TCommand& cmd = page_->commands()[pc_];
    if (trace_ && &cmd != last_traced_) {
      last_traced_ = &cmd;
      Trace("", page_->name(), cmd.header.line);
    }
    const ICommandBehaviour& behaviour = BehaviourOf(cmd);
    if (!started_) {
      if (cmd.Skip()) {
        ++pc_;
        return;
      }
      behaviour.Start(cmd, *this);
      started_ = true;
    }
    cont_ = cmd.Continue();
    yield_ = behaviour.Yields(cmd);
    const TPage* page = page_;
    const int32_t pc = pc_;
    behaviour.Run(cmd, *this);
    if (page_ != page || pc_ != pc)
      started_ = false;
    else
      stalled_ = true;
  } catch (const std::exception& e) {
    Stop(e);
  }
}

void TCallMan::Stop(const std::exception& e) {
  last_error_ = e.what();
  RunState().Terminating = true;
  if (stop_report_)
    stop_report_(UserMessage(e));
}

int TCallMan::StepOnce() {
  stalled_ = false;
  yield_ = false;
  if (!page_ || RunState().Terminating) {
    stalled_ = true;
    return 0;
  }
  ExecuteCommand();
  if (RunState().Terminating)
    return 0;
  const int r = yield_ ? 2 : 0;
  if (page_)
    return r;
  if (stack_.Count() == 0) {
    cont_ = false;
    return r;
  }
  ctx_.vars.DestroyFrame(stack_.Count());
  TStack& frame = Pop();
  ReturnFromFrame(frame);
  if (!frame.sender)
    return 1;
  return r == 0 ? -1 : r;
}

void TCallMan::ReturnFromFrame(TStack& frame) {
  if (!frame.result_var.empty() && frame.result)
    AssignResult(frame.result_var, *frame.result);
  page_ = frame.page_name.empty() ? nullptr : GetPage(frame.page_name, TPromote::Yes);
  pc_ = frame.pc;
  started_ = frame.started;
  cont_ = frame.cont;
  args_ = frame.args;
  sender_ = frame.sender;
  if (frame.running_state && started_ && Inside()) {
    BinaryReader r(*frame.running_state, "running state of " + frame.page_name);
    page_->commands()[pc_].LoadRunningState(r);
  }
}

void TCallMan::AssignResult(const std::string& name, const TCustomParam& value) {
  TParamCollectionItem* item = ctx_.vars.Find(name);
  if (item && item->Name() == name && item->Value()) {
    TCustomParam& dest = *item->Value();
    dest.SetDims(value.Dims());
    const int32_t count = std::min(dest.Count(), value.Count());
    for (int32_t i = 0; i < count; ++i) {
      switch (dest.DataType()) {
      case PT_INT:
        dest.SetIntAt(i, value.IntAt(i));
        break;
      case PT_FLOAT:
        dest.SetRealAt(i, value.RealAt(i));
        break;
      case PT_BOOL:
        dest.SetFlagAt(i, value.FlagAt(i));
        break;
      case PT_STR:
        dest.SetStrAt(i, value.StrAt(i));
        break;
      default:
        break;
      }
    }
    return;
  }
  // An element ("a[2]") or a name no variable has: assigned as an expression, or not at all.
  EvaluateText(ctx_.vars, name + " = " + QuotedText(value.AsStr()));
}

int TCallMan::DispatchEvent(int32_t level) {
  if (IsBlockingEvents())
    return 0;
  TTimerList& events = ctx_.host.Events();
  const int index = events.NextWaiting();
  if (index < 0)
    return 0;
  std::string file, label;
  SplitHandler(events.At(index).handler, file, label);
  if (!ctx_.host.PageExists(file))
    return 0;

  TStack frame;
  frame.page_name = page_ ? page_->name() : std::string();
  frame.pc = pc_;
  frame.started = started_;
  frame.args = args_;
  frame.sender = sender_;
  frame.cont = cont_;
  if (Inside() && started_ && page_->commands()[pc_].HasRunningState()) {
    BinaryWriter w;
    page_->commands()[pc_].SaveRunningState(w);
    frame.running_state = w.Take();
  }
  Push(std::move(frame));

  page_ = GetPage(file, TPromote::Yes);
  pc_ = label.empty() ? 0 : std::max(0, page_->FindLabel(label));
  if (trace_)
    Trace("<Event>", file, Inside() ? page_->commands()[pc_].header.line : 0);
  started_ = false;
  TTimerData& event = events.At(index);
  event.level = level;
  args_ = event.params;
  sender_ = event.component;
  state_ = csEvent;
  return 1;
}

void TCallMan::Run() {
  TTimerList& events = ctx_.host.Events();
  const uint32_t started_ms = PlatformClock().NowMs();
  int32_t steps = 0;
  try {
    do {
      stalled_ = false;
      switch (state_) {
      case csMain:
        if (DispatchEvent(1) == 0)
          StepOnce();
        break;
      case csEvent: {
        const int rc = StepOnce();
        if (rc == 1) {
          events.RemoveLevel(1);
          state_ = csMain;
          cont_ = true;
        } else if (rc == 2) {
          event_level_ = 2;
          state_ = csEventYielded;
          return;
        } else if (state_ != csEvent) {
          cont_ = true;
        }
        break;
      }
      case csEventYielded:
        if (DispatchEvent(event_level_) == 0) {
          state_ = event_level_ > 2 ? csNestedEvent : csEvent;
        } else {
          ++event_level_;
          state_ = csNestedEvent;
        }
        break;
      default: {
        const int rc = StepOnce();
        if (rc == 1 || rc == -1) {
          --event_level_;
          events.RemoveLevel(event_level_);
          if (event_level_ <= 2)
            state_ = csEventYielded;
        } else if (rc == 2) {
          state_ = csEventYielded;
          return;
        }
        break;
      }
      }
      // A command that keeps running without clearing its continue flag, or a script that has
      // ended, would otherwise be stepped again and again within one frame.
      if (stalled_)
        return;
      if (++steps % 1024 == 0 &&
          (steps >= kMaxCommandsPerFrame || PlatformClock().NowMs() - started_ms >= kFrameBudgetMs))
        return;
    } while ((cont_ || state_ != csMain) && !RunState().Terminating);
  } catch (const std::exception& e) {
    // Pages loaded outside a command (an event's page, the page returned to) fail here.
    Stop(e);
  }
}

bool TCallMan::IsBlockingEvents() const {
  if (!Inside() || !started_)
    return false;
  const TCommand& cmd = page_->commands()[pc_];
  return BehaviourOf(cmd).BlocksEvents(cmd);
}

std::string TCallMan::SenderName() const {
  if (state_ == csMain || !sender_)
    return {};
  return ctx_.host.SenderName(sender_);
}

std::string TCallMan::Argument(int32_t i) const {
  if (i < 0 || i >= ArgumentCount())
    return {};
  return args_[static_cast<size_t>(i)];
}

TCustomParam* TCallMan::TopResult() {
  if (stack_.Count() == 0)
    return nullptr;
  return stack_.Top().result.get();
}

uint8_t TCallMan::ResultType() { return page_ ? page_->result_type() : 0; }

bool TCallMan::DeleteStack(int32_t index) {
  if (index < 0 || index >= stack_.Count())
    return false;
  TParamCollection& vars = ctx_.vars;
  vars.DestroyFrame(index);
  stack_.Erase(index);
  vars.ForEach([index](TParamCollectionItem& item) {
    if (!item.IsSystem() && item.frame > index)
      --item.frame;
  });
  vars.current_frame = stack_.Count();
  return true;
}

} // namespace nova
