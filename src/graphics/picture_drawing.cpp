// SPDX-License-Identifier: MIT
#include "graphics/picture_drawing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <sstream>

#include "base/nova_error.h"

namespace nova {
namespace {

// Generated pictures stay small: they are test and demo material. The caps bound the memory
// and the work that any description can ask for.
constexpr int32_t kMaxSide = 2048;
constexpr size_t kMaxFrames = 256;
constexpr int64_t kMaxTotalPixels = int64_t{1} << 22;
constexpr int64_t kMaxPaintedPixels = int64_t{1} << 23;

// A 5 × 7 pixel font, one byte a row with the leftmost pixel in bit 4.
struct TGlyph {
  char c;
  std::array<uint8_t, 7> rows;
};
constexpr TGlyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
};

const TGlyph* GlyphOf(char c) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const TGlyph& g : kGlyphs)
    if (g.c == upper)
      return &g;
  return nullptr;
}

// One line of the description, split into words; a quoted word keeps its spaces.
class TLine {
public:
  TLine(const std::string& text, const std::string& where) : where_(where) {
    size_t i = 0;
    while (i < text.size()) {
      if (std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
      } else if (text[i] == '#') {
        break;
      } else if (text[i] == '"') {
        const size_t end = text.find('"', i + 1);
        if (end == std::string::npos)
          Fail("a text without its closing quote");
        words_.push_back(text.substr(i, end + 1 - i));
        i = end + 1;
      } else {
        size_t end = i;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
          ++end;
        words_.push_back(text.substr(i, end - i));
        i = end;
      }
    }
  }
  bool Empty() const { return words_.empty(); }
  const std::string& Verb() const { return words_[0]; }
  size_t Count() const { return words_.size(); }
  const std::string& Word(size_t i) const {
    if (i >= words_.size())
      Fail("\"" + Verb() + "\" needs more values");
    return words_[i];
  }
  int32_t Int(size_t i, int32_t lo, int32_t hi) const { return IntOf(Word(i), lo, hi); }
  int32_t IntOf(const std::string& w, int32_t lo, int32_t hi) const {
    try {
      size_t used = 0;
      const long v = std::stol(w, &used, 0);
      if (used == w.size() && v >= lo && v <= hi)
        return static_cast<int32_t>(v);
    } catch (const std::exception&) {
    }
    Fail("\"" + w + "\" is no number from " + std::to_string(lo) + " to " + std::to_string(hi));
  }
  // A colour as scripts write it: $BBGGRR.
  uint32_t Color(size_t i) const { return ColorOf(Word(i)); }
  uint32_t ColorOf(const std::string& w) const {
    if (w.size() == 7 && w[0] == '$' && std::all_of(w.begin() + 1, w.end(), [](char c) {
          return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        }))
      return static_cast<uint32_t>(std::stoul(w.substr(1), nullptr, 16));
    Fail("\"" + w + "\" is no colour ($BBGGRR)");
  }
  std::string Text(size_t i) const {
    const std::string& w = Word(i);
    if (w.size() < 2 || w.front() != '"')
      Fail("\"" + w + "\" is no quoted text");
    return w.substr(1, w.size() - 2);
  }
  [[noreturn]] void Fail(const std::string& what) const { throw ENovaError(where_ + ": " + what); }

private:
  std::string where_;
  std::vector<std::string> words_;
};

// Paints into a frame: colours blend with the opacity; on a frame with alpha the paint goes
// over what is there (the alpha grows, the colour mixes by weight).
class TCanvas {
public:
  TCanvas(TWispFrame& f, int64_t& painted, const TLine& line)
      : f_(f), painted_(painted), line_(line) {}
  int32_t Width() const { return f_.Width(); }
  int32_t Height() const { return f_.Height(); }

