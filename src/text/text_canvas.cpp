// SPDX-License-Identifier: MIT
#include "text/text_canvas.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/nova_error.h"

namespace nova {

TextCanvas::TextCanvas(int width, int height, uint32_t background)
    : width_(std::max(1, width)), height_(std::max(1, height)),
      pixels_(static_cast<size_t>(width_) * height_, background & 0xFFFFFF) {}

uint32_t TextCanvas::ColorAt(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

void TextCanvas::Blend(int x, int y, uint32_t c, int weight) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || weight <= 0) return;
  uint32_t& d = pixels_[static_cast<size_t>(y) * width_ + x];
  if (weight >= 255) {
    d = c & 0xFFFFFF;
    return;
  }
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (c >> shift) & 0xFF, t = (d >> shift) & 0xFF;
    out |= ((s * weight + t * (255 - weight)) / 255) << shift;
  }
  d = out;
}

void TextCanvas::DrawColorMask(int x, int y, const CoverageSurface& mask, const TextRect& src,
                               uint32_t colorref, int alpha) {
  const TextRect r = src.Intersect({0, 0, mask.width(), mask.height()});
  for (int sy = r.top; sy < r.bottom; ++sy)
    for (int sx = r.left; sx < r.right; ++sx)
      Blend(x + sx - src.left, y + sy - src.top, colorref, mask.At(sx, sy) * alpha / 255);
}

void TextCanvas::DrawMask(int x, int y, const TextColorSurface& color, const CoverageSurface& mask,
                          const TextRect& src, int alpha) {
  const TextRect r = src.Intersect({0, 0, std::min(mask.width(), color.width()),
                                    std::min(mask.height(), color.height())});
  for (int sy = r.top; sy < r.bottom; ++sy)
    for (int sx = r.left; sx < r.right; ++sx)
      Blend(x + sx - src.left, y + sy - src.top, color.PixelToColor(color.Pixel(sx, sy)),
            mask.At(sx, sy) * alpha / 255);
}

void TextCanvas::SavePng(const std::string& path) const {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) throw ENovaError("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw ENovaError("cannot encode " + path);
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(static_cast<size_t>(width_) * 3);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const uint32_t c = ColorAt(x, y);
      row[x * 3] = c & 0xFF;
      row[x * 3 + 1] = (c >> 8) & 0xFF;
      row[x * 3 + 2] = (c >> 16) & 0xFF;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
}

}  // namespace nova
