// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "script/commands/simple_command.h"
#include "script/running_state.h"

namespace nova {

// Records of the property, text, history, media and flip commands.

// Commands whose whole record is one expression naming a component or message box.
template <TCommandId Kind> class TNamedObjectCommand : public TKindCommand<Kind> {
public:
  using TKindCommand<Kind>::TKindCommand;
  void Fields(TFieldVisitor& v) override { v.Expr("object", object); }
  TCommandExpr object;
};

class TComObjDel final : public TNamedObjectCommand<TCommandId::ObjDel> {
public:
  using TNamedObjectCommand::TNamedObjectCommand;
};
class TComMenuClose final : public TNamedObjectCommand<TCommandId::MenuClose> {
public:
  using TNamedObjectCommand::TNamedObjectCommand;
};
class TComTextClr final : public TNamedObjectCommand<TCommandId::TextClr> {
public:
  using TNamedObjectCommand::TNamedObjectCommand;
};
class TComMediaPlay final : public TNamedObjectCommand<TCommandId::MediaPlay> {
public:
  using TNamedObjectCommand::TNamedObjectCommand;
};

class TComGetProp final : public TKindCommand<TCommandId::GetProp> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr object;
  TCommandExpr prop_id;
  std::string var_name;
};

class TComSetProp final : public TKindCommand<TCommandId::SetProp> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr object;
  TCommandExpr prop_id;
  TCommandExpr value;
};

class TComFlip final : public TRunningCommand<TCommandId::Flip, TFlipState> {
public:
  using TRunningCommand::TRunningCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr kind;
  TCommandExpr duration_ms;
  TCommandExpr transition_flag;
  TCommandExpr keep_mode;
  std::vector<TCommandExpr> names;
  TCommandExpr delete_old;
  TCommandExpr param1;
  TCommandExpr param2;
  TCommandExpr source;    // page version > 100
  TCommandExpr no_events; // page version > 106
};

class TComTextIns final : public TRunningCommand<TCommandId::TextIns, TTextInsState> {
public:
  using TRunningCommand::TRunningCommand;
  void Fields(TFieldVisitor& v) override;
  std::string glyph_stream; // the text as a glyph-list stream, kept unparsed
  TCommandExpr box;
  TCommandExpr record_history;
  TCommandExpr wait;
  TCommandExpr no_events; // page version > 106
};

class TComMovieStop final : public TRunningCommand<TCommandId::MovieStop, TMovieStopState> {
public:
  using TRunningCommand::TRunningCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr object;
  TCommandExpr fade_ms;
  TCommandExpr wait;
  TCommandExpr no_events; // page version > 106
};

class TComClrHist final : public TNoFieldCommand<TCommandId::ClrHist> {
public:
  using TNoFieldCommand::TNoFieldCommand;
};

class TComClrRead final : public TNoFieldCommand<TCommandId::ClrRead> {
public:
  using TNoFieldCommand::TNoFieldCommand;
};

class TComCallHist final : public TKindCommand<TCommandId::CallHist> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr box;
  TCommandExpr first;
  TCommandExpr count;
  TCommandExpr read_back;
  TCommandExpr format; // page version > 110
};

class TComPropMotion final : public TKindCommand<TCommandId::PropMotion> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr name;
  TCommandExpr target;
  TCommandExpr prop_id;
  TCommandExpr end_value;
  TCommandExpr duration_ms;
  TCommandExpr curve;
  TCommandExpr paused; // page version > 107
};

// FormatHist builds this class.
class TComEntryHist final : public TKindCommand<TCommandId::FormatHist> {
public:
  using TKindCommand::TKindCommand;
  void Fields(TFieldVisitor& v) override;
  TCommandExpr template_name;
  TCommandExpr format; // page version > 110
};

} // namespace nova
