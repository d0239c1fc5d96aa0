// SPDX-License-Identifier: MIT
// Markup to glyphs: the running formatting state of one parse.
#include <optional>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "text/font_pixel.h"
#include "text/markup_tokenizer.h"
#include "text/text_messages.h"
#include "text/zpword.h"

namespace nova {
namespace {

// A stack whose top is its last pushed value, or the empty value.
template <typename T> class StateStack {
public:
  explicit StateStack(T empty) : empty_(std::move(empty)) {}
  const T& Top() const { return values_.empty() ? empty_ : values_.back(); }
  void Push(T v) { values_.push_back(std::move(v)); }
  void Pop() {
    if (!values_.empty())
      values_.pop_back();
  }

private:
  T empty_;
  std::vector<T> values_;
};

struct TTagValList {
  explicit TTagValList(int text_delay) : wait(text_delay) {}
  StateStack<int> size{0}, color{-1}, border_color{-1}, shadow_color{-1};
  StateStack<std::string> font_name{""};
  StateStack<int> border{-1}, shadow{-1}, wait;
  StateStack<int> align{kAlignLeft};
  uint8_t style = 0;
  bool no_break = false;
  std::string ruby;
  std::string link;

  TDecorate Decoration() const {
    TDecorate d;
    d.size = size.Top();
    d.color = color.Top();
    d.border_color = border_color.Top();
    d.shadow_color = shadow_color.Top();
    d.font_name = font_name.Top();
    d.style = style;
    d.no_break = no_break;
    d.ruby = ruby;
    d.border = border.Top();
    d.shadow = shadow.Top();
    return d;
  }
};

int OutlineWidth(const TTag& tag, const char* name, int top) {
  if (!tag.Has(name))
    return top;
  return std::max(0, tag.Integer(name, 1));
}

} // namespace

void TZpWord::Parse(const std::vector<std::string>& lines, int text_delay_ms) {
  Clear();
  std::string source;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i)
      source += '\r';
    source += lines[i];
  }
  TTagValList st(text_delay_ms);
  for (const std::string& token : TokenizeMarkup(source)) {
    const TTag tag = ParseToken(token);
    switch (tag.id) {
    case kTagText: {
      const TDecorate deco = st.Decoration();
      for (size_t i = 0; i < token.size();) {
        auto c = std::make_unique<TWdChar>(this);
        c->code = CharCodeAt(token, i);
        i += CharBytes(token, i);
        c->SetDecoration(deco);
        c->link = st.link;
        c->wait = st.wait.Top();
        glyphs_.push_back(std::move(c));
      }
      break;
    }
    case kTagA: {
      std::string href = tag.Attribute("HREF");
      if (href.empty())
        throw ENovaError(TextTexts().link_without_href);
      st.link = UnescapeMarkup(href);
      break;
    }
    case kTagEndA:
      st.link.clear();
      break;
    case kTagB:
      st.style |= kStyleBold;
      break;
    case kTagEndB:
      st.style &= ~kStyleBold;
      break;
    case kTagI:
      st.style |= kStyleItalic;
      break;
    case kTagEndI:
      st.style &= ~kStyleItalic;
      break;
    case kTagU:
      st.style |= kStyleUnderline;
      break;
    case kTagEndU:
      st.style &= ~kStyleUnderline;
      break;
    case kTagS:
      st.style |= kStyleStrike;
      break;
    case kTagEndS:
      st.style &= ~kStyleStrike;
      break;
    case kTagFont:
      st.size.Push(tag.Integer("SIZE", st.size.Top()));
      st.color.Push(tag.Color("COLOR", st.color.Top()));
      st.border_color.Push(tag.Color("BCOLOR", st.border_color.Top()));
      st.shadow_color.Push(tag.Color("SCOLOR", st.shadow_color.Top()));
      st.font_name.Push(tag.Has("NAME") ? tag.Attribute("NAME") : st.font_name.Top());
      st.border.Push(OutlineWidth(tag, "BORDER", st.border.Top()));
      st.shadow.Push(OutlineWidth(tag, "SHADOW", st.shadow.Top()));
      break;
    case kTagEndFont:
      st.size.Pop();
      st.color.Pop();
      st.border_color.Pop();
      st.shadow_color.Pop();
      st.font_name.Pop();
      st.border.Pop();
      st.shadow.Pop();
      break;
    case kTagNobr:
      st.no_break = true;
      break;
    case kTagEndNobr:
      st.no_break = false;
      break;
    case kTagRuby:
      st.ruby = tag.Attribute("VALUE");
      break;
    case kTagEndRuby:
      st.ruby.clear();
      break;
    case kTagDiv:
    case kTagEndDiv: {
      if (tag.id == kTagDiv)
        st.align.Push(tag.Align({kAlignLeft, kAlignRight, kAlignCenter}, kAlignLeft));
      else
        st.align.Pop();
      auto a = std::make_unique<TWdOpeAlign>(this);
      a->align = static_cast<uint8_t>(st.align.Top());
      glyphs_.push_back(std::move(a));
      break;
    }
    case kTagIndent:
      glyphs_.push_back(std::make_unique<TWdOpeIndent>(this));
      break;
    case kTagUndent:
      glyphs_.push_back(std::make_unique<TWdOpeUndent>(this));
      break;
    case kTagBr:
    case kTagClear: {
      auto r = std::make_unique<TWdOpeReturn>(this);
      r->clear = tag.id == kTagClear || tag.Has("CLEAR");
      glyphs_.push_back(std::move(r));
      break;
    }
    case kTagEvent: {
      auto e = std::make_unique<TWdOpeEvent>(this);
      e->value = UnescapeMarkup(tag.Attribute("VALUE"));
      e->end = tag.Has("END");
      glyphs_.push_back(std::move(e));
      break;
    }
    case kTagWait:
      st.wait.Push(tag.Integer("VALUE", st.wait.Top()));
      break;
    case kTagEndWait:
      st.wait.Pop();
      break;
    case kTagVar:
    case kTagHistChar: {
      std::string src = tag.Attribute(tag.id == kTagVar ? "NAME" : "VALUE");
      if (src.empty())
        break;
      std::unique_ptr<TWdOpeVar> v;
      if (tag.id == kTagVar)
        v = std::make_unique<TWdOpeVar>(this);
      else
        v = std::make_unique<TWdOpeHistChar>(this);
      v->source = std::move(src);
      v->SetDecoration(st.Decoration());
      v->link = st.link;
      v->wait = st.wait.Top();
      glyphs_.push_back(std::move(v));
      break;
    }
    case kTagImg: {
      std::string src = tag.Attribute("SRC");
      if (src.empty())
        break;
      auto img = std::make_unique<TWdImg>(this);
      img->file_name = std::move(src);
      img->valign =
          static_cast<uint8_t>(tag.Align({kAlignCenter, kAlignTop, kAlignBottom}, kAlignBottom));
      img->no_break = st.no_break;
      img->ruby = st.ruby;
      img->link = st.link;
      img->wait = st.wait.Top();
      glyphs_.push_back(std::move(img));
      break;
    }
    default:
      break;
    }
  }
}

} // namespace nova
