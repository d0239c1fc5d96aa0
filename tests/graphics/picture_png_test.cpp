// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <png.h>

#include "base/nova_error.h"
#include "graphics/png_picture.h"
#include "graphics/wisp_frame_list.h"
#include "wisp_test_fixture.h"

using namespace nova;
using nova::test::RawPixels;

namespace {

struct Png {
  uint32_t width = 2, height = 1;
  int color_type = PNG_COLOR_TYPE_RGB;
  int depth = 8;
  std::vector<uint8_t> rows; // packed rows as PNG stores them, unfiltered
  std::vector<png_color> palette;
  std::vector<uint8_t> palette_alpha;
  bool key = false;
  png_color_16 key_color{};
};

void AppendBytes(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

// Written with libpng's own writer; errors in a test fixture may abort.
std::vector<uint8_t> Build(const Png& p) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendBytes, nullptr);
  png_set_IHDR(png, info, p.width, p.height, p.depth, p.color_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!p.palette.empty())
    png_set_PLTE(png, info, p.palette.data(), int(p.palette.size()));
  if (!p.palette_alpha.empty()) {
    png_set_tRNS(png, info, p.palette_alpha.data(), int(p.palette_alpha.size()), nullptr);
  }
  if (p.key)
    png_set_tRNS(png, info, nullptr, 0, &p.key_color);
  png_write_info(png, info);
  const size_t stride = p.rows.size() / p.height;
  for (uint32_t y = 0; y < p.height; ++y) {
    png_write_row(png, const_cast<uint8_t*>(p.rows.data() + y * stride));
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

png_color_16 Key(uint16_t r, uint16_t g, uint16_t b, uint16_t gray = 0) {
  png_color_16 c{};
  c.red = r, c.green = g, c.blue = b, c.gray = gray;
  return c;
}

} // namespace

TEST(PicturePng, ColourTypesAlphaAndKeys) {
  struct Case {
    const char* what;
    Png png;
    int bits;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> alpha; // empty: no alpha plane
    int32_t transparent;
    int32_t key_color;
  };
  const std::vector<png_color> grey3 = {{0, 0, 0}, {0x10, 0x20, 0x30}, {0xFF, 0xFF, 0xFF}};
  const std::vector<Case> cases = {
      {"RGBA",
       {.color_type = PNG_COLOR_TYPE_RGBA, .rows = {255, 0, 0, 255, 0, 0, 255, 128}},
       32,
       {0xFF0000, 0x0000FF},
       {255, 128},
       -1,
       -1},
      {"RGB with a transparent colour",
       {.rows = {0, 255, 0, 1, 2, 3}, .key = true, .key_color = Key(0, 255, 0)},
       32,
       {0x00FF00, 0x010203},
       {},
       0x00FF00,
       0x00FF00},
      {"16-bit RGB keeps the high bytes",
       {.width = 1,
        .depth = 16,
        .rows = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC},
        .key = true,
        .key_color = Key(0x1234, 0x5678, 0x9ABC)},
       32,
       {0x12569A},
       {},
       0x12569A,
       0x9A5612},
      {"palette with one transparent index",
       {.width = 3,
        .color_type = PNG_COLOR_TYPE_PALETTE,
        .depth = 4,
        .rows = {0x12, 0x00},
        .palette = grey3,
        .palette_alpha = {255, 0}},
       4,
       {1, 2, 0},
       {},
       1,
       0x302010},
      {"palette with partial transparency becomes alpha",
       {.color_type = PNG_COLOR_TYPE_PALETTE,
        .rows = {1, 2},
        .palette = grey3,
        .palette_alpha = {255, 128, 255}},
       32,
       {0x102030, 0xFFFFFF},
       {128, 255},
       -1,
       -1},
      {"2-bit grey widens to 8 with its key",
       {.width = 4,
        .color_type = PNG_COLOR_TYPE_GRAY,
        .depth = 2,
        .rows = {0x1B},
        .key = true,
        .key_color = Key(0, 0, 0, 1)},
       8,
       {0, 85, 170, 255},
       {},
       85,
       0x555555},
      {"grey with alpha",
       {.color_type = PNG_COLOR_TYPE_GRAY_ALPHA, .rows = {0x40, 0, 0x80, 255}},
       32,
       {0x404040, 0x808080},
       {0, 255},
       -1,
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWispFrameList list;
    ASSERT_TRUE(list.LoadFromMemory(Build(c.png), "pic.PNG"));
    const TWispFrame& f = list.Frame(0);
    EXPECT_EQ(f.BitCount(), c.bits);
    EXPECT_EQ(RawPixels(f), c.pixels);
    EXPECT_EQ(f.transparent, c.transparent);
    EXPECT_EQ(f.key_color, c.key_color);
    ASSERT_EQ(f.HasAlpha(), !c.alpha.empty());
    for (size_t i = 0; i < c.alpha.size(); ++i)
      EXPECT_EQ(f.picture.alpha.Row(0)[i], c.alpha[i]);
  }
}

TEST(PicturePng, EncodeKeepsAlphaAndKey) {
  TWispFrame f;
  f.picture.color.SetSize(2, 1, 24);
  f.picture.color.SetRaw(0, 0, 0x112233);
  f.picture.color.SetRaw(1, 0, 0x00FF00);
  f.SetTransparent(0x00FF00);
  TWispFrameList list;
  list.LoadFromMemory(EncodePictureAsPng(f.picture, f.transparent), "k.png");
  EXPECT_EQ(RawPixels(list.Frame(0)), (std::vector<uint32_t>{0x112233, 0x00FF00}));
  EXPECT_EQ(list.Frame(0).transparent, 0x00FF00);

  f.MakeMask();
  list.LoadFromMemory(EncodePictureAsPng(f.picture, f.transparent), "a.png");
  ASSERT_TRUE(list.Frame(0).HasAlpha());
  EXPECT_EQ(list.Frame(0).picture.alpha.Row(0)[0], 255);
  EXPECT_EQ(list.Frame(0).picture.alpha.Row(0)[1], 0);
}

TEST(PicturePng, DamagedFilesFail) {
  std::vector<uint8_t> good = Build({.rows = {1, 2, 3, 4, 5, 6}});
  std::vector<uint8_t> cut(good.begin(), good.end() - 20);
  std::vector<uint8_t> huge = Build({.rows = {1, 2, 3, 4, 5, 6}});
  // IHDR width (offset 16) set to 2^30; the CRC no longer matches either.
  huge[16] = 0x40;
  std::vector<uint8_t> crc = good;
  crc[40] ^= 0xFF;
  for (const auto& bytes : {cut, huge, crc, std::vector<uint8_t>{0x89, 'P', 'N', 'G'}}) {
    TWispFrameList list;
    try {
      list.LoadFromMemory(bytes, "bad.png");
      ADD_FAILURE() << "loaded";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find("bad.png"), std::string::npos) << e.what();
    }
  }
}
