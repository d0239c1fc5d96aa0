// SPDX-License-Identifier: MIT
// Drawing one cached glyph with shadow, outline and bars into a pair of work surfaces.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/font_pixel_manager.h"
#include "text/private/glyph_outline.h"
#include "text/private/text_limits.h"

namespace nova {
namespace {

// One row of a plain glyph over coverage `cov`: coverage takes the larger value, and pixels
// under non-zero glyph coverage take the colour `k`. Both are idempotent, so a row that is no
// whole number of blocks ends in a block overlapping the one before it; that block is read
// before anything is stored, so no load waits on an overlapping store.
template <typename Pixel>
void PlainRow(Pixel* __restrict px, uint8_t* __restrict cov, const uint8_t* __restrict q, size_t n,
              Pixel k) {
#if defined(__SSE2__)
  if constexpr (sizeof(Pixel) == 4) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i kv = _mm_set1_epi32(static_cast<int>(k));
    auto load = [](const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); };
    auto store = [](void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); };
    // Four pixels from four coverage bytes held in the low lane of `q4`.
    auto four = [&](__m128i q4, __m128i d) {
      __m128i m = _mm_cmpeq_epi8(q4, zero);
      m = _mm_unpacklo_epi8(m, m);
      m = _mm_unpacklo_epi16(m, m);
      return _mm_or_si128(_mm_and_si128(m, d), _mm_andnot_si128(m, kv));
    };
    struct Block {
      __m128i cov, p0, p1, p2, p3;
    };
    auto block16 = [&](size_t i) {
      const __m128i qv = load(q + i);
      return Block{_mm_max_epu8(load(cov + i), qv), four(qv, load(px + i)),
                   four(_mm_srli_si128(qv, 4), load(px + i + 4)),
                   four(_mm_srli_si128(qv, 8), load(px + i + 8)),
                   four(_mm_srli_si128(qv, 12), load(px + i + 12))};
    };
    auto put16 = [&](size_t i, const Block& b) {
      store(cov + i, b.cov);
      store(px + i, b.p0);
      store(px + i + 4, b.p1);
      store(px + i + 8, b.p2);
      store(px + i + 12, b.p3);
    };
    auto block4 = [&](size_t i) {
      uint32_t q32, c32;
      std::memcpy(&q32, q + i, 4);
      std::memcpy(&c32, cov + i, 4);
      const __m128i qv = _mm_cvtsi32_si128(static_cast<int>(q32));
      return Block{_mm_max_epu8(_mm_cvtsi32_si128(static_cast<int>(c32)), qv),
                   four(qv, load(px + i)), zero, zero, zero};
    };
    auto put4 = [&](size_t i, const Block& b) {
      const uint32_t c32 = static_cast<uint32_t>(_mm_cvtsi128_si32(b.cov));
      std::memcpy(cov + i, &c32, 4);
      store(px + i, b.p0);
    };
    if (n >= 16) {
      const Block tail = block16(n - 16);
      for (size_t i = 0; i + 16 <= n; i += 16)
        put16(i, block16(i));
      put16(n - 16, tail);
      return;
    }
    if (n >= 4) {
      const Block tail = block4(n - 4);
      for (size_t i = 0; i + 4 <= n; i += 4)
        put4(i, block4(i));
      put4(n - 4, tail);
      return;
    }
  }
#endif
  for (size_t i = 0; i < n; ++i) {
    cov[i] = std::max(cov[i], q[i]);
    const Pixel m = static_cast<Pixel>(-static_cast<Pixel>(q[i] != 0));
    px[i] = static_cast<Pixel>((px[i] & ~m) | (k & m));
  }
}

