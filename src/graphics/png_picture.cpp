// SPDX-License-Identifier: MIT
#include "graphics/png_picture.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

#include "base/nova_error.h"

namespace nova {

namespace {

// libpng reports errors by longjmp to the setjmp of the C-style functions below; they hold only
// plain C state, and everything with a destructor lives in their callers.
struct PngIo {
  const uint8_t* data;
  size_t size;
  size_t pos;
  char message[200];
};

void PngError(png_structp png, png_const_charp msg) {
  auto* io = static_cast<PngIo*>(png_get_error_ptr(png));
  std::snprintf(io->message, sizeof io->message, "%s", msg);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, size_t count) {
  auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
  if (count > io->size - io->pos)
    png_error(png, "unexpected end of file");
  std::memcpy(out, io->data + io->pos, count);
  io->pos += count;
}

// What the header says, and what the reader made of it.
struct PngShape {
  uint32_t width, height;
  int out_bits;    // 1, 4, 8 or 32
  int grey;        // 1: build a grey palette
  int split_alpha; // 1: the fourth byte of each pixel is alpha
  int key;         // raw key value or -1
  int palette_count;
  png_color palette[256];
  int interlaced;
  png_bytepp alpha_rows; // set by the preparation when split_alpha is 1
};

// Moves the fourth byte of each pixel of a row into the alpha row.
// Whole-pixel loads and no aliasing between the rows let the loop vectorise.
void SplitAlphaRow(png_bytep __restrict pixels, png_bytep __restrict alpha, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) {
    uint32_t v;
    std::memcpy(&v, pixels + 4 * x, 4);
    alpha[x] = static_cast<uint8_t>(v >> 24);
    v &= 0x00FFFFFF;
    std::memcpy(pixels + 4 * x, &v, 4);
  }
}

// Called between the header and the pixels: sizes the picture and returns its row pointers, or
// null when the size is refused.
using PngPrepare = png_bytepp (*)(void* ctx, PngShape* shape);

int TransparentIndex(png_structp png, png_infop info) {
  png_bytep alphas = nullptr;
  int count = 0;
  png_color_16p unused = nullptr;
  png_get_tRNS(png, info, &alphas, &count, &unused);
  int index = -1;
  for (int i = 0; i < count; ++i) {
    if (alphas[i] == 255)
      continue;
    if (alphas[i] != 0 || index >= 0)
      return -2; // real alpha: needs an alpha plane
    index = i;
  }
  return index;
}

int ReadPngC(PngIo* io, PngShape* shape, PngPrepare prepare, void* ctx, uint32_t max_side) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, io, PngError, PngWarning);
  if (png == nullptr)
    return 0;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return 0;
  }
  png_set_read_fn(png, io, PngRead);
  png_set_user_limits(png, max_side, max_side);
  png_read_info(png, info);
  shape->width = png_get_image_width(png, info);
  shape->height = png_get_image_height(png, info);
  const int type = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  shape->grey = 0;
  shape->split_alpha = 0;
  shape->key = -1;
  shape->palette_count = 0;
  if (depth == 16)
    png_set_strip_16(png);
  shape->interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
  png_set_interlace_handling(png);
  if (type == PNG_COLOR_TYPE_PALETTE && (!trns || TransparentIndex(png, info) >= -1)) {
    if (trns)
      shape->key = TransparentIndex(png, info);
    png_colorp colors = nullptr;
    png_get_PLTE(png, info, &colors, &shape->palette_count);
    std::memcpy(shape->palette, colors, sizeof(png_color) * shape->palette_count);
    if (depth == 2)
      png_set_packing(png);
    shape->out_bits = depth == 2 ? 8 : depth;
  } else if (type == PNG_COLOR_TYPE_GRAY) {
    if (depth < 8)
      png_set_expand_gray_1_2_4_to_8(png);
    if (trns) {
      png_color_16p grey = nullptr;
      png_get_tRNS(png, info, nullptr, nullptr, &grey);
      const int v = grey->gray;
      shape->key = depth == 16 ? v >> 8 : v * 255 / ((1 << depth) - 1);
    }
    shape->grey = 1;
    shape->out_bits = 8;
  } else {
    if (type == PNG_COLOR_TYPE_PALETTE)
      png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY_ALPHA)
      png_set_gray_to_rgb(png);
    const bool alpha = (type & PNG_COLOR_MASK_ALPHA) != 0 || type == PNG_COLOR_TYPE_PALETTE;
    if (type == PNG_COLOR_TYPE_PALETTE)
      png_set_tRNS_to_alpha(png);
    if (type == PNG_COLOR_TYPE_RGB && trns) {
      png_color_16p c = nullptr;
      png_get_tRNS(png, info, nullptr, nullptr, &c);
      const int shift = depth == 16 ? 8 : 0;
      shape->key = ((c->red >> shift) << 16) | ((c->green >> shift) << 8) | (c->blue >> shift);
    }
    png_set_bgr(png);
    if (!alpha)
      png_set_filler(png, 0, PNG_FILLER_AFTER);
    shape->split_alpha = alpha ? 1 : 0;
    shape->out_bits = 32;
  }
  png_read_update_info(png, info);
  png_bytepp rows = prepare(ctx, shape);
  if (rows == nullptr) {
    std::snprintf(io->message, sizeof io->message, "picture size %ux%u is out of range",
                  shape->width, shape->height);
    png_destroy_read_struct(&png, &info, nullptr);
    return 0;
  }
  if (shape->interlaced) {
    png_read_image(png, rows);
    for (uint32_t y = 0; shape->split_alpha && y < shape->height; ++y) {
      SplitAlphaRow(rows[y], shape->alpha_rows[y], shape->width);
    }
  } else {
    // Row by row, so that each row is split while it is still in the cache.
    for (uint32_t y = 0; y < shape->height; ++y) {
      png_read_row(png, rows[y], nullptr);
      if (shape->split_alpha)
        SplitAlphaRow(rows[y], shape->alpha_rows[y], shape->width);
    }
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return 1;
}

