// SPDX-License-Identifier: MIT
// Built-in functions on variables and expression text.
#include "expr/build_parser.h"
#include "expr/func_table.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"
#include "expr/private/func_call.h"

namespace nova {

namespace {

std::string TrimBytes(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<uint8_t>(s[b]) <= ' ')
    ++b;
  while (e > b && static_cast<uint8_t>(s[e - 1]) <= ' ')
    --e;
  return s.substr(b, e - b);
}

// Compile and run at once; any failure leaves the result empty.
void Calc(const TFuncCall& c) {
  std::string text = TrimBytes(c.Str(0));
  if (text.empty())
    return;
  try {
    TNovaParser p;
    CompileExpression(text, p);
    p.Execute(c.vars);
    if (p.LastError().empty())
      c.dest.SetFlag(true);
  } catch (const std::exception&) {
  }
}

} // namespace

bool CallVariableFunc(const TFuncCall& c) {
  switch (c.id) {
  case 50:
    c.dest.SetFlag(c.vars.Find(c.Str(0)) != nullptr);
    return true;
  case 84: {
    std::string name = c.Str(0);
    bool found = c.vars.Find(name) != nullptr;
    if (found)
      c.vars.temp_name = name;
    c.dest.SetFlag(found);
    return true;
  }
  case fnCalc:
    Calc(c);
    return true;
  case 155: {
    std::vector<std::string> names;
    for (size_t i = 0; i < c.Count(); ++i)
      names.push_back(c.Str(i));
    c.vars.PushVar(names);
    c.dest.SetFlag(true);
    return true;
  }
  case 156:
    c.vars.PopVar();
    c.dest.SetFlag(true);
    return true;
  case fnDeleteStack: {
    IExprCallHost* call = c.vars.Hosts().call;
    c.dest.SetFlag(call && call->DeleteStack(c.Int(0)));
    return true;
  }
  default:
    return false;
  }
}

} // namespace nova