// Coverage alone, for colour surfaces that compositing leaves alone.
void MaxRow(uint8_t* __restrict cov, const uint8_t* __restrict q, size_t n) {
  for (size_t i = 0; i < n; ++i)
    cov[i] = std::max(cov[i], q[i]);
}

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

  // `outline`, when given, is the glyph's cached outline of width `b`.
  void Dilated(const TFontPixel& g, int ox, int oy, int b, uint32_t k, TGlyphOutline* outline) {
    const TextRect box{ox - b, oy - b, ox + g.width + b, oy + g.height + b};
    if (writable_ && color_.bpp() == 32 && box.Intersect(clip_) == box) {
      if (outline)
        outline->Draw(reinterpret_cast<uint32_t*>(color_.bits() + box.top * color_.stride()) +
                          box.left,
                      static_cast<size_t>(color_.stride()) / 4, coverage_.Row(box.top) + box.left,
                      static_cast<size_t>(coverage_.stride()), k);
      else
        DilatedInside32(g, ox, oy, b, k);
      Touch(box);
      return;
    }
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

  // Dilated for an outline that lies wholly inside 32-bit surfaces: the same compositing in the
  // same order as Over, with the clip test, the divisions and the channel loop taken out.
  void DilatedInside32(const TFontPixel& g, int ox, int oy, int b, uint32_t k) {
    const size_t stride = static_cast<size_t>(color_.stride());
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x) {
        const uint32_t q = g.bitmap[static_cast<size_t>(y) * g.width + x];
        if (q == 0)
          continue;
        for (int dy = -b; dy <= b; ++dy) {
          uint8_t* cov = coverage_.Row(oy + y + dy) + (ox + x);
          uint32_t* px =
              reinterpret_cast<uint32_t*>(color_.bits() + (oy + y + dy) * stride) + (ox + x);
          for (int dx = -b; dx <= b; ++dx)
            if (dx != 0 || dy != 0)
              Over32(cov[dx], px[dx], q, k);
        }
      }
  }

  // Glyph composited over in one colour.
  void GlyphOver(const TFontPixel& g, int ox, int oy, uint32_t k) {
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x)
        Over(ox + x, oy + y, g.bitmap[static_cast<size_t>(y) * g.width + x], k);
    Touch(TextRect{ox, oy, ox + g.width, oy + g.height});
  }

  // Plain glyph: solid fills the box's colour and copies coverage, otherwise colour under the
  // glyph and the larger coverage. This is the path of every plain character, so rows go through
  // loops without branches that the compiler turns into vector code.
  void GlyphPlain(const TFontPixel& g, int ox, int oy, uint32_t k, bool solid) {
    TextRect r = TextRect{ox, oy, ox + g.width, oy + g.height}.Intersect(clip_);
    if (r.Empty())
      return;
    if (solid && writable_)
      color_.Fill(r, k);
    const bool wide = color_.bpp() > 16;
    const size_t n = static_cast<size_t>(r.Width());
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* src = g.bitmap.data() + static_cast<size_t>(y - oy) * g.width + (r.left - ox);
      uint8_t* cov = coverage_.Row(y) + r.left;
      if (solid) {
        std::memcpy(cov, src, n);
        continue;
      }
      if (!writable_) {
        MaxRow(cov, src, n);
        continue;
      }
      uint8_t* row = color_.bits() + static_cast<size_t>(y) * color_.stride();
      if (wide)
        PlainRow(reinterpret_cast<uint32_t*>(row) + r.left, cov, src, n, k);
      else
        PlainRow(reinterpret_cast<uint16_t*>(row) + r.left, cov, src, n, static_cast<uint16_t>(k));
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
    if (writable_ && color_.bpp() == 32 && masks_[0] == 0xFF0000 && masks_[1] == 0xFF00 &&
        masks_[2] == 0xFF) {
      GlyphOnBorder32(g, ox, oy, r, text, border);
      Touch(r);
      return;
    }
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

  // GlyphOnBorder on 32-bit pixels of 8-bit channels: red and blue blend as one word, which
  // cannot carry between them, so the result is the same as channel by channel.
  void GlyphOnBorder32(const TFontPixel& g, int ox, int oy, const TextRect& r, uint32_t text,
                       uint32_t border) {
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* src = g.bitmap.data() + static_cast<size_t>(y - oy) * g.width + (r.left - ox);
      uint8_t* cov = coverage_.Row(y) + r.left;
      uint32_t* px =
          reinterpret_cast<uint32_t*>(color_.bits() + static_cast<size_t>(y) * color_.stride()) +
          r.left;
      // Without branches, so that the compiler can take several pixels at once.
      const int n = r.Width();
      for (int x = 0; x < n; ++x) {
        const uint32_t q = src[x];
        const uint32_t rb =
            ((q * (text & 0xFF00FF) + (255 - q) * (border & 0xFF00FF)) >> 8) & 0xFF00FF;
        const uint32_t gr = ((q * (text & 0xFF00) + (255 - q) * (border & 0xFF00)) >> 8) & 0xFF00;
        const uint32_t blended = q == 255 ? text : rb | gr;
        px[x] = q == 0 ? px[x] : blended;
        cov[x] = q == 0 ? cov[x] : uint8_t{255};
      }
    }
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

TGlyphOutline* TFontPixelManager::OutlineOf(const TFontPixel& g, int border) {
  // Only glyphs of the cache keep an outline: it lives and goes with the glyph's record.
  const auto at = reinterpret_cast<uintptr_t>(&g);
  const auto begin = reinterpret_cast<uintptr_t>(glyphs_.data());
  if (at < begin || at >= begin + glyphs_.size() * sizeof(TFontPixel))
    return nullptr;
  std::unique_ptr<TGlyphOutline>& outline = outlines_[(at - begin) / sizeof(TFontPixel)];
  if (!outline || outline->border() != border)
    outline = std::make_unique<TGlyphOutline>(g, border);
  return outline.get();
}

TextRect TFontPixelManager::Compose(const TFontPixel& g, TextColorSurface& color,
                                    CoverageSurface& coverage, const ComposeArgs& a) {
  if (g.Empty())
    return {};
  const int L = a.box.left, T = a.box.top, W = a.box.Width(), H = a.box.Height();
  // Callers measured with the same width; here it also bounds the work of any caller.
  const int B = OutlineWidth(g.size, a.border), S = std::max(0, a.shadow);

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

  TGlyphOutline* outline = B > 0 ? OutlineOf(g, B) : nullptr;
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
      c.Dilated(g, gx + B + S, gy + B + S, B, a.shadow_pixel, outline);
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
    c.Dilated(g, gx + B, gy + B, B, a.border_pixel, outline);
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
