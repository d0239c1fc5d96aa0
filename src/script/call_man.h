// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "expr/expr_hosts.h"
#include "script/call_frame.h"
#include "script/call_man_host.h"
#include "script/command_behaviour.h"
#include "script/page.h"
#include "script/project_services.h"
#include "script/script_host.h"

namespace nova {

class BinaryReader;
class BinaryWriter;
class TParamCollection;
class TSerializer;

// Whether GetPage moves the page to the front of the cache and resets the program counter.
enum class TPromote { No, Yes };

// Interpreter states of Run.
enum TCallState : int32_t {
  csMain = 0,         // the main script
  csEvent = 1,        // an event handler runs
  csEventYielded = 2, // a handler yielded: further events may nest
  csNestedEvent = 3,  // a nested handler runs
};

// The interpreter: the current page and program counter, the call stack, the page cache and the
// state machine that interleaves the main script with the scene's queued events. Main thread.
class TCallMan final : public IProjectInterpreter, public IExprCallHost {
public:
  struct Context {
    TParamCollection& vars;
    IScriptFiles& files;
    IScriptDialogs& dialogs;
    ICallManHost& host;
  };

  // Pages cached besides the current one.
  static constexpr int32_t kCachedPages = 30;
  // A page that calls itself without end would grow the stack until memory runs out.
  static constexpr int32_t kMaxCallDepth = 10000;
  // A script that loops without waiting ends its frame after this many commands or this much
  // time on the platform clock (virtual in headless runs), and goes on in the next frame: the
  // window keeps answering and a headless run still reaches its frame count.
  static constexpr int32_t kMaxCommandsPerFrame = 100'000;
  static constexpr uint32_t kFrameBudgetMs = 250;

  explicit TCallMan(Context context);
  ~TCallMan() override;
  TCallMan(const TCallMan&) = delete;
  TCallMan& operator=(const TCallMan&) = delete;

  // Runs `name` from its first command with an empty stack, dropping the dispatched events.
  void Start(const std::string& name) override;
  // One frame: commands and event handlers until a command ends the frame or the frame's budget
  // is spent.
  void Run() override;

  // The cached page of exactly that name, or the page loaded now. Promoting resets the program
  // counter first (callers set it afterwards), moves the page to the front and trims the cache;
  // without promote nothing of the interpreter changes (text look-ups of pages not running).
  TPage* GetPage(const std::string& name, TPromote promote);
  // One command: -1 a handler returned to a handler, 0 go on, 1 returned to the main script,
  // 2 the command yielded.
  int StepOnce();
  // Starts the first waiting event as a handler call at `level`: 1 when it did.
  int DispatchEvent(int32_t level);
  bool IsBlockingEvents() const;
  std::string SenderName() const;

  // IExprCallHost: @Result, its type and DeleteStack.
  TCustomParam* TopResult() override;
  uint8_t ResultType() override;
  bool DeleteStack(int32_t index) override;

  int32_t ArgumentCount() const { return static_cast<int32_t>(args_.size()); }
  // Empty for an index out of range.
  std::string Argument(int32_t i) const;

  // Behaviour of a command kind; kinds without one only advance.
  void SetBehaviour(TCommandId id, const ICommandBehaviour* behaviour);
  // Trace writer: one line per command reached and per event started.
  void SetTrace(std::function<void(const std::string&)> trace) { trace_ = std::move(trace); }
  // Message of the exception that stopped the script (Terminating set); empty otherwise.
  const std::string& LastError() const { return last_error_; }
  // Told the message when an exception stops the script.
  void SetStopReport(std::function<void(const std::string&)> report) {
    stop_report_ = std::move(report);
  }

  // The call-manager record of a saved game (call_man_save.cpp). Loading raises ENovaError on
  // damaged data: a page that does not exist, a counter outside its page, a bad result type.
  void Save(BinaryWriter& w) const;
  void Load(BinaryReader& r, int32_t save_version);
  void Sync(TSerializer& s);

  // --- What the commands work on ---
  TParamCollection& vars() { return ctx_.vars; }
  ICallManHost& host() { return ctx_.host; }
  TPage* page() const { return page_; }
  void set_page(TPage* page) { page_ = page; }
  int32_t pc() const { return pc_; }
  void set_pc(int32_t pc) { pc_ = pc; }
  // Ends the current page: the interpreter returns to the frame below.
  void EndPage() { page_ = nullptr; }
  bool cont() const { return cont_; }
  // Whether the command at the counter has started (its running state is live).
  bool started() const { return started_; }
  void set_started(bool started) { started_ = started; }
  void set_cont(bool cont) { cont_ = cont; }
  int32_t state() const { return state_; }
  int32_t event_level() const { return event_level_; }
  TNovaObject* sender() const { return sender_; }
  const std::vector<std::string>& args() const { return args_; }
  void set_args(std::vector<std::string> args) { args_ = std::move(args); }
  TStackList& stack() { return stack_; }
  const TStackList& stack() const { return stack_; }
  // Pushes and pops keep the variable table's current frame equal to the stack count. A push
  // beyond kMaxCallDepth throws.
  void Push(TStack frame);
  TStack& Pop();
  void ClearStack();
  // Behaviour of a command (the advancing one for kinds without their own).
  const ICommandBehaviour& BehaviourOf(const TCommand& cmd) const;

private:
  void ExecuteCommand();
  void Stop(const std::exception& e);
  void ReturnFromFrame(TStack& frame);
  void AssignResult(const std::string& name, const TCustomParam& value);
  void Trace(const char* tag, const std::string& page, int32_t line);
  bool Inside() const { return page_ && pc_ >= 0 && pc_ < page_->commands().Count(); }

  Context ctx_;
  std::vector<std::unique_ptr<TPage>> cache_; // most recently used first
  TPage* page_ = nullptr;
  int32_t pc_ = 0;
  bool cont_ = false;
  TStackList stack_;
  bool started_ = false;
  std::vector<std::string> args_;
  int32_t state_ = csMain;
  TNovaObject* sender_ = nullptr;
  int32_t event_level_ = 2;

  bool yield_ = false;   // the last step's command yields
  bool stalled_ = false; // the last step ran nothing new: no page, or the command kept running
  std::array<const ICommandBehaviour*, 61> behaviours_{};
  std::function<void(const std::string&)> trace_;
  const TCommand* last_traced_ = nullptr;
  std::string last_error_;
  std::function<void(const std::string&)> stop_report_;
};

} // namespace nova
