// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/build_parser.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"
#include "expr/private/convert.h"

namespace nova {

// "TYPE:value" of a value, e.g. "I:3", "S:abc" (strings in UTF-8), "none" for null.
inline std::string Describe(const TCustomParam* p) {
  if (!p)
    return "none";
  static const char* kTypes = "NIRFS";
  std::string out(1, kTypes[p->DataType() <= 4 ? p->DataType() : 0]);
  out += ":";
  for (int32_t i = 0; i < p->Count(); ++i)
    out += (i ? "," : "") + SjisToUtf8(p->StrAt(i));
  return out;
}

// Compiles and runs UTF-8 text; returns the result's description.
inline std::string Eval(TParamCollection& vars, const std::string& utf8) {
  TNovaParser p;
  CompileExpression(Utf8ToSjis(utf8), p);
  p.Execute(vars);
  return Describe(p.Result());
}

inline std::string VarOf(TParamCollection& vars, const std::string& name) {
  TParamCollectionItem* it = vars.Find(name);
  return it ? Describe(it->Value()) : "missing";
}

} // namespace nova
