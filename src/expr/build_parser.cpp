// SPDX-License-Identifier: MIT
// The string-rewriting compiler: literals, calls, array references and groups are cut out of
// the text one by one and replaced by temporaries; what remains is resolved by precedence.
#include "expr/build_parser.h"

#include <array>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "expr/func_table.h"
#include "expr/nova_parser.h"
#include "expr/private/convert.h"
#include "expr/private/expr_texts.h"

namespace nova {

namespace {

// Text as character codes: a double-byte character is one unit and never equals an ASCII
// operator, so a trail byte such as 0x5B never reads as "[".
using Text = std::u16string;

// Deeper nesting of groups, calls and subscripts than this is refused as a syntax error.
constexpr int kMaxNesting = 200;

Text ToChars(std::string_view s) {
  Text out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t n = CharBytes(s, i);
    out.push_back(n == 2 ? CharCodeAt(s, i) : static_cast<uint8_t>(s[i]));
    i += n;
  }
  return out;
}

std::string ToBytes(const Text& t) {
  std::string out;
  out.reserve(t.size());
  for (char16_t c : t) {
    if (c > 0xFF)
      out.push_back(static_cast<char>(c >> 8));
    out.push_back(static_cast<char>(c & 0xFF));
  }
  return out;
}

Text FromAscii(std::string_view s) { return Text(s.begin(), s.end()); }

bool IsBlank(char16_t c) { return c <= ' '; }
bool IsIdent(char16_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool In(char16_t c, std::string_view set) {
  return c < 0x80 && set.find(static_cast<char>(c)) != set.npos;
}
constexpr std::string_view kOperatorChars = "+-*/%|&^=[](),<>";
bool HasOperator(const Text& t) {
  for (char16_t c : t) {
    if (In(c, kOperatorChars))
      return true;
  }
  return false;
}

Text Trim(const Text& t) {
  size_t b = 0, e = t.size();
  while (b < e && IsBlank(t[b]))
    ++b;
  while (e > b && IsBlank(t[e - 1]))
    --e;
  return t.substr(b, e - b);
}

[[noreturn]] void Syntax() { throw ENovaError(ExprText(TExprText::SyntaxError)); }

// Position of the matching closer for every opener; unbalanced text is a syntax error.
std::vector<size_t> Match(const Text& t, char16_t open, char16_t close) {
  std::vector<size_t> match(t.size(), Text::npos);
  std::vector<size_t> stack;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == open) {
      stack.push_back(i);
    } else if (t[i] == close) {
      if (stack.empty())
        Syntax();
      match[stack.back()] = i;
      stack.pop_back();
    }
  }
  if (!stack.empty())
    Syntax();
  return match;
}

// Splits at commas outside square brackets; a trailing empty remainder adds nothing.
std::vector<Text> SplitArgs(const Text& t) {
  std::vector<Text> out;
  Text cur;
  int depth = 0;
  for (char16_t c : t) {
    if (c == '[') {
      ++depth;
    } else if (c == ']') {
      if (depth == 0)
        Syntax();
      --depth;
    } else if (c == ',' && depth == 0) {
      out.push_back(Trim(cur));
      cur.clear();
      continue;
    }
    cur.push_back(c);
  }
  if (depth != 0)
    Syntax();
  cur = Trim(cur);
  if (!cur.empty())
    out.push_back(cur);
  return out;
}

// Nearest non-blank position before `pos`, or npos.
size_t PrevNonBlank(const Text& t, size_t pos) {
  while (pos > 0) {
    if (!IsBlank(t[--pos]))
      return pos;
  }
  return Text::npos;
}

struct Level {
  std::array<std::string_view, 6> tokens;
};
constexpr std::array<Level, 9> kLevels = {{
    {{"*", "/", "%"}},
    {{"+", "-"}},
    {{"<<", ">>"}},
    {{"==", ">=", "<=", ">", "<", "<>"}},
    {{"++"}},
    {{"&"}},
    {{"^"}},
    {{"|"}},
    {{"="}},
}};

uint8_t OpCode(const std::string& tok) {
  static const std::array<std::pair<std::string_view, uint8_t>, 19> kCodes = {{
      {"=", ocTo},      {"+", ocPlus},      {"-", ocMinus},   {"*", ocMul},     {"/", ocDiv},
      {"%", ocMod},     {"|", ocOr},        {"&", ocAnd},     {"^", ocXor},     {"==", ocEqual},
      {">", ocBig},     {"<", ocSmall},     {">=", ocEBig},   {"<=", ocESmall}, {"<<", ocShiftL},
      {">>", ocShiftR}, {"++", ocComboStr}, {"<>", ocNEqual}, {"", ocNone},
  }};
  for (const auto& [t, c] : kCodes) {
    if (t == tok)
      return c;
  }
  return ocNone;
}

