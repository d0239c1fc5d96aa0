// SPDX-License-Identifier: MIT
#include "script/text_form/text_cursor.h"

#include <cerrno>
#include <cstdlib>

#include "base/nova_error.h"

namespace nova {

const TTok& TTokCursor::Peek() const {
  if (AtEnd())
    Fail("unexpected end of line");
  return toks_[pos_];
}

const TTok* TTokCursor::PeekAt(size_t ahead) const {
  return pos_ + ahead < toks_.size() ? &toks_[pos_ + ahead] : nullptr;
}

const TTok& TTokCursor::Next() {
  const TTok& t = Peek();
  ++pos_;
  return t;
}

bool TTokCursor::IsPunct(const char* p) const {
  return !AtEnd() && toks_[pos_].kind == TTokKind::Punct && toks_[pos_].text == p;
}

bool TTokCursor::TakePunct(const char* p) {
  if (!IsPunct(p))
    return false;
  ++pos_;
  return true;
}

void TTokCursor::ExpectPunct(const char* p) {
  if (!TakePunct(p))
    Fail(std::string("expected '") + p + "'");
}

const TTok& TTokCursor::ExpectWord(const char* what) {
  if (AtEnd() || Peek().kind != TTokKind::Word)
    Fail(std::string("expected ") + what);
  return Next();
}

const TTok& TTokCursor::ExpectString(const char* what) {
  if (AtEnd() || Peek().kind != TTokKind::String) {
    Fail(std::string("expected ") + what + " as a quoted string");
  }
  return Next();
}

std::string TTokCursor::Where() const {
  int line = AtEnd() ? (toks_.empty() ? line_ : toks_.back().line) : toks_[pos_].line;
  return file_ + ":" + std::to_string(line);
}

void TTokCursor::Fail(const std::string& what) const { TextFail(Where() + ": " + what); }

bool ParseInt(const std::string& word, int64_t& out) {
  if (word.empty())
    return false;
  size_t i = word[0] == '-' || word[0] == '+' ? 1 : 0;
  int base = 10;
  if (word.compare(i, 2, "0x") == 0 || word.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i >= word.size())
    return false;
  for (size_t k = i; k < word.size(); ++k) {
    char c = word[k];
    bool digit = (c >= '0' && c <= '9') ||
                 (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!digit)
      return false;
  }
  errno = 0;
  long long v = std::strtoll(word.c_str() + i, nullptr, base);
  if (errno == ERANGE)
    return false;
  out = word[0] == '-' ? -v : v;
  return true;
}

} // namespace nova
