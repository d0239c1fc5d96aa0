// SPDX-License-Identifier: MIT
// The call manager's record in a saved game: the current page and its state, the call stack
// with each frame's running state and result, and the running state of the started command.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "script/call_man.h"

namespace nova {
namespace {

// Games from this version on carry the event level.
constexpr Since kEventLevelSaved{116};
// A frame record is at least its fixed fields.
constexpr size_t kMinFrameBytes = 4 + 4 + 1 + 1 + 4 + 4 + 4 + 4 + 1;

// A component by name: empty when there is none or it has left the scene.
void SyncSender(TSerializer& s, TNovaObject*& sender, ICallManHost& host) {
  std::string name = s.Saving() && sender ? host.SenderName(sender) : std::string();
  s.String(name);
  if (s.Loading())
    sender = name.empty() ? nullptr : host.FindComponent(name);
}

// The called page's result: its type byte (0 for none), then the value's own record.
void SyncResult(TSerializer& s, std::unique_ptr<TCustomParam>& result) {
  uint8_t type = result ? result->DataType() : 0;
  s.U8(type);
  if (type == 0)
    return;
  if (s.Saving()) {
    result->SaveToStream(s.Writer());
    return;
  }
  if (type < PT_INT || type > PT_STR)
    s.Reader().Fail("call frame result of type " + std::to_string(type));
  result = NewParam(type);
  result->LoadFromStream(s.Reader());
}

void SyncFrame(TSerializer& s, TStack& f, ICallManHost& host) {
  s.String(f.page_name);
  s.I32(f.pc);
  s.Bool(f.started);
  s.Bool(f.cont);
  s.String(f.result_var);
  s.StringList(f.args);
  SyncSender(s, f.sender, host);
  std::vector<uint8_t> state = f.running_state.value_or(std::vector<uint8_t>{});
  s.Bytes(state, "running-state length");
  if (s.Loading() && !state.empty())
    f.running_state = std::move(state);
  SyncResult(s, f.result);
}

} // namespace

void TCallMan::Save(BinaryWriter& w) const {
  TSerializer s(w);
  // Saving only reads what the description names.
  const_cast<TCallMan*>(this)->Sync(s);
}

void TCallMan::Load(BinaryReader& r, int32_t save_version) {
  TSerializer s(r, save_version);
  Sync(s);
}

void TCallMan::Sync(TSerializer& s) {
  ICallManHost& host = ctx_.host;
  // The page and its counter take effect once the stack has loaded.
  std::string page = page_ ? page_->name() : std::string();
  int32_t pc = pc_;
  s.String(page);
  s.I32(pc);
  s.Bool(cont_);
  s.Bool(started_);
  s.I32(state_);
  if (s.Loading() && (state_ < csMain || state_ > csNestedEvent))
    s.Reader().Fail("interpreter state " + std::to_string(state_));
  SyncSender(s, sender_, host);
  s.StringList(args_);
  TStack spare; // the spare frame means nothing after a load
  SyncFrame(s, s.Saving() ? stack_.Spare() : spare, host);
  std::vector<TStack> loaded;
  s.List(s.Saving() ? stack_.Frames() : loaded, kMinFrameBytes, "call frame count",
         [&s, &host](TStack& f) {
           SyncFrame(s, f, host);
           // A frame is returned to long after the load; a page it names must exist now.
           if (s.Loading() && !f.page_name.empty() && !host.PageExists(f.page_name))
             s.Reader().Fail("call frame of the missing page " + f.page_name);
         });
  if (s.Loading())
    event_level_ = 2; // older games run at the default level
  s.I32(event_level_, kEventLevelSaved);

  if (s.Loading()) {
    page_ = nullptr;
    if (!page.empty()) {
      page_ = GetPage(page, TPromote::Yes);
      // The counter may rest one past the last command (the page has ended).
      if (pc < 0 || pc > page_->commands().Count())
        s.Reader().Fail("program counter " + std::to_string(pc) + " outside the page " + page);
    }
    pc_ = pc;
    ClearStack();
    for (TStack& f : loaded)
      Push(std::move(f));
    last_traced_ = nullptr;
  }
  if (!started_ || !Inside())
    return;
  if (s.Saving())
    page_->commands()[pc_].SaveRunningState(s.Writer());
  else
    page_->commands()[pc_].LoadRunningState(s.Reader());
}

} // namespace nova