bool StartsTemp(const std::string& s) { return s.compare(0, 4, "____") == 0; }
bool StartsDimTemp(const std::string& s) { return s.compare(0, 6, "____d_") == 0; }

} // namespace

// The rewrite passes over one text; recursion shares the owner's list and counter.
class TCompilerPasses {
public:
  explicit TCompilerPasses(TBuildNovaParser& owner) : p_(owner) {}

  void Compile(Text s, int depth) {
    if (depth > kMaxNesting)
      Syntax();
    s = Trim(s);
    CutLiterals(s);
    CutCalls(s, depth);
    CutArrays(s, depth);
    CutGroups(s, depth);
    Resolve(s);
  }

private:
  std::string NewTemp() { return "____" + std::to_string(p_.counter_++); }
  std::string NewDimTemp() { return "____d_" + std::to_string(p_.counter_++); }
  void Emit(uint8_t opcode, std::string dest, std::vector<std::string> args) {
    p_.ops_.push_back(TBuildOpeData{opcode, std::move(dest), std::move(args)});
  }

  void CutLiterals(Text& s) {
    for (;;) {
      size_t q = s.find(u'"');
      if (q == Text::npos)
        return;
      Text body;
      size_t j = q + 1;
      bool closed = false;
      while (j < s.size()) {
        char16_t c = s[j];
        if (c == '\\' && j + 1 < s.size()) {
          char16_t next = s[j + 1];
          if (next == '"' || next == '\\') {
            body.push_back(next);
            j += 2;
            continue;
          }
          if (next == 'n') {
            body += u"\r\n";
            j += 2;
            continue;
          }
        }
        if (c == '"') {
          closed = true;
          break;
        }
        body.push_back(c);
        ++j;
      }
      if (!closed)
        return;
      std::string temp = NewTemp();
      Emit(ocTo, temp, {"\"" + ToBytes(body) + "\""});
      s = s.substr(0, q) + FromAscii(temp) + s.substr(j + 1);
    }
  }

  // An argument or subscript: enclosing parentheses stripped, operators compiled into a temp.
  std::string Prepare(Text arg, int depth) {
    while (arg.size() >= 2 && arg.front() == '(' && arg.back() == ')') {
      int level = 0;
      size_t close = Text::npos;
      for (size_t i = 0; i < arg.size(); ++i) {
        if (arg[i] == '(')
          ++level;
        if (arg[i] == ')' && --level == 0) {
          close = i;
          break;
        }
      }
      if (close != arg.size() - 1)
        break;
      arg = arg.substr(1, arg.size() - 2);
    }
    if (arg.empty() || !HasOperator(arg))
      return ToBytes(arg);
    std::string temp = NewTemp();
    Compile(FromAscii(temp + " = ") + arg, depth + 1);
    return temp;
  }

  void CutCalls(Text& s, int depth) {
    for (;;) {
      std::vector<size_t> match = Match(s, '(', ')');
      size_t open = Text::npos, name_end = Text::npos;
      for (size_t i = s.size(); i-- > 0;) {
        if (s[i] != '(')
          continue;
        size_t k = PrevNonBlank(s, i);
        if (k != Text::npos && IsIdent(s[k])) {
          open = i;
          name_end = k;
          break;
        }
      }
      if (open == Text::npos)
        return;
      size_t start = name_end;
      while (start > 0 && IsIdent(s[start - 1]))
        --start;
      size_t close = match[open];
      Text name = Trim(s.substr(start, open - start));
      Text inner = Trim(s.substr(open + 1, close - open - 1));
      std::string dest = NewTemp();
      std::vector<std::string> args{ToBytes(name)};
      for (const Text& a : SplitArgs(inner))
        args.push_back(Prepare(a, depth));
      Emit(ocFunc, dest, std::move(args));
      s = s.substr(0, start) + FromAscii(dest) + s.substr(close + 1);
    }
  }

