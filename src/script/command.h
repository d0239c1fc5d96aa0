// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "script/command_fields.h"
#include "script/command_kinds.h"

namespace nova {

class TComList;

// The common header of every command record.
struct TCommandHeader {
  int32_t indent = 0; // block depth; If/Elseif/Else find their blocks by it
  bool skip = false;
  bool cont = true; // go on with the next command in the same frame
  int32_t line = 0; // shown in traces
};

// One command of a page: its record (header and fields) and, for the kinds that wait across
// frames, its running state. What a command does when run is not here: the interpreter
// dispatches on Id() and works on the record class (see CommandAs below).
class TCommand {
public:
  explicit TCommand(TComList* owner) : owner_(owner) {}
  virtual ~TCommand() = default;
  TCommand(const TCommand&) = delete;
  TCommand& operator=(const TCommand&) = delete;

  virtual TCommandId Id() const = 0;
  // The header's flag unless a kind fixes it.
  virtual bool Continue() const { return header.cont; }
  virtual bool Skip() const { return header.skip; }
  void SetSkip(bool skip) { header.skip = skip; }
  virtual bool MatchesLabel(std::string_view) const { return false; }

  // The kind's fields after the header, in stored order.
  virtual void Fields(TFieldVisitor& v) = 0;

  // Header and fields; `version` is the page version, which decides the optional fields.
  void LoadRecord(BinaryReader& r, int32_t version);
  void SaveRecord(BinaryWriter& w, int32_t version);

  // Running state of a started command (only Wait, MovieStop, Flip and TextIns have one).
  virtual bool HasRunningState() const { return false; }
  virtual void SaveRunningState(BinaryWriter&) const {}
  virtual void LoadRunningState(BinaryReader&) {}

  TComList* owner() const { return owner_; }

  TCommandHeader header;
  // The kind byte as stored; bit 7 is ignored but kept so the record is rewritten as read.
  uint8_t kind_byte = 0;

private:
  TComList* owner_;
};

// The record class of a command the caller knows the kind of.
template <class T> T& CommandAs(TCommand& c) { return dynamic_cast<T&>(c); }
template <class T> const T& CommandAs(const TCommand& c) { return dynamic_cast<const T&>(c); }

} // namespace nova
