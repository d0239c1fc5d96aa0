// SPDX-License-Identifier: MIT
// Drawing one cached glyph with shadow, outline and bars into a pair of work surfaces.
#include <cmath>
#include <cstring>

#include "text/font_pixel_manager.h"

namespace nova {
namespace {

class Composer {
public:
  Composer(TextColorSurface& color, CoverageSurface& coverage)
      : color_(color), coverage_(coverage),
        writable_(color.bpp() == 15 || color.bpp() == 16 || color.bpp() == 32),
        clip_(TextRect{0, 0, color.width(), color.height()}.Intersect(
            {0, 0, coverage.width(), coverage.height()})),
        masks_{color.red_mask(), color.green_mask(), color.blue_mask()} {}

  // A bar: colour and full coverage.
  void Bar(const TextRect& r, uint32_t pixel) {
    TextRect c = r.Intersect(clip_);
    if (c.Empty())
      return;
    if (writable_)
      color_.Fill(c, pixel);
    coverage_.Fill(c, 255);
    touched_ = touched_.Union(c);
  }

  // A bar that only marks coverage (plain text paints its colour through the mask).
  void CoverageBar(const TextRect& r) {
    TextRect c = r.Intersect(clip_);
    if (c.Empty())
      return;
    coverage_.Fill(c, 255);
    touched_ = touched_.Union(c);
  }

  void Over(int x, int y, uint8_t q, uint32_t k) {
    if (!clip_.Contains(x, y) || q == 0)
      return;
    uint8_t& a = coverage_.Row(y)[x];
    if (q == 255) {
      if (writable_)
        color_.SetPixel(x, y, k);
      a = 255;
      return;
    }
    const int a2 = a + q * (255 - a) / 255;
    const uint32_t t = a2 == 0 ? 255 : static_cast<uint32_t>(q * 255 / a2);
    a = static_cast<uint8_t>(a2);
    if (!writable_)
      return;
    const uint32_t d = color_.Pixel(x, y);
    uint32_t out = 0;
    for (uint32_t m : masks_)
      out |= ((t * (k & m) + (255 - t) * (d & m)) >> 8) & m;
    color_.SetPixel(x, y, out);
  }

  void Dilated(const TFontPixel& g, int ox, int oy, int b, uint32_t k) {
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x) {
        const uint8_t q = g.bitmap[static_cast<size_t>(y) * g.width + x];
        if (q == 0)
          continue;
        for (int dy = -b; dy <= b; ++dy)
          for (int dx = -b; dx <= b; ++dx)
            if (dx != 0 || dy != 0)
              Over(ox + x + dx, oy + y + dy, q, k);
      }
    Touch(TextRect{ox - b, oy - b, ox + g.width + b, oy + g.height + b});
  }

  // Glyph composited over in one colour.
  void GlyphOver(const TFontPixel& g, int ox, int oy, uint32_t k) {
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x)
        Over(ox + x, oy + y, g.bitmap[static_cast<size_t>(y) * g.width + x], k);
    Touch(TextRect{ox, oy, ox + g.width, oy + g.height});
  }

  // Plain glyph: solid fills the box's colour and copies coverage, otherwise colour under the
  // glyph and the larger coverage.
  void GlyphPlain(const TFontPixel& g, int ox, int oy, uint32_t k, bool solid) {
    TextRect r = TextRect{ox, oy, ox + g.width, oy + g.height}.Intersect(clip_);
    if (r.Empty())
      return;
    if (solid && writable_)
      color_.Fill(r, k);
    // Rows are walked through raw pointers: this is the path of every plain character.
    const bool wide = color_.bpp() > 16;
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* src = g.bitmap.data() + static_cast<size_t>(y - oy) * g.width - ox;
      uint8_t* dst = coverage_.Row(y);
      uint8_t* row = color_.bits() + static_cast<size_t>(y) * color_.stride();
      if (solid) {
        std::memcpy(dst + r.left, src + r.left, static_cast<size_t>(r.Width()));
        continue;
      }
      for (int x = r.left; x < r.right; ++x) {
        const uint8_t q = src[x];
        if (q == 0)
          continue;
        if (writable_) {
          if (wide)
            reinterpret_cast<uint32_t*>(row)[x] = k;
          else
            reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(k);
        }
        if (q > dst[x])
          dst[x] = q;
      }
    }
    Touch(r);
  }

  // Glyph shadow without outline: coverage copied, colour set under it.
  void GlyphShadow(const TFontPixel& g, int ox, int oy, uint32_t k) {
    GlyphPlain(g, ox, oy, k, false);
  }

  // Outlined main glyph: full coverage under it, colour blended from text to border by coverage.
  void GlyphOnBorder(const TFontPixel& g, int ox, int oy, uint32_t text, uint32_t border) {
    TextRect r = TextRect{ox, oy, ox + g.width, oy + g.height}.Intersect(clip_);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const uint32_t q = g.bitmap[static_cast<size_t>(y - oy) * g.width + (x - ox)];
        if (q == 0)
          continue;
        coverage_.Row(y)[x] = 255;
        if (!writable_)
          continue;
        uint32_t out = 0;
        if (q == 255) {
          out = text;
        } else {
          for (uint32_t m : masks_)
            out |= ((q * (text & m) + (255 - q) * (border & m)) >> 8) & m;
        }
        color_.SetPixel(x, y, out);
      }
    Touch(r);
  }

  void ClearCoverage(const TextRect& r) { coverage_.Fill(r.Intersect(clip_), 0); }
  void Touch(const TextRect& r) { touched_ = touched_.Union(r.Intersect(clip_)); }
  const TextRect& touched() const { return touched_; }

