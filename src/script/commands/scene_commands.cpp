// SPDX-License-Identifier: MIT
#include "script/commands/scene_commands.h"

namespace nova {

void TComGetProp::Fields(TFieldVisitor& v) {
  v.Expr("object", object);
  v.Expr("prop", prop_id);
  v.Str("var", var_name);
}

void TComSetProp::Fields(TFieldVisitor& v) {
  v.Expr("object", object);
  v.Expr("prop", prop_id);
  v.Expr("value", value);
}

void TComFlip::Fields(TFieldVisitor& v) {
  v.Expr("kind", kind);
  v.Expr("time", duration_ms);
  v.Expr("flag", transition_flag);
  v.Expr("keep", keep_mode);
  v.ExprList("names", names);
  v.Expr("delold", delete_old);
  v.Expr("param1", param1);
  v.Expr("param2", param2);
  if (v.Since(101))
    v.Expr("source", source);
  if (v.Since(107))
    v.Expr("noevents", no_events);
}

void TComTextIns::Fields(TFieldVisitor& v) {
  v.Blob("text", glyph_stream);
  v.Expr("box", box);
  v.Expr("history", record_history);
  v.Expr("wait", wait);
  if (v.Since(107))
    v.Expr("noevents", no_events);
}

void TComMovieStop::Fields(TFieldVisitor& v) {
  v.Expr("object", object);
  v.Expr("fade", fade_ms);
  v.Expr("wait", wait);
  if (v.Since(107))
    v.Expr("noevents", no_events);
}

void TComCallHist::Fields(TFieldVisitor& v) {
  v.Expr("box", box);
  v.Expr("first", first);
  v.Expr("count", count);
  v.Expr("readback", read_back);
  if (v.Since(111))
    v.Expr("format", format);
}

void TComPropMotion::Fields(TFieldVisitor& v) {
  v.Expr("name", name);
  v.Expr("object", target);
  v.Expr("prop", prop_id);
  v.Expr("value", end_value);
  v.Expr("time", duration_ms);
  v.Expr("curve", curve);
  if (v.Since(108))
    v.Expr("paused", paused);
}

void TComEntryHist::Fields(TFieldVisitor& v) {
  v.Expr("object", template_name);
  if (v.Since(111))
    v.Expr("format", format);
}

} // namespace nova
