// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

namespace nova {

// Tokens of the text forms of pages and projects (UTF-8 files).
enum class TTokKind {
  Word,    // a run of characters other than blanks and  " { } [ ] ( ) ; , =
  String,  // "..." with escapes; text holds Shift-JIS bytes
  ExprSrc, // { ... }: expression source; text holds Shift-JIS bytes, trimmed
  Punct,   // one of [ ] ( ) ; , =
};

struct TTok {
  TTokKind kind;
  std::string text;
  int line; // 1-based line of the file where the token starts
};

// One logical line: its tokens, the line it starts on and its indentation in spaces.
struct TTextLine {
  int line = 0;
  int indent = 0;
  std::vector<TTok> toks;
};

// Splits a text file into logical lines. A line goes on past its end when it ends with a
// backslash or while a ( or [ is open; "#" at the start of a token comments out the rest of
// the line. Raises ENovaError naming `file` and the line on a lexical fault.
std::vector<TTextLine> LexText(const std::string& utf8, const std::string& file);

// Raises ENovaError with a message written in UTF-8 (file names, quoted texts).
[[noreturn]] void TextFail(const std::string& utf8_message);

// Shift-JIS of UTF-8 text from a text form; text without a Shift-JIS form is an error naming
// `where` rather than silently becoming "?".
std::string TextToSjis(const std::string& utf8, const std::string& where);

// A Shift-JIS byte string as a quoted text-form string: printable characters as UTF-8, the
// rest escaped, so that lexing it gives back the same bytes.
std::string QuoteSjis(const std::string& sjis);

} // namespace nova
