// SPDX-License-Identifier: MIT
// Gettext catalogues: the subset translators' editors write and read.
#include "script/po_file.h"

#include <cctype>
#include <optional>

#include "base/nova_error.h"

namespace nova {

namespace {

void AppendEscaped(std::string& out, std::string_view s) {
  static const char kDigits[] = "01234567";
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
    case '\\':
      out += "\\\\";
      break;
    case '"':
      out += "\\\"";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\t':
      out += "\\t";
      break;
    case '\r':
      out += "\\r";
      break;
    default:
      if (u < 0x20 || u == 0x7F) {
        out += '\\';
        out += kDigits[u >> 6];
        out += kDigits[(u >> 3) & 7];
        out += kDigits[u & 7];
      } else {
        out += c;
      }
    }
  }
}

// A keyword and its text; a text with inner line breaks is written one line per break, after an
// empty first string, as gettext's own tools do.
void AppendField(std::string& out, const char* keyword, std::string_view s) {
  out += keyword;
  const size_t inner_break = s.find('\n');
  if (inner_break == std::string_view::npos || inner_break + 1 == s.size()) {
    out += " \"";
    AppendEscaped(out, s);
    out += "\"\n";
    return;
  }
  out += " \"\"\n";
  while (!s.empty()) {
    const size_t end = s.find('\n');
    const size_t take = end == std::string_view::npos ? s.size() : end + 1;
    out += '"';
    AppendEscaped(out, s.substr(0, take));
    out += "\"\n";
    s.remove_prefix(take);
  }
}

class TPoReader {
public:
  TPoReader(std::string_view text, const std::string& what) : text_(text), what_(what) {}

  std::vector<TPoEntry> Read() {
    if (text_.starts_with("\xEF\xBB\xBF"))
      text_.remove_prefix(3);
    while (!text_.empty()) {
      const size_t end = text_.find('\n');
      std::string_view line = text_.substr(0, end);
      text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
      ++line_no_;
      if (line.ends_with('\r'))
        line.remove_suffix(1);
      ReadLine(Trim(line));
    }
    Flush();
    return std::move(entries_);
  }

private:
  enum class Field { None, Context, Id, Str };