  void CutArrays(Text& s, int depth) {
    for (;;) {
      std::vector<size_t> match = Match(s, '[', ']');
      size_t open = s.rfind(u'[');
      if (open == Text::npos)
        return;
      size_t k = PrevNonBlank(s, open);
      size_t start = 0;
      if (k != Text::npos) {
        if (In(s[k], kOperatorChars))
          Syntax();
        start = k;
        while (start > 0 && !IsBlank(s[start - 1]) && !In(s[start - 1], kOperatorChars))
          --start;
      }
      size_t close = match[open];
      Text name = Trim(s.substr(start, open - start));
      std::vector<Text> subs = SplitArgs(s.substr(open + 1, close - open - 1));
      if (subs.empty())
        throw ENovaError(ExprText(TExprText::BadSubscripts));
      std::string dest = NewDimTemp();
      std::vector<std::string> args{ToBytes(name)};
      for (const Text& a : subs)
        args.push_back(Prepare(a, depth));
      Emit(ocDimTo, dest, std::move(args));
      s = s.substr(0, start) + FromAscii(dest) + s.substr(close + 1);
    }
  }

  void CutGroups(Text& s, int depth) {
    for (;;) {
      std::vector<size_t> match = Match(s, '(', ')');
      size_t open = Text::npos;
      for (size_t i = s.size(); i-- > 0;) {
        if (s[i] != '(')
          continue;
        size_t k = PrevNonBlank(s, i);
        if (k == Text::npos || !IsIdent(s[k])) {
          open = i;
          break;
        }
      }
      if (open == Text::npos)
        return;
      size_t close = match[open];
      Text inner = Trim(s.substr(open + 1, close - open - 1));
      std::string temp = NewTemp();
      s = s.substr(0, open) + FromAscii(temp) + s.substr(close + 1);
      Compile(FromAscii(temp + " = ") + inner, depth + 1);
    }
  }

  static std::vector<std::string> Tokens(const Text& s) {
    std::vector<std::string> out;
    Text operand;
    auto flush = [&] {
      Text t = Trim(operand);
      if (!t.empty())
        out.push_back(ToBytes(t));
      operand.clear();
    };
    for (size_t i = 0; i < s.size(); ++i) {
      char16_t c = s[i];
      if (!In(c, "%&*+-/<=>^|")) {
        operand.push_back(c);
        continue;
      }
      flush();
      std::string tok(1, static_cast<char>(c));
      if (i + 1 < s.size() && s[i + 1] < 0x80) {
        std::string two = tok + static_cast<char>(s[i + 1]);
        if (two == "==" || two == ">=" || two == "<=" || two == "++" || two == "<>" ||
            two == "<<" || two == ">>") {
          tok = two;
          ++i;
        }
      }
      out.push_back(tok);
    }
    flush();
    return out;
  }

  void Resolve(const Text& s) {
    std::vector<std::string> t = Tokens(s);
    if (t.empty()) {
      Emit(ocTo, "____arg", {ToBytes(s)});
      return;
    }
    // Unary signs after an operator.
    for (size_t i = t.size() >= 2 ? t.size() - 2 : 0; i >= 1; --i) {
      if ((t[i] == "+" || t[i] == "-") && !t[i - 1].empty() &&
          std::string_view("=+-*/%&^|[(,<>").find(t[i - 1][0]) != std::string_view::npos) {
        if (t[i] == "+") {
          t.erase(t.begin() + static_cast<ptrdiff_t>(i));
        } else {
          std::string temp = NewTemp();
          Emit(ocMinus, temp, {"0", t[i + 1]});
          t[i] = temp;
          t.erase(t.begin() + static_cast<ptrdiff_t>(i) + 1);
        }
      }
    }
    bool assigned = false;
    while (!t.empty()) {
      size_t at = std::string::npos;
      for (const Level& level : kLevels) {
        for (size_t i = 0; i < t.size() && at == std::string::npos; ++i) {
          for (std::string_view tok : level.tokens) {
            if (!tok.empty() && t[i] == tok) {
              at = i;
              break;
            }
          }
        }
        if (at != std::string::npos)
          break;
      }
      if (at == std::string::npos) {
        if (assigned || t.size() > 1)
          Syntax();
        Emit(ocTo, "____arg", {t[0]});
        t.clear();
        break;
      }
      // A missing operand after an operator is a syntax error.
      if (t[at] == "=") {
        if (at == 0 || at + 1 >= t.size())
          Syntax();
        Emit(ocTo, t[at - 1], {t[at + 1]});
        t.erase(t.begin() + static_cast<ptrdiff_t>(at) - 1,
                t.begin() + static_cast<ptrdiff_t>(at) + 2);
        assigned = true;
      } else if (at > 0) {
        if (std::string_view("+-*/%|&^=[(<>").find(t[at - 1][0]) != std::string_view::npos)
          Syntax();
        if (at + 1 >= t.size())
          Syntax();
        std::string temp = NewTemp();
        Emit(OpCode(t[at]), temp, {t[at - 1], t[at + 1]});
        t[at - 1] = temp;
        t.erase(t.begin() + static_cast<ptrdiff_t>(at), t.begin() + static_cast<ptrdiff_t>(at) + 2);
      } else {
        if ((t[0] != "+" && t[0] != "-") || t.size() < 2)
          Syntax();
        std::string temp = NewTemp();
        Emit(OpCode(t[0]), temp, {"0", t[1]});
        t[0] = temp;
        t.erase(t.begin() + 1);
      }
    }
  }

