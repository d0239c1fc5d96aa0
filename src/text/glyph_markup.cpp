// SPDX-License-Identifier: MIT
// Glyph lists back to markup: the tags that rebuild the same glyphs, decorations and waits.
#include <map>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "text/font_pixel.h"
#include "text/zpword.h"

namespace nova {
namespace {

// The seven values that one FONT tag pushes; the empty state is what no FONT gives.
struct FontState {
  int32_t size = 0;
  int32_t color = -1;
  int32_t border_color = -1;
  int32_t shadow_color = -1;
  std::string name;
  int32_t border = -1;
  int32_t shadow = -1;

  static FontState Of(const TDecorate& d) {
    return {d.size, d.color, d.border_color, d.shadow_color, d.font_name, d.border, d.shadow};
  }
  bool operator==(const FontState&) const = default;
};

// An attribute value in quotes. Inside quotes the tokenizer copies bytes verbatim up to the
// next double quote, so a value holding one takes single quotes.
std::string Quoted(const std::string& value) {
  const char q = value.find('"') == std::string::npos ? '"' : '\'';
  return q + value + q;
}

// The inverse of UnescapeMarkup for a quoted value: backslashes doubled, CR LF as \n.
std::string EscapedValue(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size();) {
    const size_t n = CharBytes(value, i);
    if (n == 1 && value[i] == '\\') {
      out += "\\\\";
    } else if (n == 1 && value.compare(i, 2, "\r\n") == 0) {
      out += "\\n";
      ++i;
    } else {
      out.append(value, i, n);
    }
    i += n;
  }
  return out;
}

std::string ColorAttribute(int32_t colorref) {
  static const char* digits = "0123456789ABCDEF";
  const uint32_t c = static_cast<uint32_t>(colorref);
  const uint32_t rgb = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  std::string s = "#";
  for (int shift = 20; shift >= 0; shift -= 4)
    s += digits[(rgb >> shift) & 15];
  return s;
}

class MarkupWriter {
public:
  explicit MarkupWriter(int text_delay_ms) : text_delay_(text_delay_ms) {}

  std::string Run(const TZpWord& word) {
    for (size_t i = 0; i < word.GlyphCount(); ++i)
      Glyph(*word.GlyphAt(static_cast<int>(i)));
    Close();
    return std::move(out_);
  }

private:
  void Tag(const std::string& tag) { out_ += tag; }

  void Glyph(const TWdGlyph& g) {
    switch (g.Kind()) {
    case kKindChar: {
      auto& c = static_cast<const TWdChar&>(g);
      Visible(c.link, c.wait, c.decorate);
      Text(c.CharText());
      break;
    }
    case kKindVar:
    case kKindHistChar: {
      auto& v = static_cast<const TWdOpeVar&>(g);
      Visible(v.link, v.wait, v.decorate);
      Tag(std::string(g.Kind() == kKindVar ? "<VAR NAME=" : "<HISTCHAR VALUE=") + Quoted(v.source) +
          ">");
      break;
    }
    case kKindImg: {
      auto& m = static_cast<const TWdImg&>(g);
      SetLink(m.link);
      SetWait(m.wait);
      std::string tag = "<IMG SRC=" + Quoted(m.file_name);
      if (m.valign == kAlignCenter)
        tag += " ALIGN=CENTER";
      else if (m.valign == kAlignTop)
        tag += " ALIGN=TOP";
      else if (m.valign != kAlignBottom)
        tag += " ALIGN=?"; // no markup gives it: the round trip check catches this
      Tag(tag + ">");
      break;
    }
    case kKindAlign:
      Align(static_cast<const TWdOpeAlign&>(g).align);
      break;
    case kKindReturn:
      Tag(static_cast<const TWdOpeReturn&>(g).clear ? "<CLEAR>" : "<BR>");
      break;
    case kKindIndent:
      Tag("<INDENT>");
      break;
    case kKindUndent:
      Tag("<UNDENT>");
      break;
    case kKindEvent: {
      auto& e = static_cast<const TWdOpeEvent&>(g);
      std::string tag = "<EVENT";
      if (!e.value.empty())
        tag += " VALUE=" + Quoted(EscapedValue(e.value));
      Tag(tag + (e.end ? " END>" : ">"));
      break;
    }
    default:
      break;
    }
  }

  // Characters as running text: brackets, quotes and backslashes escaped, and a second space
  // in a row set apart by an empty tag so that it is not collapsed into the first.
  void Text(const std::string& bytes) {
    if (bytes == " " && !out_.empty() && out_.back() == ' ')
      Tag("<>");
    if (bytes.size() == 1 && (bytes[0] == '<' || bytes[0] == '"' || bytes[0] == '\\'))
      out_ += '\\';
    out_ += bytes;
  }

  // A link encloses the formatting of its characters, as authors write it.
  void Visible(const std::string& link, int32_t wait, const TDecorate* d) {
    if (link != link_)
      SetLink("");
    SetDecoration(d ? *d : TDecorate{});
    SetWait(wait);
    SetLink(link);
  }

  void SetLink(const std::string& link) {
    if (link == link_)
      return;
    if (!link_.empty())
      Tag("</A>");
    if (!link.empty())
      Tag("<A HREF=" + Quoted(EscapedValue(link)) + ">");
    link_ = link;
  }

  // At most one WAIT is open: characters at the base delay need none.
  void SetWait(int32_t wait) {
    if (wait == wait_)
      return;
    if (wait_ != text_delay_)
      Tag("</WAIT>");
    if (wait != text_delay_)
      Tag("<WAIT VALUE=" + std::to_string(wait) + ">");
    wait_ = wait;
  }