  void Put(int32_t x, int32_t y, uint32_t color, int32_t opacity) {
    Count();
    if (x < 0 || y < 0 || x >= Width() || y >= Height() || opacity <= 0)
      return;
    TWispBitmap& c = f_.picture.color;
    const uint32_t old = c.RawToColor(c.GetRaw(x, y));
    const int32_t da = f_.HasAlpha() ? f_.picture.alpha.Row(y)[x] : 255;
    const int32_t keep = da * (255 - opacity) / 255;
    const int32_t out_a = opacity + keep;
    uint32_t mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int32_t s = static_cast<int32_t>((color >> shift) & 0xFF);
      const int32_t d = static_cast<int32_t>((old >> shift) & 0xFF);
      const int32_t v = (s * opacity + d * keep + out_a / 2) / out_a;
      mixed |= static_cast<uint32_t>(v) << shift;
    }
    c.SetRaw(x, y, c.ColorToRaw(mixed));
    if (f_.HasAlpha())
      f_.picture.alpha.Row(y)[x] = static_cast<uint8_t>(out_a);
  }

  // Back to nothing: black, and transparent on a frame with alpha.
  void Erase(int32_t x, int32_t y) {
    Count();
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
      return;
    f_.picture.color.SetRaw(x, y, 0);
    if (f_.HasAlpha())
      f_.picture.alpha.Row(y)[x] = 0;
  }

private:
  void Count() {
    if (++painted_ > kMaxPaintedPixels)
      line_.Fail("more than " + std::to_string(kMaxPaintedPixels) + " pixels painted");
  }

  TWispFrame& f_;
  int64_t& painted_;
  const TLine& line_;
};

uint32_t Mix(uint32_t a, uint32_t b, int32_t num, int32_t den) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t ca = static_cast<int32_t>((a >> shift) & 0xFF);
    const int32_t cb = static_cast<int32_t>((b >> shift) & 0xFF);
    out |= static_cast<uint32_t>(ca + (cb - ca) * num / den) << shift;
  }
  return out;
}

// The optional last value of a shape: its opacity.
int32_t OpacityAt(const TLine& line, size_t i) {
  return line.Count() > i ? line.Int(i, 0, 255) : 255;
}

// `pixels` counts the frames' pixels so far.
TWispFrame NewFrame(const TLine& line, int64_t& pixels) {
  TWispFrame f;
  const int32_t w = line.Int(1, 1, kMaxSide), h = line.Int(2, 1, kMaxSide);
  pixels += int64_t{w} * h;
  if (pixels > kMaxTotalPixels)
    line.Fail("the frames hold more than " + std::to_string(kMaxTotalPixels) + " pixels");
  f.picture.color.SetSize(w, h, 32);
  for (size_t i = 3; i < line.Count(); ++i) {
    const std::string& word = line.Word(i);
    if (word == "alpha") {
      f.picture.alpha.SetSize(w, h, 8);
      f.picture.has_alpha = true;
    } else if (word.starts_with("time=")) {
      f.display_time = line.IntOf(word.substr(5), 0, 3600000);
    } else if (word.starts_with("key=")) {
      // The key is a raw value of the picture's format.
      f.SetTransparent(
          static_cast<int32_t>(f.picture.color.ColorToRaw(line.ColorOf(word.substr(4)))));
    } else {
      line.Fail("\"" + word + "\" is no frame option (alpha, time=MS, key=$BBGGRR)");
    }
  }
  return f;
}

} // namespace