struct PngTarget {
  TWispFrame* frame;
  const WispLimits* limits;
  std::vector<png_bytep> rows;
  std::vector<png_bytep> alpha_rows;
};

png_bytepp PreparePicture(void* ctx, PngShape* shape) {
  auto* t = static_cast<PngTarget*>(ctx);
  const int64_t w = shape->width, h = shape->height;
  if (w <= 0 || h <= 0 || w > t->limits->max_side || h > t->limits->max_side ||
      w * h > t->limits->max_pixels) {
    return nullptr;
  }
  TWispPicture& pic = t->frame->picture;
  // 32-bit rows are exactly as long as libpng's, which fill them whole.
  pic.color.SetSize(static_cast<int32_t>(w), static_cast<int32_t>(h), shape->out_bits,
                    shape->out_bits == 32 ? WispPixels::kUninitialized : WispPixels::kZeroed);
  auto& palette = pic.color.palette();
  if (shape->grey) {
    for (uint32_t i = 0; i < 256; ++i)
      palette[i] = i * 0x010101u;
  }
  for (int i = 0; i < shape->palette_count; ++i) {
    const png_color& c = shape->palette[i];
    palette[static_cast<size_t>(i)] = (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
  }
  t->rows.resize(static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y)
    t->rows[static_cast<size_t>(y)] = pic.color.Row(y);
  if (shape->split_alpha) {
    // Padding after each alpha row stays zero; the pixels are written by the split.
    pic.alpha.SetSize(static_cast<int32_t>(w), static_cast<int32_t>(h), 8);
    pic.has_alpha = true;
    t->alpha_rows.resize(static_cast<size_t>(h));
    for (int32_t y = 0; y < h; ++y)
      t->alpha_rows[static_cast<size_t>(y)] = pic.alpha.Row(y);
    shape->alpha_rows = t->alpha_rows.data();
  }
  return t->rows.data();
}

} // namespace

TWispFrame DecodePngFrame(std::span<const uint8_t> data, const std::string& name,
                          const WispLimits& limits) {
  TWispFrame frame;
  PngIo io{data.data(), data.size(), 0, {}};
  PngShape shape{};
  PngTarget target{&frame, &limits, {}};
  if (!ReadPngC(&io, &shape, PreparePicture, &target, static_cast<uint32_t>(limits.max_side))) {
    throw ENovaError("PNG image \"" + name + "\": " + (io.message[0] ? io.message : "damaged"));
  }
  frame.SetTransparent(shape.key);
  return frame;
}

namespace {

struct PngSink {
  std::vector<uint8_t>* out;
  char message[200];
};

void PngWrite(png_structp png, png_bytep data, size_t count) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  sink->out->insert(sink->out->end(), data, data + count);
}

void PngFlush(png_structp) {}

void PngWriteError(png_structp png, png_const_charp msg) {
  auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  std::snprintf(sink->message, sizeof sink->message, "%s", msg);
  png_longjmp(png, 1);
}

int WritePngC(PngSink* sink, png_bytepp rows, uint32_t width, uint32_t height, int channels,
              const png_color_16* key) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, PngWriteError, PngWarning);
  if (png == nullptr)
    return 0;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return 0;
  }
  png_set_write_fn(png, sink, PngWrite, PngFlush);
  png_set_IHDR(png, info, width, height, 8,
               channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (key != nullptr)
    png_set_tRNS(png, info, nullptr, 0, key);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return 1;
}

} // namespace

std::vector<uint8_t> EncodePictureAsPng(const TWispPicture& picture, int32_t transparent) {
  const TWispBitmap& color = picture.color;
  const int channels = picture.has_alpha ? 4 : 3;
  const size_t stride = static_cast<size_t>(color.width()) * channels;
  std::vector<uint8_t> pixels(stride * static_cast<size_t>(color.height()));
  std::vector<png_bytep> rows(static_cast<size_t>(color.height()));
  for (int32_t y = 0; y < color.height(); ++y) {
    uint8_t* out = pixels.data() + static_cast<size_t>(y) * stride;
    rows[static_cast<size_t>(y)] = out;
    for (int32_t x = 0; x < color.width(); ++x, out += channels) {
      const uint32_t c = color.RawToColor(color.GetRaw(x, y)); // 0x00BBGGRR
      out[0] = static_cast<uint8_t>(c);
      out[1] = static_cast<uint8_t>(c >> 8);
      out[2] = static_cast<uint8_t>(c >> 16);
      if (channels == 4)
        out[3] = picture.alpha.Row(y)[x];
    }
  }
  png_color_16 key{};
  const bool keyed = transparent >= 0 && !picture.has_alpha;
  if (keyed) {
    const uint32_t c = color.RawToColor(static_cast<uint32_t>(transparent));
    key.red = static_cast<png_uint_16>(c & 0xFF);
    key.green = static_cast<png_uint_16>((c >> 8) & 0xFF);
    key.blue = static_cast<png_uint_16>((c >> 16) & 0xFF);
  }
  std::vector<uint8_t> out;
  PngSink sink{&out, {}};
  if (!WritePngC(&sink, rows.data(), static_cast<uint32_t>(color.width()),
                 static_cast<uint32_t>(color.height()), channels, keyed ? &key : nullptr)) {
    throw ENovaError(std::string("PNG encoding failed: ") + sink.message);
  }
  return out;
}

} // namespace nova
