// SPDX-License-Identifier: MIT
#include "text/markup_tokenizer.h"

#include <array>
#include <cstring>

#include "base/sjis.h"

namespace nova {
namespace {

bool StartsWithI(std::string_view s, size_t pos, std::string_view prefix) {
  if (s.size() - pos < prefix.size())
    return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = s[pos + i];
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 32);
    if (c != prefix[i])
      return false;
  }
  return true;
}

class Tokenizer {
public:
  explicit Tokenizer(std::string_view src) : src_(src) {}

  std::vector<std::string> Run() {
    size_t i = 0;
    while (i < src_.size())
      i = Step(i);
    Emit();
    return std::move(tokens_);
  }

private:
  void Emit() {
    if (!pending_.empty())
      tokens_.push_back(std::move(pending_));
    pending_.clear();
  }
  bool PendingEndsWithSpace() const { return !pending_.empty() && pending_.back() == ' '; }

  size_t Step(size_t i) {
    const char c = src_[i];
    if (quote_) {
      if (c != '\r' && c != '\n' && c != '\t')
        pending_ += c;
      if (c == '"')
        quote_ = false;
      return i + 1;
    }
    for (std::string_view opener : {"<!--", "<SCRIPT", "<STYLE"}) {
      if (!StartsWithI(src_, i, opener))
        continue;
      if (block_depth_ == 0)
        Emit();
      pending_.append(src_.substr(i, opener.size()));
      ++block_depth_;
      return i + opener.size();
    }
    for (std::string_view closer : {"-->", "</SCRIPT>", "</STYLE>"}) {
      if (!StartsWithI(src_, i, closer))
        continue;
      if (block_depth_ > 0)
        --block_depth_;
      pending_.append(src_.substr(i, closer.size()));
      if (block_depth_ == 0)
        Emit();
      return i + closer.size();
    }
    if (block_depth_ > 0) {
      pending_ += c;
      if (c == '\r')
        pending_ += '\n';
      return i + 1;
    }
    // A double-byte character is one unit: its trail byte may be 0x5C, which must not start an
    // escape (表, ソ and 能 would lose half their bytes).
    if (IsLeadByte(c) && i + 1 < src_.size()) {
      pending_.append(src_.substr(i, 2));
      return i + 2;
    }
    switch (c) {
    case '<':
      if (tag_depth_ == 0)
        Emit();
      pending_ += '<';
      ++tag_depth_;
      return i + 1;
    case '>':
      if (tag_depth_ == 0)
        break;
      if (--tag_depth_ > 0)
        return i + 1; // closes a nested '<': dropped
      pending_ += '>';
      return CloseTag(i + 1);
    case '\\': {
      if (i + 1 >= src_.size())
        break;
      const char next = src_[i + 1];
      if (!std::strchr("\"%<>\\{}", next))
        return i + 1; // the backslash alone is dropped
      pending_ += next;
      if (next == '<' || next == '>')
        Emit(); // an escaped bracket never forms a tag
      return i + 2;
    }
    case '\r':
      if (tag_depth_ == 0 && (pre_ || textarea_)) {
        Emit();
        if (pre_)
          tokens_.emplace_back("<BR>");
      } else if (!pending_.empty() && !(i > 0 && src_[i - 1] == ' ')) {
        pending_ += ' ';
      }
      return i + 1;
    case 0x14:
      if (pre_ || textarea_ || !PendingEndsWithSpace())
        pending_ += ' ';
      return i + 1;
    case '\t':
      if (pre_ || textarea_)
        pending_.append(8, ' ');
      return i + 1;
    case '"':
      pending_ += '"';
      quote_ = true;
      return i + 1;
    default:
      break;
    }
    if (!(c == ' ' && PendingEndsWithSpace()))
      pending_ += c;
    return i + 1;
  }

  size_t CloseTag(size_t next) {
    std::string tag = std::move(pending_);
    pending_.clear();
    auto drop_br = [&] {
      if (!tokens_.empty() && tokens_.back() == "<BR>")
        tokens_.pop_back();
    };
    bool skip_cr = false;
    if (!textarea_ && StartsWithI(tag, 0, "<PRE")) {
      pre_ = true;
      skip_cr = true;
    } else if (!textarea_ && StartsWithI(tag, 0, "</PRE")) {
      drop_br();
      pre_ = false;
    } else if (!pre_ && StartsWithI(tag, 0, "<TEXTAREA")) {
      textarea_ = true;
      skip_cr = true;
    } else if (!pre_ && StartsWithI(tag, 0, "</TEXTAREA")) {
      drop_br();
      textarea_ = false;
    }
    tokens_.push_back(std::move(tag));
    if (skip_cr && next < src_.size() && src_[next] == '\r')
      ++next;
    return next;
  }

  std::string_view src_;
  std::vector<std::string> tokens_;
  std::string pending_;
  int tag_depth_ = 0;
  int block_depth_ = 0;
  bool quote_ = false;
  bool pre_ = false;
  bool textarea_ = false;
};

