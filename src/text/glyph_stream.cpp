// SPDX-License-Identifier: MIT
// The glyph-list stream: reader and writer, every version.
#include <algorithm>

#include "base/nova_error.h"
#include "text/font_pixel.h"
#include "text/zpword.h"

namespace nova {
namespace {

constexpr uint8_t kOcFunc = 11;

int ReadVersion(BinaryReader& r) {
  if (r.remaining() < 9)
    return 0;
  const size_t start = r.position();
  std::string header = r.FixedString(9);
  if (header.compare(0, 6, "ZpWord") != 0) {
    r.Seek(start);
    return 0;
  }
  int version = 0;
  for (size_t i = 6; i < 9; ++i) {
    if (header[i] < '0' || header[i] > '9')
      r.Fail("glyph-list version '" + header.substr(6) + "' is not a number");
    version = version * 10 + (header[i] - '0');
  }
  return version;
}

// The serialised operation list of an expression, kept as bytes: the expression layer reads it.
std::vector<uint8_t> ReadCompiled(BinaryReader& r) {
  const size_t start = r.position();
  const int32_t ops = r.I32();
  r.CheckCount(ops, 9, "expression operations");
  for (int32_t i = 0; i < ops; ++i) {
    const uint8_t opcode = r.U8();
    r.String();
    const int32_t args = r.I32();
    r.CheckCount(args, 1, "expression arguments");
    if (opcode == kOcFunc)
      r.U8();
    for (int32_t a = 0; a < args; ++a) {
      switch (r.U8()) {
      case 0:
      case 4:
        r.String();
        break;
      case 1:
        r.Skip(4);
        break;
      case 2:
        r.Skip(10);
        break;
      case 3:
        r.Skip(1);
        break;
      default:
        r.Fail("unknown expression argument kind");
      }
    }
  }
  const size_t end = r.position();
  r.Seek(start);
  auto bytes = r.Bytes(end - start);
  return {bytes.begin(), bytes.end()};
}

} // namespace

void TZpWord::LoadGlyphs(BinaryReader& r) {
  const int version = ReadVersion(r);
  const size_t first_record = decorations_.size();
  const int32_t decos = r.I32();
  r.CheckCount(decos, version > 99 ? 30 : 27, "decorations");
  for (int32_t i = 0; i < decos; ++i) {
    TDecorate d;
    d.use_count = r.I32();
    d.color = r.I32();
    d.border_color = r.I32();
    d.size = r.I32();
    d.style = r.U8();
    d.no_break = r.Bool();
    d.border = version > 99 ? r.I32() : (r.U8() != 0 ? 1 : 0);
    d.font_name = r.String();
    d.ruby = r.String();
    if (version >= 100) {
      d.shadow = r.I32();
      d.shadow_color = r.I32();
    } else {
      d.shadow = 0;
      d.shadow_color = 0;
    }
    decorations_.AppendStored(d);
  }
  // Use counts are rebuilt from the references actually loaded, so a damaged count can never
  // free a record that glyphs still point to.
  for (size_t i = first_record; i < decorations_.size(); ++i)
    decorations_.At(i)->use_count = 0;
  auto decoration = [&](int32_t index) -> TDecorate* {
    TDecorate* d = index >= 0 && index < decos ? decorations_.At(first_record + index) : nullptr;
    if (d) {
      ++d->use_count;
      return d;
    }
    return decorations_.Acquire(TDecorate{});
  };

  const int32_t count = r.I32();
  r.CheckCount(count, 1, "glyphs");
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t kind = r.U8();
    std::unique_ptr<TWdGlyph> g = CreateGlyphOfKind(this, kind);
    if (!g)
      continue;
    switch (g->Kind()) {
    case kKindChar: {
      auto& c = static_cast<TWdChar&>(*g);
      c.link = r.String();
      c.wait = r.I32();
      c.code = r.U16();
      c.decorate = decoration(r.I32());
      break;
    }
    case kKindAlign:
      static_cast<TWdOpeAlign&>(*g).align = r.U8();
      break;
    case kKindReturn:
      static_cast<TWdOpeReturn&>(*g).clear = r.Bool();
      break;
    case kKindEvent: {
      auto& e = static_cast<TWdOpeEvent&>(*g);
      e.value = r.String();
      if (!e.value.empty() && e.value[0] == '\x01') {
        e.end = true;
        e.value.erase(0, 1);
      }
      break;
    }
    case kKindVar:
    case kKindHistChar: {
      auto& v = static_cast<TWdOpeVar&>(*g);
      v.decorate = decoration(r.I32());
      if (version > 100) {
        v.wait = r.I32();
        v.link = r.String();
      }
      if (version < 102)
        v.compiled = ReadCompiled(r);
      else
        v.source = r.String();
      break;
    }
    case kKindImg: {
      auto& m = static_cast<TWdImg&>(*g);
      m.link = r.String();
      m.wait = r.I32();
      m.file_name = r.String();
      m.valign = r.U8();
      break;
    }
    default:
      break;
    }
    glyphs_.push_back(std::move(g));
  }
}

