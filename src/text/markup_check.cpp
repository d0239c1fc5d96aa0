// SPDX-License-Identifier: MIT
#include "text/markup_check.h"

#include <algorithm>
#include <span>

#include "base/sjis.h"
#include "text/markup_tokenizer.h"

namespace nova {

namespace {

// The attributes each tag takes; end tags and plain tags take none.
std::span<const std::string_view> AttributesOf(TagId id) {
  static constexpr std::string_view kHref[] = {"HREF"};
  static constexpr std::string_view kFont[] = {"SIZE", "COLOR",  "BCOLOR", "SCOLOR",
                                               "NAME", "BORDER", "SHADOW"};
  static constexpr std::string_view kValue[] = {"VALUE"};
  static constexpr std::string_view kAlign[] = {"ALIGN"};
  static constexpr std::string_view kClear[] = {"CLEAR"};
  static constexpr std::string_view kEvent[] = {"VALUE", "END"};
  static constexpr std::string_view kName[] = {"NAME"};
  static constexpr std::string_view kImg[] = {"SRC", "ALIGN"};
  switch (id) {
  case kTagA:
    return kHref;
  case kTagFont:
    return kFont;
  case kTagRuby:
  case kTagWait:
  case kTagHistChar:
    return kValue;
  case kTagDiv:
    return kAlign;
  case kTagBr:
    return kClear;
  case kTagEvent:
    return kEvent;
  case kTagVar:
    return kName;
  case kTagImg:
    return kImg;
  default:
    return {};
  }
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return out;
}

} // namespace

std::vector<std::string> MarkupWarnings(std::string_view source) {
  std::vector<std::string> warnings;
  for (const std::string& token : TokenizeMarkup(source)) {
    if (token.size() < 2 || token.front() != '<' || token.back() != '>' ||
        token.starts_with("<!--"))
      continue;
    const TTag tag = ParseToken(token);
    std::string_view inner = std::string_view(token).substr(1, token.size() - 2);
    inner.remove_prefix(std::min(inner.find_first_not_of(' '), inner.size()));
    const std::string name = Upper(inner.substr(0, inner.find_first_of(" =")));
    if (tag.id == kTagUnknown) {
      warnings.push_back("unknown tag <" + SjisToUtf8(name) + ">: it is ignored");
      continue;
    }
    const std::span<const std::string_view> allowed = AttributesOf(tag.id);
    for (const std::string& attribute : tag.attributes) {
      const std::string attr = Upper(attribute.substr(0, attribute.find('\r')));
      if (std::find(allowed.begin(), allowed.end(), attr) == allowed.end())
        warnings.push_back("<" + SjisToUtf8(name) + "> takes no attribute " + SjisToUtf8(attr) +
                           ": it is ignored");
    }
  }
  return warnings;
}

} // namespace nova