std::vector<TWispFrame> DrawPictures(const std::string& text, const std::string& name) {
  std::vector<TWispFrame> frames;
  int64_t pixels = 0, painted = 0;
  std::istringstream lines(text);
  int number = 0;
  for (std::string raw; std::getline(lines, raw);) {
    const TLine line(raw, name + ":" + std::to_string(++number));
    if (line.Empty())
      continue;
    const std::string& verb = line.Verb();
    if (verb == "frame") {
      if (frames.size() == kMaxFrames)
        line.Fail("more than " + std::to_string(kMaxFrames) + " frames");
      frames.push_back(NewFrame(line, pixels));
      continue;
    }
    if (frames.empty())
      line.Fail("\"" + verb + "\" before the first frame");
    TCanvas canvas(frames.back(), painted, line);
    const int32_t cw = canvas.Width(), ch = canvas.Height();
    if (verb == "fill") {
      const uint32_t color = line.Color(1);
      const int32_t opacity = OpacityAt(line, 2);
      for (int32_t y = 0; y < ch; ++y)
        for (int32_t x = 0; x < cw; ++x)
          canvas.Put(x, y, color, opacity);
    } else if (verb == "gradient") {
      const bool across = line.Word(1) == "h";
      if (!across && line.Word(1) != "v")
        line.Fail("a gradient runs h (left to right) or v (top to bottom)");
      const uint32_t from = line.Color(2), to = line.Color(3);
      const int32_t span = std::max(1, (across ? cw : ch) - 1);
      for (int32_t y = 0; y < ch; ++y)
        for (int32_t x = 0; x < cw; ++x)
          canvas.Put(x, y, Mix(from, to, across ? x : y, span), 255);
    } else if (verb == "rect" || verb == "ellipse") {
      const int32_t x0 = line.Int(1, -kMaxSide, kMaxSide), y0 = line.Int(2, -kMaxSide, kMaxSide);
      const int32_t w = line.Int(3, 0, kMaxSide), h = line.Int(4, 0, kMaxSide);
      const bool erase = line.Word(5) == "none";
      const uint32_t color = erase ? 0 : line.Color(5);
      const int32_t opacity = OpacityAt(line, 6);
      for (int32_t y = std::max(0, y0); y < std::min(ch, y0 + h); ++y) {
        for (int32_t x = std::max(0, x0); x < std::min(cw, x0 + w); ++x) {
          if (verb == "ellipse") {
            // Pixel centres inside the ellipse that the rectangle bounds.
            const double dx = (x + 0.5 - x0 - w / 2.0) / (w / 2.0);
            const double dy = (y + 0.5 - y0 - h / 2.0) / (h / 2.0);
            if (dx * dx + dy * dy > 1.0)
              continue;
          }
          if (erase)
            canvas.Erase(x, y);
          else
            canvas.Put(x, y, color, opacity);
        }
      }
    } else if (verb == "checker") {
      const int32_t cell = line.Int(1, 1, kMaxSide);
      const uint32_t a = line.Color(2), b = line.Color(3);
      for (int32_t y = 0; y < ch; ++y)
        for (int32_t x = 0; x < cw; ++x)
          canvas.Put(x, y, ((x / cell + y / cell) & 1) ? b : a, 255);
    } else if (verb == "text") {
      const int32_t x0 = line.Int(1, -kMaxSide, kMaxSide), y0 = line.Int(2, -kMaxSide, kMaxSide);
      const int32_t scale = line.Int(3, 1, 64);
      const uint32_t color = line.Color(4);
      const std::string words = line.Text(5);
      const int32_t opacity = OpacityAt(line, 6);
      int32_t pen = x0;
      for (char c : words) {
        const TGlyph* g = GlyphOf(c);
        if (!g)
          line.Fail(std::string("no glyph for '") + c + "'");
        for (int32_t row = 0; row < 7; ++row)
          for (int32_t col = 0; col < 5; ++col)
            if (g->rows[static_cast<size_t>(row)] & (0x10 >> col))
              for (int32_t sy = 0; sy < scale; ++sy)
                for (int32_t sx = 0; sx < scale; ++sx)
                  canvas.Put(pen + col * scale + sx, y0 + row * scale + sy, color, opacity);
        pen += 6 * scale;
      }
    } else {
      line.Fail("\"" + verb +
                "\" is no drawing (frame, fill, gradient, rect, ellipse, checker, "
                "text)");
    }
  }
  if (frames.empty())
    throw ENovaError(name + ": no frame");
  return frames;
}

} // namespace nova