  static std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
      s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
      s.remove_suffix(1);
    return s;
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    throw ENovaError(what_ + ":" + std::to_string(line_no_) + ": " + problem);
  }

  void ReadLine(std::string_view line) {
    if (line.empty()) {
      Flush();
      return;
    }
    if (line.front() == '#') {
      ReadComment(line);
      return;
    }
    if (line.front() == '"') {
      if (field_ == Field::None)
        Fail("a string that continues no msgctxt, msgid or msgstr");
      *Target(field_) += Unquote(line);
      return;
    }
    const size_t space = line.find_first_of(" \t");
    const std::string_view keyword = line.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));
    if (keyword == "msgid_plural" || keyword.starts_with("msgstr["))
      Fail("plural forms are not supported");
    Field field = Field::None;
    if (keyword == "msgctxt")
      field = Field::Context;
    else if (keyword == "msgid")
      field = Field::Id;
    else if (keyword == "msgstr")
      field = Field::Str;
    else
      Fail("unexpected \"" + std::string(keyword.substr(0, 40)) + "\"");
    // An entry that follows another without a blank line starts at its msgctxt or msgid.
    if (field != Field::Str && msgstr_)
      Flush();
    std::optional<std::string>* slot = Slot(field);
    if (slot->has_value())
      Fail("a second " + std::string(keyword) + " in one entry");
    if (field == Field::Str && !msgid_)
      Fail("msgstr without msgid");
    if (field == Field::Context && msgid_)
      Fail("msgctxt after msgid");
    if (rest.empty() || rest.front() != '"')
      Fail(std::string(keyword) + " without a string");
    *slot = Unquote(rest);
    field_ = field;
  }

  void ReadComment(std::string_view line) {
    if (line.starts_with("#~"))
      return; // obsolete entries are kept by editors but translate nothing
    if (msgstr_)
      Flush();
    std::string_view body = line.size() > 2 ? Trim(line.substr(2)) : std::string_view();
    if (line.starts_with("#."))
      current_.notes.emplace_back(body);
    else if (line.starts_with("#:"))
      current_.references.emplace_back(body);
    else if (line.starts_with("#,")) {
      while (!body.empty()) {
        const size_t comma = body.find(',');
        if (Trim(body.substr(0, comma)) == "fuzzy")
          current_.fuzzy = true;
        body.remove_prefix(comma == std::string_view::npos ? body.size() : comma + 1);
      }
    }
  }

  std::optional<std::string>* Slot(Field field) {
    return field == Field::Context ? &msgctxt_ : field == Field::Id ? &msgid_ : &msgstr_;
  }
  std::string* Target(Field field) { return &**Slot(field); }

  // A quoted string with its C escapes; nothing may follow the closing quote.
  std::string Unquote(std::string_view s) {
    std::string out;
    size_t i = 1;
    for (;;) {
      if (i >= s.size())
        Fail("a string without its closing quote");
      const char c = s[i++];
      if (c == '"')
        break;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i >= s.size())
        Fail("a string without its closing quote");
      const char e = s[i++];
      switch (e) {
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'a':
        out += '\a';
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'v':
        out += '\v';
        break;
      case '\\':
      case '"':
      case '\'':
      case '?':
        out += e;
        break;
      default:
        if (e >= '0' && e <= '7') {
          unsigned v = static_cast<unsigned>(e - '0');
          for (int n = 1; n < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++n)
            v = v * 8 + static_cast<unsigned>(s[i++] - '0');
          out += static_cast<char>(v & 0xFF);
        } else if (e == 'x' && i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i]))) {
          unsigned v = 0;
          for (int n = 0; n < 2 && i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i]));
               ++n, ++i)
            v = v * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(s[i]))
                                                   ? s[i] - '0'
                                                   : (s[i] | 0x20) - 'a' + 10);
          out += static_cast<char>(v);
        } else {
          Fail(std::string("unknown escape \\") + e);
        }
      }
    }
    if (!Trim(s.substr(i)).empty())
      Fail("text after the closing quote");
    return out;
  }

  void Flush() {
    if (msgid_ && !msgstr_)
      Fail("msgid without msgstr");
    if (msgctxt_ && !msgid_)
      Fail("msgctxt without msgid");
    if (msgid_ && (!msgid_->empty() || msgctxt_)) {
      current_.context = msgctxt_.value_or("");
      current_.msgid = std::move(*msgid_);
      current_.msgstr = std::move(*msgstr_);
      entries_.push_back(std::move(current_));
    }
    current_ = {};
    msgctxt_.reset();
    msgid_.reset();
    msgstr_.reset();
    field_ = Field::None;
  }

  std::string_view text_;
  const std::string& what_;
  int line_no_ = 0;
  std::vector<TPoEntry> entries_;
  TPoEntry current_;
  std::optional<std::string> msgctxt_, msgid_, msgstr_;
  Field field_ = Field::None;
};

} // namespace

std::string WritePo(const std::vector<TPoEntry>& entries) {
  std::string out = "msgid \"\"\n"
                    "msgstr \"\"\n"
                    "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                    "\"Content-Transfer-Encoding: 8bit\\n\"\n";
  for (const TPoEntry& e : entries) {
    out += '\n';
    for (const std::string& note : e.notes)
      out += "#. " + note + "\n";
    for (const std::string& reference : e.references)
      out += "#: " + reference + "\n";
    if (e.fuzzy)
      out += "#, fuzzy\n";
    // An empty msgid without a context would read as a header.
    if (!e.context.empty() || e.msgid.empty())
      AppendField(out, "msgctxt", e.context);
    AppendField(out, "msgid", e.msgid);
    AppendField(out, "msgstr", e.msgstr);
  }
  return out;
}

std::vector<TPoEntry> ReadPo(std::string_view text, const std::string& what) {
  return TPoReader(text, what).Read();
}

} // namespace nova
