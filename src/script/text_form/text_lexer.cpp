// SPDX-License-Identifier: MIT
#include "script/text_form/text_lexer.h"

#include <cstdio>
#include <cstring>

#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {
namespace {

constexpr const char* kPunct = "[](){};,=";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool EndsWord(char c) { return IsBlank(c) || c == '\n' || c == '"' || std::strchr(kPunct, c); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

class TLexer {
public:
  TLexer(const std::string& text, const std::string& file) : s_(text), file_(file) {}

  std::vector<TTextLine> Run() {
    std::vector<TTextLine> lines;
    TTextLine cur;
    bool at_line_start = true;
    int depth = 0;
    while (p_ < s_.size()) {
      char c = s_[p_];
      if (at_line_start) {
        cur = TTextLine{line_, 0, {}};
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t')) {
          cur.indent += s_[p_] == '\t' ? 8 - cur.indent % 8 : 1;
          ++p_;
        }
        at_line_start = false;
        continue;
      }
      if (IsBlank(c)) {
        ++p_;
      } else if (c == '\\' && RestIsBlankToNewline(p_ + 1)) {
        SkipToNewline();
        ++p_;
        ++line_;
      } else if (c == '\n') {
        ++p_;
        ++line_;
        if (depth == 0) {
          if (!cur.toks.empty())
            lines.push_back(std::move(cur));
          at_line_start = true;
        }
      } else if (c == '#') {
        SkipToNewline();
      } else if (c == '"') {
        cur.toks.push_back({TTokKind::String, LexString(), line_});
      } else if (c == '{') {
        cur.toks.push_back({TTokKind::ExprSrc, LexExprSource(), line_});
      } else if (c == '}') {
        Fail("'}' without '{'");
      } else if (std::strchr(kPunct, c)) {
        if (c == '(' || c == '[')
          ++depth;
        if (c == ')' || c == ']') {
          if (depth == 0)
            Fail(std::string("'") + c + "' without its opening bracket");
          --depth;
        }
        cur.toks.push_back({TTokKind::Punct, std::string(1, c), line_});
        ++p_;
      } else {
        size_t start = p_;
        while (p_ < s_.size() && !EndsWord(s_[p_]))
          ++p_;
        cur.toks.push_back({TTokKind::Word, s_.substr(start, p_ - start), line_});
      }
    }
    if (depth != 0)
      Fail("unclosed bracket at the end of the file");
    if (!at_line_start && !cur.toks.empty())
      lines.push_back(std::move(cur));
    return lines;
  }

private:
  [[noreturn]] void Fail(const std::string& what) const {
    TextFail(file_ + ":" + std::to_string(line_) + ": " + what);
  }
  std::string Where() const { return file_ + ":" + std::to_string(line_); }

  bool RestIsBlankToNewline(size_t q) const {
    while (q < s_.size() && IsBlank(s_[q]))
      ++q;
    return q < s_.size() && s_[q] == '\n';
  }
  void SkipToNewline() {
    while (p_ < s_.size() && s_[p_] != '\n')
      ++p_;
  }

  std::string LexString() {
    ++p_;
    std::string out; // Shift-JIS
    std::string run; // UTF-8 not yet converted
    auto flush = [&] {
      out += TextToSjis(run, Where());
      run.clear();
    };
    while (true) {
      if (p_ >= s_.size() || s_[p_] == '\n')
        Fail("unterminated string");
      char c = s_[p_++];
      if (c == '"')
        break;
      if (c != '\\') {
        run += c;
        continue;
      }
      if (p_ >= s_.size())
        Fail("unterminated string");
      char e = s_[p_++];
      switch (e) {
      case 'n':
        run += '\n';
        break;
      case 'r':
        run += '\r';
        break;
      case 't':
        run += '\t';
        break;
      case '"':
        run += '"';
        break;
      case '\\':
        run += '\\';
        break;
      case 'x': {
        int hi = p_ < s_.size() ? HexDigit(s_[p_]) : -1;
        int lo = p_ + 1 < s_.size() ? HexDigit(s_[p_ + 1]) : -1;
        if (hi < 0 || lo < 0)
          Fail("\\x needs two hexadecimal digits");
        p_ += 2;
        flush();
        out += static_cast<char>(hi * 16 + lo);
        break;
      }
      default:
        Fail(std::string("unknown escape \\") + e);
      }
    }
    flush();
    return out;
  }

  // Up to the matching '}', passing over string literals of the expression language (where a
  // backslash escapes the next character). A line ending in a backslash outside those literals goes
  // on on the next line, as it does outside the braces; the two lines join with a space.
  std::string LexExprSource() {
    int start_line = line_;
    ++p_;
    std::string body;
    bool in_string = false;
    while (true) {
      if (p_ >= s_.size()) {
        line_ = start_line;
        Fail("'{' without '}'");
      }
      char c = s_[p_];
      if (c == '\n')
        ++line_;
      if (in_string) {
        if (c == '\\' && p_ + 1 < s_.size()) {
          body += c;
          c = s_[++p_];
        } else if (c == '"') {
          in_string = false;
        }
      } else if (c == '"') {
        in_string = true;
      } else if (c == '}') {
        break;
      } else if (c == '\\' && RestIsBlankToNewline(p_ + 1)) {
        SkipToNewline();
        ++line_;
        c = ' ';
      }
      body += c;
      ++p_;
    }
    ++p_;
    size_t b = body.find_first_not_of(" \t\r\n");
    size_t e = body.find_last_not_of(" \t\r\n");
    body = b == std::string::npos ? std::string() : body.substr(b, e - b + 1);
    return TextToSjis(body, file_ + ":" + std::to_string(start_line));
  }

  const std::string& s_;
  const std::string& file_;
  size_t p_ = 0;
  int line_ = 1;
};

} // namespace

void TextFail(const std::string& utf8_message) { throw ENovaError(Utf8ToSjis(utf8_message)); }

std::string TextToSjis(const std::string& utf8, const std::string& where) {
  std::string sjis = Utf8ToSjis(utf8);
  if (SjisToUtf8(sjis) != utf8)
    TextFail(where + ": text has no Shift-JIS form");
  return sjis;
}

std::vector<TTextLine> LexText(const std::string& utf8, const std::string& file) {
  return TLexer(utf8, file).Run();
}

std::string QuoteSjis(const std::string& sjis) {
  std::string out = "\"";
  char hex[8];
  for (size_t i = 0; i < sjis.size();) {
    size_t n = CharBytes(sjis, i);
    auto c = static_cast<uint8_t>(sjis[i]);
    if (n == 1) {
      switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c >= 0x20 && c < 0x7F) {
          out += static_cast<char>(c);
        } else {
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        }
      }
    } else {
      std::string ch = sjis.substr(i, n);
      std::string utf8 = SjisToUtf8(ch);
      if (Utf8ToSjis(utf8) == ch && utf8 != "?") {
        out += utf8;
      } else {
        for (char b : ch) {
          std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<uint8_t>(b));
          out += hex;
        }
      }
    }
    i += n;
  }
  return out + "\"";
}

} // namespace nova
