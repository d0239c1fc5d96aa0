// SPDX-License-Identifier: MIT
// The call manager's record in a saved game: the current page and its state, the call stack
// with each frame's running state and result, and the running state of the started command.
#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "script/call_man.h"

namespace nova {
namespace {

// Saves from this version on carry the event level.
constexpr int32_t kEventLevelVersion = 116;

void WriteFrame(BinaryWriter& w, const TStack& f, ICallManHost& host) {
  w.String(f.page_name);
  w.I32(f.pc);
  w.Bool(f.started);
  w.Bool(f.cont);
  w.String(f.result_var);
  w.StringList(f.args);
  w.String(f.sender ? host.SenderName(f.sender) : std::string());
  const std::vector<uint8_t> none;
  const std::vector<uint8_t>& state = f.running_state ? *f.running_state : none;
  w.I32(static_cast<int32_t>(state.size()));
  w.Bytes(std::span<const uint8_t>(state));
  if (!f.result) {
    w.U8(0);
    return;
  }
  w.U8(f.result->DataType());
  f.result->SaveToStream(w);
}

TStack ReadFrame(BinaryReader& r, ICallManHost& host) {
  TStack f;
  f.page_name = r.String();
  f.pc = r.I32();
  f.started = r.Bool();
  f.cont = r.Bool();
  f.result_var = r.String();
  f.args = r.StringList();
  const std::string sender = r.String();
  f.sender = sender.empty() ? nullptr : host.FindComponent(sender);
  const int32_t length = r.I32();
  r.CheckCount(length, 1, "running-state length");
  auto state = r.Bytes(static_cast<size_t>(length));
  if (length > 0)
    f.running_state.emplace(state.begin(), state.end());
  const uint8_t type = r.U8();
  if (type != 0) {
    if (type < PT_INT || type > PT_STR)
      r.Fail("call frame result of type " + std::to_string(type));
    f.result = NewParam(type);
    f.result->LoadFromStream(r);
  }
  return f;
}

} // namespace

void TCallMan::Save(BinaryWriter& w) const {
  w.String(page_ ? page_->name() : std::string());
  w.I32(pc_);
  w.Bool(cont_);
  w.Bool(started_);
  w.I32(state_);
  w.String(sender_ ? ctx_.host.SenderName(sender_) : std::string());
  w.StringList(args_);
  WriteFrame(w, stack_.Spare(), ctx_.host);
  w.I32(stack_.Count());
  for (int32_t i = 0; i < stack_.Count(); ++i)
    WriteFrame(w, stack_.At(i), ctx_.host);
  w.I32(event_level_);
  if (started_ && Inside())
    page_->commands()[pc_].SaveRunningState(w);
}

void TCallMan::Load(BinaryReader& r, int32_t save_version) {
  const std::string page = r.String();
  const int32_t pc = r.I32();
  const bool cont = r.Bool();
  const bool started = r.Bool();
  const int32_t state = r.I32();
  if (state < csMain || state > csNestedEvent)
    r.Fail("interpreter state " + std::to_string(state));
  const std::string sender = r.String();
  std::vector<std::string> args = r.StringList();
  ReadFrame(r, ctx_.host); // the spare frame means nothing after a load
  const int32_t count = r.I32();
  // A frame record is at least its fixed fields.
  r.CheckCount(count, 4 + 4 + 1 + 1 + 4 + 4 + 4 + 4 + 1, "call frame count");
  std::vector<TStack> frames;
  frames.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    frames.push_back(ReadFrame(r, ctx_.host));
    // A frame is returned to long after the load; a page it names must exist now.
    const std::string& name = frames.back().page_name;
    if (!name.empty() && !ctx_.host.PageExists(name))
      r.Fail("call frame of the missing page " + name);
  }
  const int32_t level = save_version >= kEventLevelVersion ? r.I32() : 2;

  page_ = nullptr;
  if (!page.empty()) {
    page_ = GetPage(page, TPromote::Yes);
    // The counter may rest one past the last command (the page has ended).
    if (pc < 0 || pc > page_->commands().Count())
      r.Fail("program counter " + std::to_string(pc) + " outside the page " + page);
  }
  pc_ = pc;
  cont_ = cont;
  started_ = started;
  state_ = state;
  sender_ = sender.empty() ? nullptr : ctx_.host.FindComponent(sender);
  args_ = std::move(args);
  ClearStack();
  for (TStack& f : frames)
    Push(std::move(f));
  event_level_ = level;
  last_traced_ = nullptr;
  if (started_ && Inside())
    page_->commands()[pc_].LoadRunningState(r);
}

} // namespace nova
