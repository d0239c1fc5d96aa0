// SPDX-License-Identifier: MIT
// `novatool text`: renders markup as a message box would, converts markup to glyph-list
// streams and back, and lists the faces titles can use.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "base/binary_reader.h"
#include "base/nova_error.h"
#include "base/regular_file.h"
#include "base/sjis.h"
#include "expr/param_collection.h"
#include "graphics/dibx.h"
#include "graphics/png_writer.h"
#include "script/text_form/page_text.h"
#include "text/dibx_paint_target.h"
#include "text/expr_text_host.h"
#include "text/font_pixel.h"
#include "text/font_pixel_manager.h"
#include "text/markup_check.h"
#include "text/pixel_font_manager.h"
#include "text/zpword.h"
#include "tool_args.h"

namespace {

using namespace nova;

int Usage() {
  std::fputs(
      "usage: novatool text render 'MARKUP' -o out.png [--width W] [--height H] [--page N]\n"
      "                   [--font NAME] [--size N] [--level L] [--reveal-ms T] [--delay MS]\n"
      "                   [--border B] [--shadow S] [--color #RRGGBB] [--bcolor #RRGGBB]\n"
      "                   [--background #RRGGBB] [--spacing N] [--proportional]\n"
      "       novatool text asm 'MARKUP' -o stream.bin [--delay MS]\n"
      "       novatool text disasm stream.bin\n"
      "       novatool text fonts [--fixed]\n"
      "       novatool text pack FACE SIZE 'CHARACTERS' -o out.nft [--bold] [--italic] [--as "
      "NAME]\n"
      "       novatool text extract TITLE -o texts.po\n"
      "       novatool text apply TITLE texts.po -o patch.dat\n",
      stderr);
  return 2;
}

// "#RRGGBB" to a COLORREF.
bool ParseColor(const std::string& s, int& out) {
  if (s.size() != 7 || s[0] != '#')
    return false;
  unsigned rgb = 0;
  if (std::sscanf(s.c_str() + 1, "%6x", &rgb) != 1)
    return false;
  out = static_cast<int>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
  return true;
}

struct RenderOptions {
  std::string markup, output;
  int width = 400, height = 0, page = 0, level = 3, reveal_ms = -1, delay = 40, spacing = 0;
  int size = 24, border = 0, shadow = 0, color = 0, border_color = 0x808080, background = 0xFFFFFF;
  std::string font;
  bool proportional = false;
};

int Render(const RenderOptions& o) {
  TParamCollection vars;
  ExprTextHost expressions(vars);
  TZpWord word;
  word.expressions = &expressions;
  ZpWordSettings& s = word.settings;
  const int margin = 8;
  s.origin_x = margin;
  s.origin_y = margin;
  s.wrap_width = o.width;
  s.default_size = o.size;
  s.level = o.level;
  s.line_spacing = o.spacing;
  s.default_border = o.border;
  s.default_shadow = o.shadow;
  s.default_color = o.color;
  s.default_border_color = o.border_color;
  s.default_shadow_color = o.border_color;
  s.fixed_cell = !o.proportional;
  s.paging = o.height > 0;
  s.page_height = o.height;
  s.speed = 256;
  if (!o.font.empty())
    s.default_font = Utf8ToSjis(o.font);
  const std::vector<std::string> lines = SplitTextLines(Utf8ToSjis(o.markup));
  std::string source;
  for (const std::string& line : lines)
    source += line + '\r';
  for (const std::string& warning : MarkupWarnings(source))
    std::fprintf(stderr, "novatool text: warning: %s\n", warning.c_str());
  word.Parse(lines, o.delay);
  word.ExpandVariables(0, -1, false);
  PageList pages;
  word.Layout(pages);
  if (pages.empty())
    pages.push_back(std::make_unique<TWdPage>());
  if (o.page < 0 || o.page >= static_cast<int>(pages.size())) {
    std::fprintf(stderr, "novatool text: page %d of %zu does not exist\n", o.page, pages.size());
    return 1;
  }
  TWdPage& page = *pages[o.page];
  if (s.page_height == 0)
    s.page_height = page.height;
  word.Render(page);
  word.ResetReveal(page);
  if (o.reveal_ms < 0)
    s.speed = 0;
  // A bounded number of 16 ms frames: either until the time asked for or until done.
  const int frames = o.reveal_ms < 0 ? 100000 : o.reveal_ms / 16 + 1;
  for (int f = 0; f < frames && (o.reveal_ms >= 0 || word.CanContinue(page) || f < 2); ++f)
    word.RevealTick(page, f == 0 ? 0 : 16);
  TDIBX canvas(s.wrap_width + 2 * margin, s.page_height + 2 * margin, 32);
  canvas.Clear(static_cast<TPixel>(canvas.ColorToPixel(o.background)));
  DibxPaintTarget target(canvas);
  word.Paint(page, target, {0, 0, canvas.Width(), canvas.Height()});
  WritePng(canvas, o.output);
  std::printf("%s: %dx%d, page %d of %zu\n", o.output.c_str(), canvas.Width(), canvas.Height(),
              o.page + 1, pages.size());
  return 0;
}

int RenderCommand(const ToolArgs& args) {
  RenderOptions o;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    auto number = [&](int& out) {
      const std::string* v = value();
      if (!v)
        return false;
      try {
        out = std::stoi(*v);
      } catch (const std::exception&) {
        return false;
      }
      return true;
    };
    auto color = [&](int& out) {
      const std::string* v = value();
      return v && ParseColor(*v, out);
    };
    bool ok = true;
    if (a == "-o") {
      const std::string* v = value();
      ok = v;
      if (v)
        o.output = *v;
    } else if (a == "--font") {
      const std::string* v = value();
      ok = v;
      if (v)
        o.font = *v;
    } else if (a == "--width")
      ok = number(o.width);
    else if (a == "--height")
      ok = number(o.height);
    else if (a == "--page")
      ok = number(o.page);
    else if (a == "--size")
      ok = number(o.size);
    else if (a == "--level")
      ok = number(o.level);
    else if (a == "--reveal-ms")
      ok = number(o.reveal_ms);
    else if (a == "--delay")
      ok = number(o.delay);
    else if (a == "--border")
      ok = number(o.border);
    else if (a == "--shadow")
      ok = number(o.shadow);
    else if (a == "--spacing")
      ok = number(o.spacing);
    else if (a == "--color")
      ok = color(o.color);
    else if (a == "--bcolor")
      ok = color(o.border_color);
    else if (a == "--background")
      ok = color(o.background);
    else if (a == "--proportional")
      o.proportional = true;
    else if (o.markup.empty() && i == 1)
      o.markup = a;
    else
      ok = false;
    if (!ok)
      return Usage();
  }
  if (o.output.empty() || o.width <= 0 || o.width > 8192 || o.height < 0 || o.height > 8192 ||
      o.size <= 0 || o.size > 512 || o.level < 0 || o.level > 3)
    return Usage();
  return Render(o);
}

