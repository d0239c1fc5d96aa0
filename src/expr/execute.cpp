// SPDX-License-Identifier: MIT
// Running a compiled expression against the variable table.
#include <cmath>
#include <cstring>

#include "base/nova_error.h"
#include "expr/func_table.h"
#include "expr/nova_parser.h"
#include "expr/param_collection.h"
#include "expr/param_system.h"
#include "expr/private/convert.h"
#include "expr/private/expr_texts.h"
#include "expr/private/limits.h"
#include "expr/sys_func_man.h"

namespace nova {

namespace {

// Deeper nesting than this (Calc evaluating text that calls Calc again) stops the run.
constexpr int32_t kMaxExecuteDepth = 64;

bool IsTempName(std::string_view name) { return name.size() >= 4 && name.substr(0, 4) == "____"; }

const TCustomParam& Arg(const TOpeData& op, size_t i) {
  if (i >= op.args.size()) {
    throw ENovaError(std::string(OpeCodeName(op.opcode)) + ": operation has too few arguments");
  }
  return *op.args[i];
}

// `@Result` and `@Temp` stand for ordinary variables, which convert as every variable does.
bool IsAliasVar(const TCustomParam& system) {
  const uint8_t index = static_cast<const TParamSystem&>(system).Index();
  return index == svResult || index == svTemp;
}

// Stores `a` converted to `type`; a reference type stores nothing.
void AssignAs(TCustomParam& dest, const TCustomParam& a, TParamType type) {
  switch (type) {
  case PT_INT:
    dest.SetInt(a.AsInt());
    break;
  case PT_FLOAT:
    dest.SetReal(a.AsReal());
    break;
  case PT_BOOL:
    dest.SetFlag(a.AsFlag());
    break;
  case PT_STR:
    dest.SetStr(a.AsStr());
    break;
  default:
    break;
  }
}

[[noreturn]] void BadExpression(const TOpeData& op) {
  std::string msg = ExprText(TExprText::BadExpression) + op.dest + ExprText(TExprText::OpType) +
                    OpeCodeName(op.opcode);
  for (const auto& a : op.args)
    msg += "\r\n" + a->AsStr();
  throw ENovaError(msg);
}

uint8_t TempType(TParamCollection& vars, const TOpeData& op) {
  auto real_in = [&] {
    return Arg(op, 0).DataType() == PT_FLOAT || Arg(op, 1).DataType() == PT_FLOAT;
  };
  switch (op.opcode) {
  case ocTo:
    return Arg(op, 0).DataType();
  case ocPlus:
    if (Arg(op, 0).DataType() == PT_STR)
      return PT_STR;
    return real_in() ? PT_FLOAT : PT_INT;
  case ocMinus:
  case ocMul:
  case ocDiv:
    return real_in() ? PT_FLOAT : PT_INT;
  case ocDimTo:
    return PT_NONE;
  case ocFunc: {
    if (op.func_id == fnGetProp) {
      int32_t id = Arg(op, 1).AsInt();
      if (id < 0 || id > 169)
        throw ENovaError(ExprText(TExprText::BadGetProp));
      return vars.Hosts().funcs ? vars.Hosts().funcs->PropertyType(id) : PT_INT;
    }
    const TFuncInfo* info = FuncInfo(op.func_id);
    return info ? info->result_type : PT_INT;
  }
  case ocEqual:
  case ocBig:
  case ocSmall:
  case ocEBig:
  case ocESmall:
  case ocNEqual:
    return PT_BOOL;
  case ocComboStr:
    return PT_STR;
  case ocMod:
  case ocOr:
  case ocAnd:
  case ocXor:
  case ocShiftL:
  case ocShiftR:
    return PT_INT;
  default:
    BadExpression(op);
  }
}

[[noreturn]] void SubscriptError(const TOpeData& op, TExprText what) {
  std::string msg = static_cast<const TParamVar&>(*op.args[0]).Name() + "[";
  for (size_t i = 1; i < op.args.size(); ++i)
    msg += (i > 1 ? "," : "") + op.args[i]->AsStr();
  throw ENovaError(msg + "]\r\n" + ExprText(what));
}

// Makes the new temporary of an ocDimTo refer to one element of the array of argument 0.
void BindElement(TParamVar& ref, const TOpeData& op) {
  const TCustomParam& a0 = Arg(op, 0);
  if (!a0.IsReference())
    throw ENovaError(FormatText(TExprText::VarNotFound, a0.AsStr()));
  const auto& array = static_cast<const TParamVar&>(a0);
  int32_t k = array.DimCount();
  if (static_cast<int32_t>(op.args.size()) - 1 != k)
    SubscriptError(op, TExprText::BadSubscript);
  // Row-major with 32-bit wrapping, as the index arithmetic always was.
  uint32_t flat = 0;
  for (int32_t j = 0; j < k; ++j) {
    uint32_t stride = 1;
    for (int32_t m = j + 1; m < k; ++m)
      stride *= static_cast<uint32_t>(array.DimSize(m));
    flat += static_cast<uint32_t>(op.args[static_cast<size_t>(j) + 1]->AsInt()) * stride;
  }
  if (static_cast<int32_t>(flat) >= array.Count())
    SubscriptError(op, TExprText::BeyondCount);
  ref.Bind(array.Item(), static_cast<int32_t>(flat));
}

long double CheckedReal(long double v) {
  if (std::isnan(v))
    throw ENovaError("Invalid floating point operation");
  if (std::isinf(v))
    throw ENovaError("Floating point overflow");
  return v;
}

void Arithmetic(const TOpeData& op, TCustomParam& dest) {
  const TCustomParam& a = Arg(op, 0);
  const TCustomParam& b = Arg(op, 1);
  if (dest.DataType() == PT_FLOAT) {
    long double x = a.AsReal(), y = b.AsReal();
    switch (op.opcode) {
    case ocPlus:
      dest.SetReal(CheckedReal(x + y));
      break;
    case ocMinus:
      dest.SetReal(CheckedReal(x - y));
      break;
    case ocMul:
      dest.SetReal(CheckedReal(x * y));
      break;
    default:
      if (y == 0) {
        throw ENovaError(x == 0 ? "Invalid floating point operation"
                                : "Floating point division by zero");
      }
      dest.SetReal(CheckedReal(x / y));
      break;
    }
    return;
  }
  int32_t x = a.AsInt(), y = b.AsInt();
  uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
  switch (op.opcode) {
  case ocPlus:
    dest.SetInt(static_cast<int32_t>(ux + uy));
    break;
  case ocMinus:
    dest.SetInt(static_cast<int32_t>(ux - uy));
    break;
  case ocMul:
    dest.SetInt(static_cast<int32_t>(ux * uy));
    break;
  default:
    if (y == 0)
      throw ENovaError("Division by zero");
    if (x == INT32_MIN && y == -1)
      throw ENovaError("Integer overflow");
    dest.SetInt(x / y);
    break;
  }
}

int CompareBytes(const std::string& x, const std::string& y) {
  int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
  if (c != 0)
    return c;
  return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

bool Compare(const TOpeData& op) {
  const TCustomParam& a = Arg(op, 0);
  const TCustomParam& b = Arg(op, 1);
  int c;
  switch (a.DataType()) {
  case PT_STR:
    c = CompareBytes(a.AsStr(), b.AsStr());
    break;
  case PT_FLOAT: {
    long double x = a.AsReal(), y = b.AsReal();
    c = x < y ? -1 : (x > y ? 1 : 0);
    break;
  }
  case PT_BOOL:
    c = int(a.AsFlag()) - int(b.AsFlag());
    break;
  default: {
    int32_t x = a.AsInt(), y = b.AsInt();
    c = x < y ? -1 : (x > y ? 1 : 0);
    break;
  }
  }
  switch (op.opcode) {
  case ocEqual:
    return c == 0;
  case ocNEqual:
    return c != 0;
  case ocBig:
    return c > 0;
  case ocSmall:
    return c < 0;
  case ocEBig:
    return c >= 0;
  default:
    return c <= 0;
  }
}

void Perform(TParamCollection& vars, const TOpeData& op, TCustomParam& dest) {
  switch (op.opcode) {
  case ocTo: {
    const TCustomParam& a = Arg(op, 0);
    // System variables convert what they are given by rules of their own (the string "TRUE"
    // turns a flag one off, a text that is no number leaves an integer one unchanged), so they
    // receive the value in its own type.
    if (const TCustomParam* t = dest.Target(); t->IsSystem() && !IsAliasVar(*t)) {
      AssignAs(dest, a, a.DataType() == PT_NONE ? PT_INT : TParamType(a.DataType()));
      break;
    }
    AssignAs(dest, a, TParamType(dest.DataType()));
    break;
  }
  case ocPlus:
  case ocMinus:
  case ocMul:
  case ocDiv:
    Arithmetic(op, dest);
    break;
  case ocMod: {
    int32_t x = Arg(op, 0).AsInt(), y = Arg(op, 1).AsInt();
    if (y == 0)
      throw ENovaError("Division by zero");
    if (x == INT32_MIN && y == -1)
      throw ENovaError("Integer overflow");
    dest.SetInt(x % y);
    break;
  }
  case ocOr:
    dest.SetInt(Arg(op, 0).AsInt() | Arg(op, 1).AsInt());
    break;
  case ocAnd:
    dest.SetInt(Arg(op, 0).AsInt() & Arg(op, 1).AsInt());
    break;
  case ocXor:
    dest.SetInt(Arg(op, 0).AsInt() ^ Arg(op, 1).AsInt());
    break;
  case ocShiftL: {
    uint32_t x = static_cast<uint32_t>(Arg(op, 0).AsInt());
    dest.SetInt(static_cast<int32_t>(x << (Arg(op, 1).AsInt() & 31)));
    break;
  }
  case ocShiftR: {
    uint32_t x = static_cast<uint32_t>(Arg(op, 0).AsInt());
    dest.SetInt(static_cast<int32_t>(x >> (Arg(op, 1).AsInt() & 31)));
    break;
  }
  case ocComboStr: {
    std::string s = Arg(op, 0).AsStr();
    std::string t = Arg(op, 1).AsStr();
    CheckStringSize(s.size() + t.size(), "++");
    s += t;
    dest.SetStr(s);
    break;
  }
  case ocEqual:
  case ocBig:
  case ocSmall:
  case ocEBig:
  case ocESmall:
  case ocNEqual:
    dest.SetFlag(Compare(op));
    break;
  case ocFunc: {
    std::array<TCustomParam*, 32> small;
    std::vector<TCustomParam*> large;
    TCustomParam** ptrs = small.data();
    if (op.args.size() > small.size()) {
      large.resize(op.args.size());
      ptrs = large.data();
    }
    for (size_t i = 0; i < op.args.size(); ++i)
      ptrs[i] = op.args[i].get();
    TSysFuncMan::Call(vars, dest, op.func_id, std::span<TCustomParam* const>(ptrs, op.args.size()));
    break;
  }
  default:
    break;
  }
}

void Unbind(const TOpeData& op) {
  for (const auto& a : op.args) {
    if (a->IsReference())
      static_cast<TParamVar&>(*a).Unbind();
  }
}

void RunOne(TParamCollection& vars, const TOpeData& op) {
  for (const auto& a : op.args) {
    if (!a->IsReference())
      continue;
    auto& ref = static_cast<TParamVar&>(*a);
    TParamCollectionItem* item = vars.Find(ref.Name());
    if (!item)
      throw ENovaError(FormatText(TExprText::VarNotFound, ref.Name()));
    ref.BindWhole(item);
  }
  TParamCollectionItem* dest = vars.Find(op.dest);
  if (!dest && IsTempName(op.dest)) {
    uint8_t type = TempType(vars, op);
    dest = vars.Add(type);
    vars.temp_stack.emplace_back(dest, dest->Serial());
    vars.SetName(dest, op.dest);
    if (op.opcode == ocDimTo)
      BindElement(static_cast<TParamVar&>(*dest->Value()), op);
  }
  if (!dest)
    throw ENovaError(FormatText(TExprText::VarNotFound, op.dest));
  Perform(vars, op, *dest->Value());
}

} // namespace

void TNovaParser::Execute(TParamCollection& vars) {
  std::unique_ptr<TCustomParam> old = std::move(result_);
  last_error_.clear();
  if (vars.execute_depth >= kMaxExecuteDepth) {
    last_error_ = "expressions nested deeper than " + std::to_string(kMaxExecuteDepth) + " levels";
    return;
  }
  ++vars.execute_depth;
  size_t mark = vars.temp_stack.size();
  for (const TOpeData& op : ops_) {
    try {
      RunOne(vars, op);
      Unbind(op);
    } catch (const std::exception& e) {
      Unbind(op);
      last_error_ = e.what();
      break;
    }
  }
  std::string clone_error;
  if (!ops_.empty() && ops_.back().opcode == ocTo && ops_.back().dest == "____arg") {
    if (TParamCollectionItem* arg = vars.Find("____arg")) {
      uint8_t type = arg->DataType();
      if (type == PT_NONE) {
        clone_error = FormatText(TExprText::InvalidVar, "____arg");
      } else {
        // The previous result is reused when it has the same type: no allocation per run.
        if (!old || old->DataType() != type)
          old = NewParam(type);
        old->AssignAll(*arg->Value());
        result_ = std::move(old);
      }
    }
  }
  while (vars.temp_stack.size() > mark) {
    auto [item, serial] = vars.temp_stack.back();
    vars.temp_stack.pop_back();
    if (item->Serial() == serial)
      vars.Destroy(item);
  }
  --vars.execute_depth;
  if (!clone_error.empty())
    throw ENovaError(clone_error);
}

} // namespace nova
