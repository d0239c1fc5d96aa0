// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_writer.h"
#include "scene/cursor_file.h"

namespace nova {
namespace {

// A 2x2 cursor, 24 bits, hot spot (1, 0); the AND mask makes the bottom-left pixel clear.
std::vector<uint8_t> TinyCursor() {
  BinaryWriter w;
  w.U16(0); // reserved
  w.U16(2); // type: cursor
  w.U16(1); // image count
  w.U8(2);  // width
  w.U8(2);  // height
  w.U16(0); // colours, reserved
  w.U16(1); // hot x
  w.U16(0); // hot y
  const uint32_t size = 40 + 2 * 8 + 2 * 4;
  w.U32(size); // bytes of the image
  w.U32(22);   // offset of the image
  w.U32(40);   // bitmap header size
  w.I32(2);    // width
  w.I32(4);    // height of colour and mask rows
  w.U16(1);    // planes
  w.U16(24);   // bits
  w.U32(0);    // no compression
  for (int i = 0; i < 5; ++i)
    w.U32(0); // image size, resolution, colours used/important
  // Colour rows bottom-up, 8 bytes each (6 + padding): bottom row blue, white; top row red, green.
  for (uint8_t v : {255, 0, 0, 255, 255, 255, 0, 0})
    w.U8(v);
  for (uint8_t v : {0, 0, 255, 0, 255, 0, 0, 0})
    w.U8(v);
  // AND mask rows bottom-up: bottom-left transparent.
  w.U32(0x80);
  w.U32(0);
  return w.Take();
}

TEST(CursorFile, DecodesCurAndFirstFrameOfAni) {
  const std::vector<uint8_t> cur = TinyCursor();
  auto img = DecodeCursorFile(cur);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width, 2);
  EXPECT_EQ(img->height, 2);
  EXPECT_EQ(img->hot_x, 1);
  EXPECT_EQ(img->argb, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0x00000000, 0xFFFFFFFF}));

  BinaryWriter ani;
  ani.Bytes(std::string_view("RIFF"));
  ani.U32(static_cast<uint32_t>(4 + 8 + 4 + 8 + cur.size()));
  ani.Bytes(std::string_view("ACON"));
  ani.Bytes(std::string_view("LIST"));
  ani.U32(static_cast<uint32_t>(4 + 8 + cur.size()));
  ani.Bytes(std::string_view("fram"));
  ani.Bytes(std::string_view("icon"));
  ani.U32(static_cast<uint32_t>(cur.size()));
  ani.Bytes(cur);
  auto first = DecodeCursorFile(ani.data());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->argb, img->argb);
}

TEST(CursorFile, DamagedFilesGiveNothing) {
  const std::vector<uint8_t> cur = TinyCursor();
  for (size_t cut = 0; cut < cur.size(); ++cut)
    EXPECT_EQ(DecodeCursorFile(std::span(cur.data(), cut)), nullptr) << cut;
  std::vector<uint8_t> huge = cur;
  huge[26] = 0xFF; // bitmap width 255 ... claims more than is there
  huge[27] = 0x7F;
  EXPECT_EQ(DecodeCursorFile(huge), nullptr);
}

} // namespace
} // namespace nova
