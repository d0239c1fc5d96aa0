// SPDX-License-Identifier: MIT
#include "script/expr_ops.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace nova {
namespace {

constexpr const char* kOpNames[] = {
    "ocNone",  "ocTo",    "ocPlus",  "ocMinus", "ocMul",      "ocDiv",    "ocMod",
    "ocOr",    "ocAnd",   "ocXor",   "ocDimTo", "ocFunc",     "ocEqual",  "ocBig",
    "ocSmall", "ocEBig",  "ocESmall", "ocShiftL", "ocShiftR", "ocComboStr", "ocNEqual",
};

// Smallest record sizes, for checking counts before allocating.
constexpr size_t kMinOpBytes = 1 + 4 + 4;
constexpr size_t kMinArgBytes = 2;

TExprArg ReadArg(BinaryReader& r) {
  TExprArg a;
  a.kind = r.U8();
  switch (a.kind) {
    case 1: a.int_value = r.I32(); break;
    case 2: {
      auto b = r.Bytes(10);
      std::copy(b.begin(), b.end(), a.real_bytes.begin());
      break;
    }
    case 3: a.flag = r.U8(); break;
    default: a.text = r.String(); break;
  }
  return a;
}

void WriteArg(BinaryWriter& w, const TExprArg& a) {
  w.U8(a.kind);
  switch (a.kind) {
    case 1: w.I32(a.int_value); break;
    case 2: w.Bytes(std::span<const uint8_t>(a.real_bytes)); break;
    case 3: w.U8(a.flag); break;
    default: w.String(a.text); break;
  }
}

}  // namespace

std::vector<TExprOp> ReadExprOps(BinaryReader& r) {
  int32_t count = r.I32();
  r.CheckCount(count, kMinOpBytes, "expression operation count");
  std::vector<TExprOp> ops(static_cast<size_t>(count));
  for (TExprOp& op : ops) {
    op.opcode = r.U8();
    op.dest = r.String();
    int32_t argc = r.I32();
    if (op.opcode == kOpFunc) op.func_id = r.U8();
    r.CheckCount(argc, kMinArgBytes, "expression argument count");
    op.args.reserve(static_cast<size_t>(argc));
    for (int32_t i = 0; i < argc; ++i) op.args.push_back(ReadArg(r));
  }
  return ops;
}

void WriteExprOps(BinaryWriter& w, const std::vector<TExprOp>& ops) {
  w.I32(static_cast<int32_t>(ops.size()));
  for (const TExprOp& op : ops) {
    w.U8(op.opcode);
    w.String(op.dest);
    w.I32(static_cast<int32_t>(op.args.size()));
    if (op.opcode == kOpFunc) w.U8(op.func_id);
    for (const TExprArg& a : op.args) WriteArg(w, a);
  }
}

const char* OpcodeName(uint8_t opcode) {
  return opcode < std::size(kOpNames) ? kOpNames[opcode] : "";
}

int OpcodeByName(const std::string& name) {
  for (size_t i = 0; i < std::size(kOpNames); ++i) {
    if (name == kOpNames[i]) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace nova
