// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "graphics/wisp_frame_list.h"
#include "wisp_test_fixture.h"

using namespace nova;
using nova::test::RawPixels;

namespace {

struct Bmp {
  int32_t width = 2, height = 2; // negative height: top-down
  uint16_t bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette; // 0x00RRGGBB
  std::vector<uint32_t> masks;   // red, green, blue for compression 3
  std::vector<uint8_t> pixels;   // as stored
  bool core_header = false;
  bool file_header = true;
};

std::vector<uint8_t> Build(const Bmp& b) {
  BinaryWriter info;
  if (b.core_header) {
    info.U32(12);
    info.U16(static_cast<uint16_t>(b.width));
    info.U16(static_cast<uint16_t>(b.height));
    info.U16(1);
    info.U16(b.bits);
  } else {
    info.U32(40);
    info.I32(b.width);
    info.I32(b.height);
    info.U16(1);
    info.U16(b.bits);
    info.U32(b.compression);
    info.U32(static_cast<uint32_t>(b.pixels.size()));
    info.I32(2835);
    info.I32(2835);
    info.U32(static_cast<uint32_t>(b.palette.size()));
    info.U32(0);
    for (uint32_t m : b.masks)
      info.U32(m);
  }
  for (uint32_t c : b.palette) {
    info.U8(static_cast<uint8_t>(c));
    info.U8(static_cast<uint8_t>(c >> 8));
    info.U8(static_cast<uint8_t>(c >> 16));
    if (!b.core_header)
      info.U8(0);
  }
  BinaryWriter w;
  if (b.file_header) {
    w.Bytes(std::string_view("BM"));
    w.U32(static_cast<uint32_t>(14 + info.size() + b.pixels.size()));
    w.U32(0);
    w.U32(static_cast<uint32_t>(14 + info.size()));
  }
  w.Bytes(info.data());
  w.Bytes(b.pixels);
  return w.Take();
}

} // namespace

TEST(PictureBmp, FormatsLoadAsOneFrame) {
  struct Case {
    const char* what;
    Bmp bmp;
    int bits;
    std::vector<uint32_t> pixels; // raw, top row first
    std::vector<uint8_t> alpha;   // empty: no alpha plane
    const char* name = "pic.bmp";
  };
  const std::vector<uint8_t> rows24 = {0xFF, 0, 0,    0,    0xFF, 0,    0, 0, // bottom: blue, green
                                       0,    0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}; // top: red, white
  std::vector<Case> cases = {
      {"24 bits bottom-up", {.pixels = rows24}, 24, {0xFF0000, 0xFFFFFF, 0x0000FF, 0x00FF00}, {}},
      {"24 bits top-down",
       {.height = -2, .pixels = rows24},
       24,
       {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF},
       {}},
      {"core header",
       {.pixels = rows24, .core_header = true},
       24,
       {0xFF0000, 0xFFFFFF, 0x0000FF, 0x00FF00},
       {}},
      {"32 bits: the fourth byte is alpha",
       {.height = -1, .bits = 32, .pixels = {1, 2, 3, 200, 4, 5, 6, 0}},
       24,
       {0x030201, 0x060504},
       {200, 0}},
      {"32 bits with no alpha anywhere",
       {.height = -1, .bits = 32, .pixels = {1, 2, 3, 0, 4, 5, 6, 0}},
       24,
       {0x030201, 0x060504},
       {}},
      {"16 bits 5-5-5",
       {.height = -1, .bits = 16, .pixels = {0x1F, 0x7C, 0xE0, 0x03}},
       24,
       {0xF800F8, 0x00F800},
       {}},
      {"16 bits 5-6-5 bit fields",
       {.height = -1,
        .bits = 16,
        .compression = 3,
        .masks = {0xF800, 0x07E0, 0x001F},
        .pixels = {0xE0, 0x07, 0x00, 0xF8}},
       24,
       {0x00FC00, 0xF80000},
       {}},
      {"8 bits with palette",
       {.width = 3,
        .height = -1,
        .bits = 8,
        .palette = {0x111111, 0x222222, 0x333333},
        .pixels = {2, 0, 1, 0}},
       8,
       {2, 0, 1},
       {}},
      {"4 bits",
       {.width = 3,
        .height = -1,
        .bits = 4,
        .palette = {0, 0xFFFFFF},
        .pixels = {0x10, 0x10, 0, 0}},
       4,
       {1, 0, 1},
       {}},
      {"1 bit",
       {.width = 3, .height = -1, .bits = 1, .palette = {0, 0xFFFFFF}, .pixels = {0xA0, 0, 0, 0}},
       1,
       {1, 0, 1},
       {}},
      // Bottom row: run of 3 × index 5, end of line; top row: literal 1, 2, 3 (padded), end.
      {"RLE8",
       {.width = 4,
        .height = 2,
        .bits = 8,
        .compression = 1,
        .palette = std::vector<uint32_t>(8),
        .pixels = {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}},
       8,
       {1, 2, 3, 0, 5, 5, 5, 0},
       {}},
      {"RLE4 with delta",
       {.width = 4,
        .height = 1,
        .bits = 4,
        .compression = 2,
        .palette = std::vector<uint32_t>(16),
        .pixels = {0, 2, 1, 0, 3, 0x9A, 0, 1}},
       4,
       {0, 9, 0xA, 9},
       {}},
      {"DIB without file header",
       {.height = -1, .bits = 24, .pixels = {1, 2, 3, 4, 5, 6, 0, 0}, .file_header = false},
       24,
       {0x030201, 0x060504},
       {},
       "pic.DIB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWispFrameList list;
    ASSERT_TRUE(list.LoadFromMemory(Build(c.bmp), c.name));
    ASSERT_EQ(list.Count(), 1);
    const TWispFrame& f = list.Frame(0);
    EXPECT_EQ(f.BitCount(), c.bits);
    EXPECT_EQ(RawPixels(f), c.pixels);
    ASSERT_EQ(f.HasAlpha(), !c.alpha.empty());
    for (size_t i = 0; i < c.alpha.size(); ++i) {
      EXPECT_EQ(f.picture.alpha.Row(0)[i], c.alpha[i]);
    }
  }
}

TEST(PictureBmp, DamagedBitmapsFail) {
  struct Case {
    const char* what;
    Bmp bmp;
  };
  const std::vector<Case> cases = {
      {"pixels cut short", {.pixels = {1, 2, 3}}},
      {"unsupported bit count", {.bits = 2, .pixels = std::vector<uint8_t>(8)}},
      {"RLE with a wrong bit count", {.bits = 24, .compression = 1, .pixels = {0, 1}}},
      {"absurd size", {.width = 1 << 30, .height = 1 << 30, .pixels = {0}}},
      {"RLE literal past the end",
       {.width = 4,
        .height = 1,
        .bits = 8,
        .compression = 1,
        .palette = {0},
        .pixels = {0, 200, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWispFrameList list;
    try {
      list.LoadFromMemory(Build(c.bmp), "bad.bmp");
      ADD_FAILURE() << "loaded";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find("bad.bmp"), std::string::npos) << e.what();
    }
  }
  TWispFrameList list;
  EXPECT_FALSE(list.LoadFromMemory(Build({}), "pic.gif"));
  EXPECT_EQ(list.Count(), 0);
}
