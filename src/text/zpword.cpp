// SPDX-License-Identifier: MIT
// The glyph list of a text: list editing, variable expansion, copying and positions.
#include "text/zpword.h"

#include <algorithm>

#include "base/sjis.h"
#include "text/font_pixel_manager.h"
#include "text/text_messages.h"

namespace nova {
namespace {
TextExpressionHost* g_default_host = nullptr;

std::string_view Trimmed(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos)
    return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}
} // namespace

void SetDefaultTextExpressionHost(TextExpressionHost* host) { g_default_host = host; }
TextExpressionHost* DefaultTextExpressionHost() { return g_default_host; }

TZpWord::TZpWord() { settings.default_font = TextTexts().ms_gothic; }

TZpWord::~TZpWord() { glyphs_.clear(); }

void TZpWord::Clear() {
  hover_ = nullptr;
  glyphs_.clear();
  decorations_.Clear();
  replay_values_.clear();
}

TWdGlyph* TZpWord::GlyphAt(int index) const {
  return index >= 0 && static_cast<size_t>(index) < glyphs_.size() ? glyphs_[index].get() : nullptr;
}

int TZpWord::IndexOf(const TWdGlyph* glyph) const {
  for (size_t i = 0; i < glyphs_.size(); ++i)
    if (glyphs_[i].get() == glyph)
      return static_cast<int>(i);
  return -1;
}

void TZpWord::InsertGlyph(int index, std::unique_ptr<TWdGlyph> glyph) {
  index = std::clamp(index, 0, static_cast<int>(glyphs_.size()));
  glyphs_.insert(glyphs_.begin() + index, std::move(glyph));
}

void TZpWord::DeleteGlyph(int index) {
  if (!GlyphAt(index))
    return;
  if (hover_ == glyphs_[index].get())
    hover_ = nullptr;
  glyphs_.erase(glyphs_.begin() + index);
}

TFontPixelManager& TZpWord::Fonts() const { return font_pixels ? *font_pixels : FontPixels(); }

TextExpressionHost* TZpWord::Expressions() const {
  return expressions ? expressions : g_default_host;
}

void TZpWord::ExpandVariables(int first, int last, bool history) {
  const int count = static_cast<int>(glyphs_.size());
  if (last < 0 || last >= count)
    last = count - 1;
  for (int i = last; i >= std::max(0, first); --i)
    ExpandOne(i, history);
}

void TZpWord::CollapseVariables(int first, int last) {
  const int count = static_cast<int>(glyphs_.size());
  if (last < 0 || last >= count)
    last = count - 1;
  for (int i = last; i >= std::max(0, first); --i) {
    if (i >= static_cast<int>(glyphs_.size()))
      continue;
    const GlyphKind k = glyphs_[i]->Kind();
    if (k == kKindVar || k == kKindHistChar)
      CollapseOne(static_cast<TWdOpeVar&>(*glyphs_[i]));
  }
}

void TZpWord::CollapseOne(TWdOpeVar& var) {
  for (TWdGlyph* g : var.inserted) {
    int i = IndexOf(g);
    if (i >= 0)
      DeleteGlyph(i);
  }
  var.inserted.clear();
}

void TZpWord::ExpandOne(int index, bool history) {
  TWdGlyph* glyph = GlyphAt(index);
  if (!glyph)
    return;
  const GlyphKind kind = glyph->Kind();
  if (kind != kKindVar && !(kind == kKindHistChar && history))
    return;
  auto& var = static_cast<TWdOpeVar&>(*glyph);
  CollapseOne(var);
  std::string value;
  TextExpressionHost* host = Expressions();
  if (var.source.empty()) {
    if (var.compiled.empty() || !host || !host->ExecuteCompiled(var.compiled, value))
      return;
  } else {
    bool replayed = false;
    for (const std::string& line : replay_values_) {
      size_t eq = line.find('=');
      if (eq != std::string::npos && std::string_view(line).substr(0, eq) == var.source) {
        value = line.substr(eq + 1);
        std::replace(value.begin(), value.end(), '\x01', '\r');
        replayed = true;
        break;
      }
    }
    if (!replayed) {
      std::string_view src = Trimmed(var.source);
      if (src.empty() || !host || !host->EvaluateText(std::string(src), value))
        return;
    }
  }
  TDecorate values = var.decorate ? *var.decorate : TDecorate{};
  int at = IndexOf(&var) + 1;
  bool first = true;
  for (size_t i = 0; i < value.size();) {
    const size_t n = CharBytes(value, i);
    const uint16_t code = CharCodeAt(value, i);
    i += n;
    std::unique_ptr<TWdGlyph> made;
    if (code == '\r') {
      made = std::make_unique<TWdVarReturn>(this);
    } else if (code < 32) {
      continue;
    } else {
      auto c = std::make_unique<TWdVarChar>(this);
      c->code = code;
      c->SetDecoration(values);
      c->link = var.link;
      c->wait = var.wait;
      c->first_of_var = first;
      first = false;
      made = std::move(c);
    }
    var.inserted.push_back(made.get());
    InsertGlyph(at++, std::move(made));
  }
}

