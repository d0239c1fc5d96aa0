// SPDX-License-Identifier: MIT
#include "script/commands/flow_commands.h"

namespace nova {

void TComIf::Fields(TFieldVisitor& v) { v.Expr("cond", condition); }

void TComLabel::Fields(TFieldVisitor& v) { v.Str("name", label); }

void TComJump::Fields(TFieldVisitor& v) {
  v.Str("page", page);
  v.Target("target", target, TTargetPage::Named);
  v.Expr("cond", condition);
}

void TComCall::Fields(TFieldVisitor& v) {
  v.Str("page", page);
  v.Target("target", target, TTargetPage::Named);
  v.Str("result", result_var);
  v.Expr("cond", condition);
  v.ExprList("args", args);
}

void TComExit::Fields(TFieldVisitor& v) { v.Expr("cond", condition); }

void TComWait::Fields(TFieldVisitor& v) {
  v.Expr("cond", condition);
  v.Expr("time", time_ms);
  if (v.Since(107))
    v.Expr("noevents", no_events);
}

void TComCalc::Fields(TFieldVisitor& v) { v.Expr("expr", expr); }

void TComVarNew::Fields(TFieldVisitor& v) {
  v.Str("name", name);
  v.Byte("type", type);
  v.Expr("value", initial);
  v.Byte("scope", scope);
}

void TComVarDel::Fields(TFieldVisitor& v) { v.Str("name", name); }

void TComComment::Fields(TFieldVisitor& v) { v.Str("text", text); }

void TComWhile::Fields(TFieldVisitor& v) {
  v.Expr("cond", condition);
  v.Target("end", end_index, TTargetPage::Own);
}

void TComWhileInit::Fields(TFieldVisitor& v) { v.Expr("expr", expr); }

void TComWhileLoop::Fields(TFieldVisitor& v) {
  v.Expr("expr", expr);
  v.Target("head", head_index, TTargetPage::Own);
}

void TComGameSave::Fields(TFieldVisitor& v) {
  v.Expr("slot", slot);
  v.Str("page", resume_page);
  if (v.Since(105))
    v.Target("index", resume_index, TTargetPage::Named);
  v.Expr("title", title);
}

void TComGameLoad::Fields(TFieldVisitor& v) { v.Expr("slot", slot); }

} // namespace nova