int AsmCommand(const ToolArgs& args) {
  if (args.size() < 2)
    return Usage();
  std::string output;
  int delay_ms = kDefaultMarkupDelayMs;
  for (size_t i = 2; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "-o" && has_value) {
      output = args[++i];
    } else if (args[i] == "--delay" && has_value) {
      try {
        delay_ms = std::stoi(args[++i]);
      } catch (const std::exception&) {
        return Usage();
      }
      if (delay_ms < 0)
        return Usage();
    } else {
      return Usage();
    }
  }
  if (output.empty())
    return Usage();
  std::vector<uint8_t> stream = MarkupToGlyphStream(Utf8ToSjis(args[1]), delay_ms);
  std::ofstream out(output, std::ios::binary);
  out.write(reinterpret_cast<const char*>(stream.data()),
            static_cast<std::streamsize>(stream.size()));
  if (!out)
    throw ENovaError("cannot write " + output);
  return 0;
}

// The markup, and the base wait on a second line ("--delay N", as asm takes it) when it is not
// the default. A stream that no markup rebuilds byte for byte is shown as near as markup can.
int DisasmCommand(const ToolArgs& args) {
  if (args.size() != 2)
    return Usage();
  std::string error;
  const std::optional<std::string> text = ReadRegularFile(args[1], size_t{1} << 30, &error);
  if (!text)
    throw ENovaError("cannot read " + args[1] + " (" + error + ")");
  const std::vector<uint8_t> bytes(text->begin(), text->end());
  std::optional<GlyphStreamSource> source = RecoverGlyphStreamSource(bytes, kDefaultMarkupDelayMs);
  if (!source)
    source = GlyphStreamSource{GlyphStreamToMarkup(bytes, args[1], kDefaultMarkupDelayMs),
                               kDefaultMarkupDelayMs};
  std::printf("%s\n", SjisToUtf8(source->markup).c_str());
  if (source->text_delay_ms != kDefaultMarkupDelayMs)
    std::printf("--delay %d\n", source->text_delay_ms);
  return 0;
}