private:
  TextColorSurface& color_;
  CoverageSurface& coverage_;
  bool writable_;
  TextRect clip_;
  uint32_t masks_[3];
  TextRect touched_;
};

TextRect Trim(TextRect r, bool left_by, bool right_by, int s) {
  if (left_by)
    r.left += s;
  if (right_by)
    r.right -= s;
  return r;
}

} // namespace

TextRect TFontPixelManager::Compose(const TFontPixel& g, TextColorSurface& color,
                                    CoverageSurface& coverage, const ComposeArgs& a) {
  if (g.Empty())
    return {};
  const int L = a.box.left, T = a.box.top, W = a.box.Width(), H = a.box.Height();
  const int B = std::max(0, a.border), S = std::max(0, a.shadow);

  // A narrow glyph sits inside a wider cell by its ABC proportions.
  int s = 0;
  const int free = std::min(W, g.size) - g.width;
  if (g.x_offset + g.extra_advance < free) {
    AbcWidths abc = Abc(g.code, g.font_name, g.style, g.size);
    const int total = abc.a + abc.b + abc.c;
    if (abc.a + abc.c != 0 && total != 0)
      s = static_cast<int>(std::nearbyint(static_cast<double>(abc.a + abc.b / 2) * free / total));
    else
      s = free / 2;
    s = std::max(0, s - g.x_offset);
  }
  const int gx = L + g.x_offset + s, gy = T + g.y_offset;

  Composer c(color, coverage);
  const TextRect base{gx, gy, gx + 2 * B + g.width + S, gy + g.height + 2 * B + S};
  if (B == 0 && S == 0) {
    c.GlyphPlain(g, gx, gy, a.text_pixel, a.solid);
    if (g.underline_size > 0)
      c.CoverageBar({L, T + H - g.underline_size, L + W, T + H});
    if (g.strike_size > 0)
      c.CoverageBar({L, T + g.strike_position, L + W, T + g.strike_position + g.strike_size});
    return base.Union(c.touched());
  }

  if (a.solid)
    c.ClearCoverage(
        {L + g.x_offset, gy, L + g.x_offset + 2 * B + g.width + S, gy + 2 * B + g.height + S});
  const int us = g.underline_size, ss = g.strike_size, sp = g.strike_position;
  if (S > 0) {
    if (us > 0)
      c.Bar(Trim({L, T + H - 2 * B - us, L + W, T + H}, a.run_start, false, S), a.shadow_pixel);
    if (B == 0)
      c.GlyphShadow(g, gx + S, gy + S, a.shadow_pixel);
    else
      c.Dilated(g, gx + B + S, gy + B + S, B, a.shadow_pixel);
    if (ss > 0)
      c.Bar(Trim({L, T + S + sp, L + W, T + S + sp + 2 * B + ss}, a.run_start, false, S),
            a.shadow_pixel);
  }
  if (us > 0) {
    const int y = T + H - S - B - us;
    c.Bar(Trim({L, y, L + W, y + us}, false, a.run_end, S), a.text_pixel);
    if (B > 0) {
      c.Bar(Trim({L, y - B, L + W, y}, false, a.run_end, S), a.border_pixel);
      c.Bar(Trim({L, y + us, L + W, y + us + B}, false, a.run_end, S), a.border_pixel);
    }
  }
  if (B == 0) {
    c.GlyphOver(g, gx, gy, a.text_pixel);
  } else {
    c.Dilated(g, gx + B, gy + B, B, a.border_pixel);
    c.GlyphOnBorder(g, gx + B, gy + B, a.text_pixel, a.border_pixel);
  }
  if (ss > 0) {
    c.Bar(Trim({L, T + B + sp, L + W, T + B + sp + ss}, false, a.run_end, S), a.text_pixel);
    if (B > 0) {
      c.Bar(Trim({L, T + sp, L + W, T + sp + B}, false, a.run_end, S), a.border_pixel);
      c.Bar(Trim({L, T + sp + B + ss, L + W, T + sp + 2 * B + ss}, false, a.run_end, S),
            a.border_pixel);
    }
  }
  return base.Union(c.touched());
}

} // namespace nova