std::vector<std::string> TZpWord::CollectReplayValues() const {
  std::vector<std::string> out;
  auto is_replay_name = [&](const std::string& name) {
    for (const std::string& line : replay_values_)
      if (line.compare(0, line.find('='), name) == 0 && line.find('=') == name.size())
        return true;
    return false;
  };
  for (const auto& g : glyphs_) {
    const GlyphKind k = g->Kind();
    if (k != kKindVar && k != kKindHistChar)
      continue;
    const auto& var = static_cast<const TWdOpeVar&>(*g);
    if (!is_replay_name(var.source))
      continue;
    const std::string prefix = var.source + "=";
    if (std::any_of(out.begin(), out.end(),
                    [&](const std::string& l) { return l.starts_with(prefix); }))
      continue;
    std::string line = prefix;
    for (const TWdGlyph* ins : var.inserted)
      line += ins->IsLineBreak() ? std::string("\x01") : ins->CharText();
    out.push_back(std::move(line));
  }
  return out;
}

void TZpWord::CopyGlyphs(const TZpWord& source, int first, int last) {
  const int count = static_cast<int>(source.glyphs_.size());
  if (last < 0 || last >= count)
    last = count - 1;
  for (int i = std::max(0, first); i <= last; ++i) {
    const TWdGlyph& src = *source.glyphs_[i];
    if (src.CharCount() == 0)
      continue; // products of expansion are made again here
    std::unique_ptr<TWdGlyph> made = CreateGlyphOfKind(this, src.Kind());
    if (!made)
      continue;
    switch (src.Kind()) {
    case kKindChar: {
      auto& s = static_cast<const TWdChar&>(src);
      auto& d = static_cast<TWdChar&>(*made);
      d.code = s.code;
      d.SetDecoration(s.decorate ? *s.decorate : TDecorate{});
      d.link = s.link;
      d.wait = s.wait;
      break;
    }
    case kKindImg: {
      auto& s = static_cast<const TWdImg&>(src);
      auto& d = static_cast<TWdImg&>(*made);
      d.file_name = s.file_name;
      d.valign = s.valign;
      d.no_break = s.no_break;
      d.ruby = s.ruby;
      d.link = s.link;
      d.wait = s.wait;
      break;
    }
    case kKindAlign:
      static_cast<TWdOpeAlign&>(*made).align = static_cast<const TWdOpeAlign&>(src).align;
      break;
    case kKindReturn:
      static_cast<TWdOpeReturn&>(*made).clear = static_cast<const TWdOpeReturn&>(src).clear;
      break;
    case kKindEvent: {
      auto& s = static_cast<const TWdOpeEvent&>(src);
      auto& d = static_cast<TWdOpeEvent&>(*made);
      d.value = s.value;
      d.end = s.end;
      break;
    }
    case kKindVar:
    case kKindHistChar: {
      auto& s = static_cast<const TWdOpeVar&>(src);
      auto& d = static_cast<TWdOpeVar&>(*made);
      d.SetDecoration(s.decorate ? *s.decorate : TDecorate{});
      d.link = s.link;
      d.wait = s.wait;
      d.source = s.source;
      d.compiled = s.compiled;
      break;
    }
    default:
      break;
    }
    glyphs_.push_back(std::move(made));
  }
}

int TZpWord::CharPositionOfGlyph(const TWdGlyph* glyph) const {
  int pos = 0;
  for (const auto& g : glyphs_) {
    if (g.get() == glyph)
      return pos;
    pos += g->CharCount();
  }
  return -1;
}

int TZpWord::GlyphAtCharPosition(int position) const {
  int remaining = position;
  for (size_t i = 0; i < glyphs_.size(); ++i) {
    if (remaining <= 0)
      return static_cast<int>(i);
    remaining -= glyphs_[i]->CharCount();
  }
  return -1;
}

std::string TZpWord::PlainText() const {
  std::string out;
  for (const auto& g : glyphs_)
    out += g->PlainText();
  return out;
}

} // namespace nova
