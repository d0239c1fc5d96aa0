// SPDX-License-Identifier: MIT
#include "script/text_form/expr_text.h"

#include "base/extended_real.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/build_parser.h"
#include "expr/func_table.h"
#include "script/text_form/real_text.h"

namespace nova {
namespace {

bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '@';
}
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// Names printed bare: identifiers that cannot be read as another kind of operand.
bool IsBareName(const std::string& s) {
  if (s.empty() || !IsIdentStart(s[0]))
    return false;
  for (char c : s) {
    if (!IsIdentChar(c))
      return false;
  }
  return s != "TRUE" && s != "FALSE" && s != "real" && s != "var";
}

std::string FormatArg(const TCustomParam& a) {
  if (a.IsReference()) {
    const std::string& name = static_cast<const TParamVar&>(a).Name();
    return IsBareName(name) ? name : "var(" + QuoteSjis(name) + ")";
  }
  switch (a.DataType()) {
  case PT_INT:
    return std::to_string(a.AsInt());
  case PT_FLOAT:
    return "real(" + FormatRealBytes(ExtendedToBytes(a.AsReal())) + ")";
  case PT_BOOL:
    return a.AsFlag() ? "TRUE" : "FALSE";
  default:
    return QuoteSjis(a.AsStr());
  }
}

// Operands are written in the stored form as they are read, so that the result can be loaded
// by the expression's own reader.
void WriteArg(TTokCursor& c, BinaryWriter& w) {
  const TTok& t = c.Next();
  if (t.kind == TTokKind::String) {
    w.U8(AK_STR);
    w.String(t.text);
    return;
  }
  if (t.kind != TTokKind::Word)
    c.Fail("expected an operand");
  if (c.TakePunct("(")) {
    if (t.text == "real") {
      std::array<uint8_t, 10> bytes{};
      const TTok& v = c.ExpectWord("a real number");
      if (!ParseRealText(v.text, bytes)) {
        c.Fail("'" + v.text + "' is not a real number or hex: and 20 hexadecimal digits");
      }
      w.U8(AK_FLOAT);
      w.Bytes(std::span<const uint8_t>(bytes));
    } else if (t.text == "var") {
      w.U8(AK_VAR);
      w.String(c.ExpectString("a variable name").text);
    } else {
      c.Fail("unknown operand form '" + t.text + "('");
    }
    c.ExpectPunct(")");
    return;
  }
  if (t.text == "TRUE" || t.text == "FALSE") {
    w.U8(AK_FLAG);
    w.U8(t.text == "TRUE");
    return;
  }
  int64_t v = 0;
  if (ParseInt(t.text, v)) {
    if (v < INT32_MIN || v > INT32_MAX)
      c.Fail("integer " + t.text + " does not fit 32 bits");
    w.U8(AK_INT);
    w.I32(static_cast<int32_t>(v));
    return;
  }
  w.U8(AK_VAR);
  w.String(TextToSjis(t.text, c.Where()));
}

// "ocPlus", "op#99" for a code without a name, "ocFunc:Name" or "ocFunc#12".
void ParseOperator(TTokCursor& c, uint8_t& opcode, int& func_id) {
  std::string word = c.ExpectWord("an operator name").text;
  int64_t n = 0;
  func_id = -1;
  if (word.rfind("ocFunc:", 0) == 0) {
    func_id = FindFunc(word.substr(7));
    if (func_id < 0)
      c.Fail("unknown function '" + word.substr(7) + "'");
  } else if (word.rfind("ocFunc#", 0) == 0) {
    if (!ParseInt(word.substr(7), n) || n < 0 || n > 255)
      c.Fail("bad function id in " + word);
    func_id = static_cast<int>(n);
  } else if (word.rfind("op#", 0) == 0) {
    if (!ParseInt(word.substr(3), n) || n < 0 || n > 255 || n == ocFunc) {
      c.Fail("bad operator code in " + word);
    }
    opcode = static_cast<uint8_t>(n);
    return;
  } else {
    for (int code = 0; code < 256; ++code) {
      if (*OpeCodeName(static_cast<uint8_t>(code)) &&
          word == OpeCodeName(static_cast<uint8_t>(code))) {
        if (code == ocFunc)
          c.Fail("ocFunc needs its function, as in ocFunc:IntToStr");
        opcode = static_cast<uint8_t>(code);
        return;
      }
    }
    c.Fail("unknown operator '" + word + "'");
  }
  opcode = ocFunc;
}

// One operation: DEST = OPERATOR [ARG {, ARG}].
void WriteOp(TTokCursor& c, BinaryWriter& w) {
  const TTok& dest = c.Next();
  std::string dest_name;
  if (dest.kind == TTokKind::String) {
    dest_name = dest.text;
  } else if (dest.kind == TTokKind::Word) {
    dest_name = TextToSjis(dest.text, c.Where());
  } else {
    c.Fail("expected the destination of an operation");
  }
  c.ExpectPunct("=");
  uint8_t opcode = 0;
  int func_id = -1;
  ParseOperator(c, opcode, func_id);
  BinaryWriter args;
  int32_t count = 0;
  if (!c.IsPunct(";") && !c.IsPunct("]")) {
    do {
      WriteArg(c, args);
      ++count;
    } while (c.TakePunct(","));
  }
  w.U8(opcode);
  w.String(dest_name);
  w.I32(count);
  if (opcode == ocFunc)
    w.U8(static_cast<uint8_t>(func_id));
  w.Bytes(std::span<const uint8_t>(args.data()));
}

void Load(TCommandExpr& e, const std::vector<uint8_t>& bytes, const std::string& where) {
  BinaryReader r(bytes, where);
  e.Read(r);
}

} // namespace

