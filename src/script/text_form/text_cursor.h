// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "script/text_form/text_lexer.h"

namespace nova {

// Reads the tokens of one logical line; errors name the file and the token's line.
class TTokCursor {
public:
  TTokCursor(const TTextLine& line, const std::string& file)
      : toks_(line.toks), file_(file), line_(line.line) {}

  bool AtEnd() const { return pos_ >= toks_.size(); }
  const TTok& Peek() const;
  const TTok* PeekAt(size_t ahead) const;
  const TTok& Next();
  bool IsPunct(const char* p) const;
  bool TakePunct(const char* p);
  void ExpectPunct(const char* p);
  const TTok& ExpectWord(const char* what);
  const TTok& ExpectString(const char* what);

  [[noreturn]] void Fail(const std::string& what) const;
  std::string Where() const;

private:
  const std::vector<TTok>& toks_;
  const std::string& file_;
  int line_;
  size_t pos_ = 0;
};

// Integer of a word: decimal with optional sign, or hexadecimal after "0x". False when the word
// is not one or does not fit int64.
bool ParseInt(const std::string& word, int64_t& out);

} // namespace nova
