// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstring>

#include "platform/private/present_buffer.h"
#include "platform/window.h"

namespace nova {
namespace {

TEST(PresentBuffer, CopiesOnlyChangedRectanglesClippedToBothSurfaces) {
  TPresentBuffer buffer;
  buffer.Resize(4, 3);
  std::vector<uint32_t> back(4 * 3, 0xFF123456); // top byte must not reach the picture
  TPresentSource source{reinterpret_cast<const uint8_t*>(back.data()), 4, 3, 16,
                        TPixelFormat::Xrgb8888};
  const TWindowRect changed[] = {{1, 1, 100, 2}, {-5, -5, -1, -1}, {3, 0, 3, 3}};
  const std::vector<TWindowRect> done = buffer.Copy(source, changed);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].left, 1);
  EXPECT_EQ(done[0].right, 4);
  const TPicture& p = buffer.Picture();
  EXPECT_EQ(p.pixels[0], 0u); // outside the rectangle
  EXPECT_EQ(p.pixels[1 * 4 + 1], 0x123456u);
  EXPECT_EQ(p.pixels[1 * 4 + 3], 0x123456u);
  EXPECT_EQ(p.pixels[2 * 4 + 1], 0u);
}

TEST(PresentBuffer, ExpandsSixteenBitPixels) {
  struct Case {
    TPixelFormat format;
    uint16_t pixel;
    uint32_t expected;
  };
  const Case cases[] = {
      {TPixelFormat::Rgb565, 0xFFFF, 0xFFFFFF},   {TPixelFormat::Rgb565, 0xF800, 0xFF0000},
      {TPixelFormat::Rgb565, 0x07E0, 0x00FF00},   {TPixelFormat::Rgb565, 0x001F, 0x0000FF},
      {TPixelFormat::Xrgb1555, 0x7C00, 0xFF0000}, {TPixelFormat::Xrgb1555, 0x03E0, 0x00FF00},
      {TPixelFormat::Xrgb1555, 0x8000, 0x000000}, // the unused top bit
      {TPixelFormat::Rgb565, 0x8410, 0x848284},
  };
  for (const Case& c : cases) {
    TPresentBuffer buffer;
    buffer.Resize(1, 1);
    TPresentSource source{reinterpret_cast<const uint8_t*>(&c.pixel), 1, 1, 2, c.format};
    const TWindowRect all[] = {{0, 0, 1, 1}};
    buffer.Copy(source, all);
    EXPECT_EQ(buffer.Picture().pixels[0], c.expected) << std::hex << c.pixel;
  }
}

TEST(HeadlessWindow, CaptureShowsWhatWasPresented) {
  auto window = CreateHeadlessWindow({.scene_width = 2, .scene_height = 2});
  const uint32_t back[4] = {1, 2, 3, 4};
  const TWindowRect all[] = {{0, 0, 2, 2}};
  window->Present({reinterpret_cast<const uint8_t*>(back), 2, 2, 8, TPixelFormat::Xrgb8888}, all);
  EXPECT_EQ(window->Capture().pixels, (std::vector<uint32_t>{1, 2, 3, 4}));
  // Its virtual monitor offers a few resolutions and refuses others.
  EXPECT_FALSE(window->SetFullScreen(true, TDisplayMode{1234, 567, 32, 60}));
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_TRUE(window->SetFullScreen(true, TDisplayMode{800, 600, 16, 60}));
  EXPECT_TRUE(window->IsFullScreen());
}

} // namespace
} // namespace nova