struct TagName {
  const char* name;
  TagId id;
};
constexpr std::array<TagName, 28> kTags = {{
    {"A", kTagA},           {"/A", kTagEndA},
    {"B", kTagB},           {"/B", kTagEndB},
    {"FONT", kTagFont},     {"/FONT", kTagEndFont},
    {"I", kTagI},           {"/I", kTagEndI},
    {"S", kTagS},           {"/S", kTagEndS},
    {"U", kTagU},           {"/U", kTagEndU},
    {"NOBR", kTagNobr},     {"/NOBR", kTagEndNobr},
    {"RUBY", kTagRuby},     {"/RUBY", kTagEndRuby},
    {"DIV", kTagDiv},       {"/DIV", kTagEndDiv},
    {"INDENT", kTagIndent}, {"UNDENT", kTagUndent},
    {"BR", kTagBr},         {"CLEAR", kTagClear},
    {"EVENT", kTagEvent},   {"WAIT", kTagWait},
    {"/WAIT", kTagEndWait}, {"VAR", kTagVar},
    {"IMG", kTagImg},       {"HISTCHAR", kTagHistChar},
}};

std::string_view TrimSpaces(std::string_view s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos)
    return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

} // namespace

std::vector<std::string> TokenizeMarkup(std::string_view source) { return Tokenizer(source).Run(); }

TTag ParseToken(const std::string& token) {
  TTag tag;
  tag.text = token;
  if (token.size() < 2 || token.front() != '<' || token.back() != '>')
    return tag;
  if (token.starts_with("<!--") || token.starts_with("<SCRIPT") || token.starts_with("<STYLE")) {
    tag.id = kTagUnknown;
    return tag;
  }
  std::string_view rest = TrimSpaces(std::string_view(token).substr(1, token.size() - 2));
  size_t end = rest.find_first_of(" =");
  std::string name(rest.substr(0, end));
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
  // Every pass consumes at least one byte, so a lone '=' cannot stall the loop.
  while (!(rest = TrimSpaces(rest)).empty()) {
    end = rest.find_first_of(" =");
    std::string attr(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
    if (!rest.empty() && rest[0] == '=') {
      rest.remove_prefix(1);
      std::string value;
      if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
        const char q = rest[0];
        size_t close = rest.find(q, 1);
        if (close != std::string_view::npos) {
          value = rest.substr(1, close - 1);
          rest.remove_prefix(close + 1);
        } else {
          size_t sp = rest.find(' ');
          value = rest.substr(1, sp == std::string_view::npos ? std::string_view::npos : sp - 1);
          rest = sp == std::string_view::npos ? std::string_view{} : rest.substr(sp);
        }
      } else {
        size_t sp = rest.find(' ');
        value = rest.substr(0, sp);
        rest = sp == std::string_view::npos ? std::string_view{} : rest.substr(sp);
      }
      if (!attr.empty())
        tag.attributes.push_back(attr + '\r' + value);
    } else if (!attr.empty()) {
      tag.attributes.push_back(attr);
    }
  }
  tag.text = "<" + name + ">";
  tag.id = kTagUnknown;
  for (const TagName& t : kTags)
    if (SameTextJ(name, t.name))
      tag.id = t.id;
  return tag;
}

std::string TTag::Attribute(std::string_view name, bool* present) const {
  for (const std::string& a : attributes) {
    size_t cr = a.find('\r');
    if (!SameTextJ(std::string_view(a).substr(0, cr), name))
      continue;
    if (present)
      *present = true;
    return cr == std::string::npos ? std::string() : a.substr(cr + 1);
  }
  if (present)
    *present = false;
  return {};
}

bool TTag::Has(std::string_view name) const {
  bool present = false;
  Attribute(name, &present);
  return present;
}

int TTag::Integer(std::string_view name, int fallback) const {
  bool present = false;
  std::string v = Attribute(name, &present);
  std::string_view t = TrimSpaces(v);
  if (!present || t.empty())
    return fallback;
  size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i == t.size())
    return fallback;
  int64_t n = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9')
      return fallback;
    n = n * 10 + (t[i] - '0');
    if (n > 0x80000000LL)
      return fallback;
  }
  if (t[0] == '-')
    n = -n;
  if (n > 0x7FFFFFFF)
    return fallback;
  return static_cast<int>(n);
}

int TTag::Color(std::string_view name, int fallback) const {
  bool present = false;
  std::string v = Attribute(name, &present);
  if (!present || v.size() < 2 || v[0] != '#')
    return fallback;
  std::string_view hex = std::string_view(v).substr(1, 6);
  uint32_t rgb = 0;
  for (char c : hex) {
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                   : -1;
    if (d < 0)
      return fallback;
    rgb = rgb * 16 + static_cast<uint32_t>(d);
  }
  return static_cast<int>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
}

int TTag::Align(std::initializer_list<int> allowed, int fallback) const {
  static constexpr const char* kNames[] = {"LEFT", "RIGHT", "CENTER", "TOP", "BOTTOM"};
  std::string v = Attribute("ALIGN");
  for (int a : allowed)
    if (SameTextJ(v, kNames[a - 1]))
      return a;
  return fallback;
}

std::string UnescapeMarkup(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharBytes(s, i);
    if (n == 1 && s[i] == '\\' && i + 1 < s.size()) {
      const char next = s[i + 1];
      if (next == '"' || next == '\\') {
        out += next;
        i += 2;
        continue;
      }
      if (next == 'n') {
        out += "\r\n";
        i += 2;
        continue;
      }
    }
    out.append(s.substr(i, n));
    i += n;
  }
  return out;
}

} // namespace nova
