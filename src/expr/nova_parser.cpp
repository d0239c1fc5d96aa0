// SPDX-License-Identifier: MIT
// The serialised form of compiled expressions, and copying them.
#include "expr/nova_parser.h"

#include <array>

#include "base/binary_reader.h"
#include "base/binary_writer.h"

namespace nova {

namespace {

constexpr std::array<const char*, 21> kOpeNames = {
    "ocNone",  "ocTo",   "ocPlus",   "ocMinus",  "ocMul",    "ocDiv",      "ocMod",
    "ocOr",    "ocAnd",  "ocXor",    "ocDimTo",  "ocFunc",   "ocEqual",    "ocBig",
    "ocSmall", "ocEBig", "ocESmall", "ocShiftL", "ocShiftR", "ocComboStr", "ocNEqual",
};

// Smallest record: opcode, empty destination, argument count.
constexpr size_t kMinOpBytes = 1 + 4 + 4;
// Smallest argument: kind byte and a flag.
constexpr size_t kMinArgBytes = 2;

std::unique_ptr<TCustomParam> ReadArg(BinaryReader& r) {
  uint8_t kind = r.U8();
  switch (kind) {
  case AK_INT: {
    auto p = std::make_unique<TParamInt>();
    p->Elements()[0] = r.I32();
    return p;
  }
  case AK_FLOAT: {
    auto p = std::make_unique<TParamFloat>();
    p->Elements()[0] = r.Extended();
    return p;
  }
  case AK_FLAG: {
    auto p = std::make_unique<TParamFlag>();
    p->Elements()[0] = r.U8() != 0;
    return p;
  }
  case AK_STR: {
    auto p = std::make_unique<TParamStr>();
    p->Elements()[0] = r.String();
    return p;
  }
  default:
    return std::make_unique<TParamVar>(r.String());
  }
}

void WriteArg(BinaryWriter& w, const TCustomParam& a) {
  if (a.IsReference()) {
    w.U8(AK_VAR);
    w.String(static_cast<const TParamVar&>(a).Name());
    return;
  }
  switch (a.DataType()) {
  case PT_INT:
    w.U8(AK_INT);
    w.I32(a.AsInt());
    break;
  case PT_FLOAT:
    w.U8(AK_FLOAT);
    w.Extended(a.AsReal());
    break;
  case PT_BOOL:
    w.U8(AK_FLAG);
    w.U8(a.AsFlag() ? 1 : 0);
    break;
  default:
    w.U8(AK_STR);
    w.String(a.AsStr());
    break;
  }
}

} // namespace

const char* OpeCodeName(uint8_t code) { return code < kOpeNames.size() ? kOpeNames[code] : ""; }

void TNovaParser::Clear() {
  ops_.clear();
  result_.reset();
}

void TNovaParser::LoadOps(BinaryReader& r) {
  Clear();
  try {
    int32_t n = r.I32();
    r.CheckCount(n, kMinOpBytes, "operation count");
    ops_.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
      TOpeData op;
      op.opcode = r.U8();
      op.dest = r.String();
      int32_t a = r.I32();
      r.CheckCount(a, kMinArgBytes, "argument count");
      if (op.opcode == ocFunc)
        op.func_id = r.U8();
      op.args.reserve(static_cast<size_t>(a));
      for (int32_t j = 0; j < a; ++j)
        op.args.push_back(ReadArg(r));
      ops_.push_back(std::move(op));
    }
  } catch (...) {
    ops_.clear();
    throw;
  }
}

void TNovaParser::SaveOps(BinaryWriter& w) const {
  w.I32(static_cast<int32_t>(ops_.size()));
  for (const TOpeData& op : ops_) {
    w.U8(op.opcode);
    w.String(op.dest);
    w.I32(static_cast<int32_t>(op.args.size()));
    if (op.opcode == ocFunc)
      w.U8(op.func_id);
    for (const auto& a : op.args)
      WriteArg(w, *a);
  }
}

void TNovaParser::Assign(const TNovaParser& other) {
  std::vector<TOpeData> copy;
  copy.reserve(other.ops_.size());
  for (const TOpeData& op : other.ops_) {
    TOpeData c;
    c.opcode = op.opcode;
    c.dest = op.dest;
    c.func_id = op.func_id;
    for (const auto& a : op.args) {
      if (a->IsReference()) {
        c.args.push_back(std::make_unique<TParamVar>(static_cast<const TParamVar&>(*a).Name()));
      } else {
        c.args.push_back(CloneParam(*a));
      }
    }
    copy.push_back(std::move(c));
  }
  ops_ = std::move(copy);
  result_.reset();
}

} // namespace nova
