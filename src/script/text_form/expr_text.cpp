// SPDX-License-Identifier: MIT
#include "script/text_form/expr_text.h"

#include "script/text_form/real_text.h"

namespace nova {
namespace {

bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '@';
}
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// Names printed bare: identifiers that cannot be read as another kind of operand.
bool IsBareName(const std::string& s) {
  if (s.empty() || !IsIdentStart(s[0])) return false;
  for (char c : s) {
    if (!IsIdentChar(c)) return false;
  }
  return s != "TRUE" && s != "FALSE" && s != "real" && s != "flag" && s.compare(0, 3, "var") != 0;
}

std::string FormatArg(const TExprArg& a) {
  switch (a.kind) {
    case 1: return std::to_string(a.int_value);
    case 2: return "real(" + FormatRealBytes(a.real_bytes) + ")";
    case 3:
      if (a.flag <= 1) return a.flag ? "TRUE" : "FALSE";
      return "flag(" + std::to_string(a.flag) + ")";
    case 4: return QuoteSjis(a.text);
    case 0:
      if (IsBareName(a.text)) return a.text;
      return "var(" + QuoteSjis(a.text) + ")";
    default: return "var" + std::to_string(a.kind) + "(" + QuoteSjis(a.text) + ")";
  }
}

TExprArg ParseArg(TTokCursor& c) {
  TExprArg a;
  const TTok& t = c.Next();
  if (t.kind == TTokKind::String) {
    a.kind = 4;
    a.text = t.text;
    return a;
  }
  if (t.kind != TTokKind::Word) c.Fail("expected an operand");
  if (c.TakePunct("(")) {
    if (t.text == "real") {
      const TTok& v = c.ExpectWord("a real number");
      a.kind = 2;
      if (!ParseRealText(v.text, a.real_bytes)) {
        c.Fail("'" + v.text + "' is not a real number or hex: and 20 hexadecimal digits");
      }
    } else if (t.text == "flag") {
      int64_t v = 0;
      if (!ParseInt(c.ExpectWord("a flag byte").text, v) || v < 0 || v > 255) {
        c.Fail("flag(...) needs a byte value");
      }
      a.kind = 3;
      a.flag = static_cast<uint8_t>(v);
    } else if (t.text.rfind("var", 0) == 0) {
      int64_t kind = 0;
      if (t.text.size() > 3 && (!ParseInt(t.text.substr(3), kind) || kind < 0 || kind > 255 ||
                                (kind >= 1 && kind <= 4))) {
        c.Fail("'" + t.text + "' is not a variable operand kind");
      }
      a.kind = static_cast<uint8_t>(kind);
      a.text = c.ExpectString("a variable name").text;
    } else {
      c.Fail("unknown operand form '" + t.text + "('");
    }
    c.ExpectPunct(")");
    return a;
  }
  if (t.text == "TRUE" || t.text == "FALSE") {
    a.kind = 3;
    a.flag = t.text == "TRUE";
    return a;
  }
  int64_t v = 0;
  if (ParseInt(t.text, v)) {
    if (v < INT32_MIN || v > INT32_MAX) c.Fail("integer " + t.text + " does not fit 32 bits");
    a.kind = 1;
    a.int_value = static_cast<int32_t>(v);
    return a;
  }
  a.kind = 0;
  a.text = TextToSjis(t.text, c.Where());
  return a;
}

TExprOp ParseOp(TTokCursor& c) {
  TExprOp op;
  const TTok& dest = c.Next();
  if (dest.kind == TTokKind::String) {
    op.dest = dest.text;
  } else if (dest.kind == TTokKind::Word) {
    op.dest = TextToSjis(dest.text, c.Where());
  } else {
    c.Fail("expected the destination of an operation");
  }
  c.ExpectPunct("=");
  std::string name = c.ExpectWord("an operator name").text;
  size_t hash = name.find('#');
  std::string base = name.substr(0, hash);
  int code = OpcodeByName(base);
  int64_t number = 0;
  if (base == "op" && hash != std::string::npos && ParseInt(name.substr(hash + 1), number) &&
      number >= 0 && number <= 255 && number != kOpFunc) {
    op.opcode = static_cast<uint8_t>(number);
  } else if (code == kOpFunc) {
    if (hash == std::string::npos || !ParseInt(name.substr(hash + 1), number) || number < 0 ||
        number > 255) {
      c.Fail("ocFunc needs its function id, as in ocFunc#12");
    }
    op.opcode = kOpFunc;
    op.func_id = static_cast<uint8_t>(number);
  } else if (code >= 0 && hash == std::string::npos) {
    op.opcode = static_cast<uint8_t>(code);
  } else {
    c.Fail("unknown operator '" + name + "'");
  }
  if (c.IsPunct(";") || c.IsPunct("]")) return op;
  op.args.push_back(ParseArg(c));
  while (c.TakePunct(",")) op.args.push_back(ParseArg(c));
  return op;
}

}  // namespace

std::string FormatExpr(const TCommandExpr& e) {
  if (e.IsEmpty()) return "{}";
  std::string out = "[";
  for (size_t i = 0; i < e.ops.size(); ++i) {
    const TExprOp& op = e.ops[i];
    if (i > 0) out += "; ";
    out += IsBareName(op.dest) ? op.dest : QuoteSjis(op.dest);
    out += " = ";
    const char* name = OpcodeName(op.opcode);
    if (op.opcode == kOpFunc) {
      out += "ocFunc#" + std::to_string(op.func_id);
    } else if (*name) {
      out += name;
    } else {
      out += "op#" + std::to_string(op.opcode);
    }
    for (size_t k = 0; k < op.args.size(); ++k) out += (k ? ", " : " ") + FormatArg(op.args[k]);
  }
  return out + "]";
}

TCommandExpr ParseExpr(TTokCursor& c) {
  TCommandExpr e;
  const TTok& t = c.Peek();
  if (t.kind == TTokKind::ExprSrc) {
    c.Next();
    e.ops = CompileExprSource(t.text, c.Where());
    return e;
  }
  c.ExpectPunct("[");
  if (c.TakePunct("]")) return e;
  e.ops.push_back(ParseOp(c));
  while (c.TakePunct(";")) e.ops.push_back(ParseOp(c));
  c.ExpectPunct("]");
  return e;
}

}  // namespace nova