  TBuildNovaParser& p_;
};

void TBuildNovaParser::Compile(std::string_view text) {
  TCompilerPasses(*this).Compile(ToChars(text), 0);
  // Plain copies between temporaries are folded away.
  for (size_t i = 0; i < ops_.size();) {
    const TBuildOpeData& op = ops_[i];
    if (op.opcode == ocTo && !op.args.empty() && StartsTemp(op.dest) && StartsTemp(op.args[0]) &&
        !StartsDimTemp(op.dest) && !StartsDimTemp(op.args[0]) && op.dest != "____arg" &&
        op.args[0] != "____arg") {
      std::string from = op.dest, to = op.args[0];
      for (size_t j = i + 1; j < ops_.size(); ++j) {
        if (ops_[j].dest == from)
          ops_[j].dest = to;
        for (std::string& a : ops_[j].args) {
          if (a == from)
            a = to;
        }
      }
      ops_.erase(ops_.begin() + static_cast<ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

void TBuildNovaParser::SaveOps(BinaryWriter& out) const {
  BinaryWriter w;
  w.I32(static_cast<int32_t>(ops_.size()));
  for (const TBuildOpeData& op : ops_) {
    w.U8(op.opcode);
    w.String(op.dest);
    size_t first = 0;
    if (op.opcode == ocFunc) {
      // Element 0 is always the function name, whatever it looks like.
      const std::string& name = op.args.empty() ? std::string() : op.args[0];
      int id = FindFunc(name);
      if (id < 0)
        throw ENovaError(FormatText(TExprText::NoFunction, name));
      const TFuncInfo* info = FuncInfo(id);
      int n = static_cast<int>(op.args.size()) - 1;
      if ((info->min_args >= 0 && n < info->min_args) ||
          (info->max_args >= 0 && n > info->max_args)) {
        throw ENovaError(name + ExprText(TExprText::BadArgCount));
      }
      w.I32(n);
      w.U8(static_cast<uint8_t>(id));
      first = 1;
    } else {
      w.I32(static_cast<int32_t>(op.args.size()));
    }
    for (size_t i = first; i < op.args.size(); ++i) {
      const std::string& a = op.args[i];
      if (auto v = ParseInt(a)) {
        w.U8(AK_INT);
        w.I32(*v);
      } else if (auto r = ParseReal(a)) {
        w.U8(AK_FLOAT);
        w.Extended(*r);
      } else if (a == "TRUE" || a == "FALSE") {
        w.U8(AK_FLAG);
        w.U8(a == "TRUE");
      } else if (a.size() > 1 && a.front() == '"' && a.back() == '"') {
        w.U8(AK_STR);
        w.String(std::string_view(a).substr(1, a.size() - 2));
      } else {
        w.U8(AK_VAR);
        w.String(a);
      }
    }
  }
  out.Bytes(std::span<const uint8_t>(w.data()));
}

std::vector<uint8_t> CompileToBytes(std::string_view text) {
  TBuildNovaParser p;
  p.Compile(text);
  BinaryWriter w;
  p.SaveOps(w);
  return w.Take();
}

void CompileExpression(std::string_view text, TNovaParser& out) {
  std::vector<uint8_t> bytes = CompileToBytes(text);
  BinaryReader r(bytes, "compiled expression");
  out.LoadOps(r);
}

bool EvaluateText(TParamCollection& vars, std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<uint8_t>(text[b]) <= ' ')
    ++b;
  while (e > b && static_cast<uint8_t>(text[e - 1]) <= ' ')
    --e;
  if (b == e)
    return false;
  try {
    TNovaParser p;
    CompileExpression(text.substr(b, e - b), p);
    p.Execute(vars);
    return p.LastError().empty();
  } catch (const ENovaError&) {
    return false;
  }
}

} // namespace nova