std::string FormatExpr(const TCommandExpr& e) {
  if (e.IsEmpty())
    return "{}";
  std::string out = "[";
  const std::vector<TOpeData>& ops = e.parser.Ops();
  for (size_t i = 0; i < ops.size(); ++i) {
    const TOpeData& op = ops[i];
    if (i > 0)
      out += "; ";
    out += IsBareName(op.dest) ? op.dest : QuoteSjis(op.dest);
    out += " = ";
    if (op.opcode == ocFunc) {
      const TFuncInfo* f = FuncInfo(op.func_id);
      out += f ? std::string("ocFunc:") + f->name : "ocFunc#" + std::to_string(op.func_id);
    } else if (*OpeCodeName(op.opcode)) {
      out += OpeCodeName(op.opcode);
    } else {
      out += "op#" + std::to_string(op.opcode);
    }
    for (size_t k = 0; k < op.args.size(); ++k)
      out += (k ? ", " : " ") + FormatArg(*op.args[k]);
  }
  return out + "]";
}

TCommandExpr ParseExpr(TTokCursor& c) {
  TCommandExpr e;
  const TTok& t = c.Peek();
  if (t.kind == TTokKind::ExprSrc) {
    c.Next();
    if (t.text.empty())
      return e;
    std::vector<uint8_t> bytes;
    try {
      bytes = CompileToBytes(t.text);
    } catch (const ENovaError& err) {
      c.Fail(std::string("expression ") + QuoteSjis(t.text) + ": " + SjisToUtf8(err.what()));
    }
    Load(e, bytes, c.Where());
    return e;
  }
  c.ExpectPunct("[");
  BinaryWriter w;
  int32_t count = 0;
  BinaryWriter ops;
  if (!c.IsPunct("]")) {
    do {
      WriteOp(c, ops);
      ++count;
    } while (c.TakePunct(";"));
  }
  c.ExpectPunct("]");
  w.I32(count);
  w.Bytes(std::span<const uint8_t>(ops.data()));
  Load(e, w.data(), c.Where());
  return e;
}

} // namespace nova