  // Closing tags first, then opening ones: each tag changes only its own item of the state.
  void SetDecoration(const TDecorate& d) {
    static constexpr std::pair<uint8_t, const char*> kStyles[] = {
        {kStyleBold, "B"}, {kStyleItalic, "I"}, {kStyleUnderline, "U"}, {kStyleStrike, "S"}};
    for (auto [bit, name] : kStyles) {
      if ((style_ & bit) && !(d.style & bit))
        Tag(std::string("</") + name + ">");
    }
    if (no_break_ && !d.no_break)
      Tag("</NOBR>");
    if (!ruby_.empty() && d.ruby.empty())
      Tag("</RUBY>");
    const FontState font = FontState::Of(d);
    if (font != font_ && font_open_)
      Tag("</FONT>");
    if (font != font_ && !(font == FontState{}))
      OpenFont(font);
    font_open_ = !(font == FontState{});
    font_ = font;
    for (auto [bit, name] : kStyles) {
      if (!(style_ & bit) && (d.style & bit))
        Tag(std::string("<") + name + ">");
    }
    style_ = d.style;
    if (!no_break_ && d.no_break)
      Tag("<NOBR>");
    no_break_ = d.no_break;
    if (d.ruby != ruby_ && !d.ruby.empty())
      Tag("<RUBY VALUE=" + Quoted(d.ruby) + ">");
    ruby_ = d.ruby;
  }

  // FONT pushes all seven values, taking absent attributes from the enclosing FONT; one FONT
  // over the empty state at a time keeps that simple.
  void OpenFont(const FontState& f) {
    const FontState base;
    std::string tag = "<FONT";
    if (f.size != base.size)
      tag += " SIZE=" + std::to_string(f.size);
    for (auto [value, name] : {std::pair{f.color, " COLOR="},
                               {f.border_color, " BCOLOR="},
                               {f.shadow_color, " SCOLOR="}}) {
      if (value != -1)
        tag += name + ColorAttribute(value);
    }
    if (!f.name.empty())
      tag += " NAME=" + Quoted(f.name);
    if (f.border != base.border)
      tag += " BORDER=" + std::to_string(f.border);
    if (f.shadow != base.shadow)
      tag += " SHADOW=" + std::to_string(f.shadow);
    Tag(tag + ">");
  }

  // DIV pushes an alignment and /DIV pops one, each adding an alignment glyph: a glyph that
  // restores the alignment below the top is a /DIV, any other a DIV.
  void Align(uint8_t align) {
    const uint8_t below = aligns_.size() > 1 ? aligns_[aligns_.size() - 2] : kAlignLeft;
    if (!aligns_.empty() && align == below) {
      aligns_.pop_back();
      Tag("</DIV>");
      return;
    }
    static const char* kNames[] = {"?", "LEFT", "RIGHT", "CENTER"};
    aligns_.push_back(align);
    Tag(std::string("<DIV ALIGN=") + kNames[align <= kAlignCenter ? align : 0] + ">");
  }

  // Open state is discarded at the end of a parse; closing it only keeps the markup tidy.
  void Close() {
    SetLink("");
    SetWait(text_delay_);
    TDecorate plain;
    plain.border = -1;
    plain.shadow = -1;
    SetDecoration(plain);
  }

  const int32_t text_delay_;
  std::string out_;
  std::string link_;
  int32_t wait_ = text_delay_;
  uint8_t style_ = 0;
  bool no_break_ = false;
  std::string ruby_;
  FontState font_;
  bool font_open_ = false;
  std::vector<uint8_t> aligns_;
};

// The wait most glyphs carry: writing it as the base delay leaves the fewest WAIT tags.
int32_t CommonWait(const TZpWord& word, int32_t preferred) {
  std::map<int32_t, size_t> counts;
  for (size_t i = 0; i < word.GlyphCount(); ++i) {
    const TWdGlyph& g = *word.GlyphAt(static_cast<int>(i));
    if (g.Kind() == kKindChar || g.Kind() == kKindImg)
      ++counts[static_cast<const TWdReal&>(g).wait];
    else if (g.Kind() == kKindVar || g.Kind() == kKindHistChar)
      ++counts[static_cast<const TWdOpeVar&>(g).wait];
  }
  int32_t best = preferred;
  size_t best_count = counts.count(preferred) ? counts[preferred] : 0;
  for (auto [wait, n] : counts) {
    if (n > best_count) {
      best = wait;
      best_count = n;
    }
  }
  return best;
}

} // namespace

std::string GlyphStreamToMarkup(std::span<const uint8_t> stream, const std::string& what,
                                int text_delay_ms) {
  TZpWord word;
  BinaryReader r(stream, what);
  word.LoadGlyphs(r);
  return MarkupWriter(text_delay_ms).Run(word);
}

std::optional<GlyphStreamSource> RecoverGlyphStreamSource(std::span<const uint8_t> stream,
                                                          int preferred_delay_ms) {
  try {
    TZpWord word;
    BinaryReader r(stream, "glyph-list stream");
    word.LoadGlyphs(r);
    if (r.remaining() != 0)
      return std::nullopt;
    GlyphStreamSource source;
    source.text_delay_ms = CommonWait(word, preferred_delay_ms);
    source.markup = MarkupWriter(source.text_delay_ms).Run(word);
    const std::vector<uint8_t> again = MarkupToGlyphStream(source.markup, source.text_delay_ms);
    if (!std::equal(again.begin(), again.end(), stream.begin(), stream.end()))
      return std::nullopt;
    return source;
  } catch (const ENovaError&) {
    return std::nullopt; // damaged, or markup that cannot be parsed back: not recoverable
  }
}

} // namespace nova
