// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "expr/params.h"

namespace nova {

class TParamCollection;

// One call of a built-in function: its destination, id and arguments, with readers that
// convert through the value interface.
struct TFuncCall {
  TParamCollection& vars;
  TCustomParam& dest;
  uint8_t id;
  std::span<TCustomParam* const> args;

  size_t Count() const { return args.size(); }
  bool Has(size_t i) const { return i < args.size(); }
  TCustomParam& A(size_t i) const { return *args[i]; }
  int32_t Int(size_t i) const { return args[i]->AsInt(); }
  long double Real(size_t i) const { return args[i]->AsReal(); }
  bool Flag(size_t i) const { return args[i]->AsFlag(); }
  std::string Str(size_t i) const { return args[i]->AsStr(); }
  // True when argument i names a variable (so writes into it are kept).
  bool IsVar(size_t i) const;
  // Argument i as a variable; otherwise the error "<function>:変数が見つかりません".
  TCustomParam& Var(size_t i) const;
};

// Each group answers false for an id that is not its own.
bool CallStringFunc(const TFuncCall& c);
bool CallArrayFunc(const TFuncCall& c);
bool CallNumberFunc(const TFuncCall& c);
bool CallDateFunc(const TFuncCall& c);
bool CallVariableFunc(const TFuncCall& c);
bool CallDbFunc(const TFuncCall& c);
bool CallFileFunc(const TFuncCall& c);

std::string HanToZen(std::string_view s);
std::string ZenToHan(std::string_view s);

} // namespace nova