void TZpWord::SaveGlyphs(BinaryWriter& w) const {
  w.Bytes(std::string_view("ZpWord102"));
  w.I32(static_cast<int32_t>(decorations_.size()));
  for (size_t i = 0; i < decorations_.size(); ++i) {
    const TDecorate& d = *decorations_.At(i);
    w.I32(d.use_count);
    w.I32(d.color);
    w.I32(d.border_color);
    w.I32(d.size);
    w.U8(d.style);
    w.Bool(d.no_break);
    w.I32(d.border);
    w.String(d.font_name);
    w.String(d.ruby);
    w.I32(d.shadow);
    w.I32(d.shadow_color);
  }
  // Products of variable expansion are made again at display time; they are never stored.
  const auto stored = [](const TWdGlyph& g) { return g.CharCount() > 0; };
  w.I32(static_cast<int32_t>(
      std::count_if(glyphs_.begin(), glyphs_.end(), [&](const auto& g) { return stored(*g); })));
  for (const auto& gp : glyphs_) {
    const TWdGlyph& g = *gp;
    if (!stored(g))
      continue;
    w.U8(g.Kind());
    switch (g.Kind()) {
    case kKindChar: {
      auto& c = static_cast<const TWdChar&>(g);
      w.String(c.link);
      w.I32(c.wait);
      w.U16(c.code);
      w.I32(decorations_.IndexOf(c.decorate));
      break;
    }
    case kKindAlign:
      w.U8(static_cast<const TWdOpeAlign&>(g).align);
      break;
    case kKindReturn:
      w.Bool(static_cast<const TWdOpeReturn&>(g).clear);
      break;
    case kKindEvent: {
      auto& e = static_cast<const TWdOpeEvent&>(g);
      w.String(e.end ? "\x01" + e.value : e.value);
      break;
    }
    case kKindVar:
    case kKindHistChar: {
      auto& v = static_cast<const TWdOpeVar&>(g);
      w.I32(decorations_.IndexOf(v.decorate));
      w.I32(v.wait);
      w.String(v.link);
      w.String(v.source);
      break;
    }
    case kKindImg: {
      auto& m = static_cast<const TWdImg&>(g);
      w.String(m.link);
      w.I32(m.wait);
      w.String(m.file_name);
      w.U8(m.valign);
      break;
    }
    default:
      break;
    }
  }
}

std::vector<std::string> SplitTextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n')
        ++i;
      start = i + 1;
    }
  }
  return lines;
}

std::vector<uint8_t> MarkupToGlyphStream(const std::string& markup, int text_delay_ms) {
  TZpWord word;
  word.Parse(SplitTextLines(markup), text_delay_ms);
  BinaryWriter w;
  word.SaveGlyphs(w);
  return w.Take();
}

} // namespace nova