int FontsCommand(const ToolArgs& args) {
  const bool fixed = args.size() == 2 && args[1] == "--fixed";
  if (args.size() > 2 || (args.size() == 2 && !fixed))
    return Usage();
  std::vector<std::string> names;
  FontPixels().FontList(names, fixed);
  for (const std::string& n : names)
    std::printf("%s\n", SjisToUtf8(n).c_str());
  return 0;
}

// Rasterises characters of an installed face into a packed font.
int PackCommand(const ToolArgs& args) {
  if (args.size() < 6 || args[4] != "-o")
    return Usage();
  PackedFontContent c;
  c.face_name = Utf8ToSjis(args[1]);
  try {
    c.size = std::stoi(args[2]);
  } catch (const std::exception&) {
    return Usage();
  }
  // The face the glyphs come from; the packed font may carry another name (`--as`).
  std::string source_face = c.face_name;
  for (size_t i = 6; i < args.size(); ++i) {
    if (args[i] == "--as" && i + 1 < args.size())
      c.face_name = Utf8ToSjis(args[++i]);
    else if (args[i] == "--bold")
      c.style |= kStyleBold;
    else if (args[i] == "--italic")
      c.style |= kStyleItalic;
    else
      return Usage();
  }
  if (c.size <= 0 || c.size > 512 || c.face_name.size() > 63)
    return Usage();
  TFontPixelManager& fonts = FontPixels();
  if (!fonts.FindInstalledFont(source_face))
    throw ENovaError(source_face + ": face is not installed");
  fonts.SetLevel(3);
  // The cell top is the ascent above the baseline: y offsets come back unchanged.
  c.metrics.ascent = c.size;
  const TFontPixel& strike =
      fonts.GetGlyph(' ', source_face, c.style | kStyleStrike | kStyleUnderline, c.size);
  c.metrics.strike_position = c.size - strike.strike_position;
  c.metrics.strike_size = strike.strike_size;
  c.metrics.underscore_size = strike.underline_size;
  const std::string chars = Utf8ToSjis(args[3]);
  for (size_t i = 0; i < chars.size(); i += CharBytes(chars, i)) {
    const TFontPixel& g = fonts.GetGlyph(CharCodeAt(chars, i), source_face, c.style, c.size);
    PackedFontGlyph p;
    p.code = g.code;
    p.record.width = static_cast<uint16_t>(g.width);
    p.record.height = static_cast<uint16_t>(g.height);
    p.record.origin_x = static_cast<int16_t>(g.x_offset);
    p.record.origin_y = static_cast<int16_t>(c.size - g.y_offset);
    p.record.cell_advance_x = static_cast<int16_t>(g.Advance());
    p.coverage = g.bitmap;
    c.glyphs.push_back(std::move(p));
  }
  const std::vector<uint8_t> bytes = WritePackedFont(c);
  std::ofstream out(args[5], std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out)
    throw ENovaError("cannot write " + args[5]);
  return 0;
}

} // namespace

// Translation catalogues (cmd_text_po.cpp).
int TextPoCommand(const ToolArgs& args);

int Tool_text(const ToolArgs& args) {
  if (args.empty())
    return Usage();
  if (args[0] == "render")
    return RenderCommand(args);
  if (args[0] == "asm")
    return AsmCommand(args);
  if (args[0] == "disasm")
    return DisasmCommand(args);
  if (args[0] == "fonts")
    return FontsCommand(args);
  if (args[0] == "pack")
    return PackCommand(args);
  if (args[0] == "extract" || args[0] == "apply")
    return TextPoCommand(args);
  return Usage();
}
