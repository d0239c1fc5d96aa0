// SPDX-License-Identifier: MIT
// Loading, saving and presenting surfaces.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/nova_error.h"
#include "graphics/dibx.h"
#include "graphics/dibx_present.h"
#include "graphics/dibx_wisp_hook.h"
#include "graphics/png_writer.h"

namespace nova {
namespace {

std::string TempPath(const std::string& name) {
  return std::string(NOVA_BINARY_DIR) + "/dibx_files_" + name;
}

TEST(DibxFiles, SavedBitmapLoadsIntoAnyDepthByTruncation) {
  TDIBX src(5, 3, 32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      src.SetPixel(x, y, 0x10203 * (x + 1) + 0x400000 * y);
  const std::string path = TempPath("roundtrip.BMP");
  src.SaveToFile(path);
  TDIBX same(1, 1, 32), sixteen(1, 1, 16);
  same.LoadFromFile(path);
  sixteen.LoadFromFile(path);
  ASSERT_EQ(same.Width(), 5);
  ASSERT_EQ(sixteen.Height(), 3);
  EXPECT_EQ(sixteen.BitCount(), 16);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(same.GetPixel(x, y), src.GetPixel(x, y));
      EXPECT_EQ(sixteen.GetPixel(x, y),
                TPixel(sixteen.ColorToPixel(int32_t(src.PixelToColor(src.GetPixel(x, y))))));
    }
  std::remove(path.c_str());
}

TEST(DibxFiles, IndexedBitmapKeepsIndicesAndPalette) {
  // An 8-bit bitmap: file header, info header, 256 palette entries, rows of 4 bytes.
  std::vector<uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 4, 0, 0,       // offset 1078
                              40,  0,   0, 0, 4, 0, 0, 0, 2, 0, 0,  0, 1, 0, 8, 0, // 4 x 2, 8 bits
                              0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, // BI_RGB
                              0,   0,   0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 256; ++i) {
    bmp.insert(bmp.end(), {uint8_t(i), uint8_t(255 - i), 9, 0});
  }
  bmp.insert(bmp.end(), {1, 2, 3, 4, 5, 6, 7, 8}); // bottom row first
  TDIBX dst(1, 1, 8);
  dst.LoadFromStream(bmp, "indexed.bmp");
  EXPECT_EQ(dst.GetPixel(0, 0), 5u);
  EXPECT_EQ(dst.GetPixel(3, 1), 4u);
  TPaletteEntry loaded[256];
  dst.GetPalette(loaded);
  EXPECT_EQ(loaded[200], (TPaletteEntry{200, 55, 9, 0}));
}

TEST(DibxFiles, DamagedPicturesThrowNamingTheFile) {
  TDIBX red(2, 2, 32);
  red.Clear(0xFF0000);
  std::vector<uint8_t> png = EncodePng(red);
  png.resize(png.size() - 20);
  std::vector<uint8_t> bmpHuge = {'B', 'M', 0,  0, 0, 0,    0,    0, 0, 0,    54,   0, 0,
                                  0,   40,  0,  0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0, // 65535^2
                                  1,   0,   32, 0};
  bmpHuge.resize(64, 0);
  std::vector<uint8_t> bmpShort = bmpHuge;
  bmpShort[18] = 4, bmpShort[19] = 0, bmpShort[22] = 4, bmpShort[23] = 0; // 4 x 4, no pixels
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"cut.png", png}, {"huge.bmp", bmpHuge}, {"short.bmp", bmpShort}, {"tiny.bmp", {'B', 'M'}}};
  for (const auto& [name, bytes] : cases) {
    TDIBX s(3, 3, 16);
    try {
      s.LoadFromStream(bytes, name);
      ADD_FAILURE() << name << " loaded";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  }
}

TEST(DibxFiles, UnknownStreamsAndOtherExtensionsLeaveTheSurface) {
  TDIBX s(3, 3, 16);
  s.Clear(0x1234);
  const std::vector<uint8_t> junk = {'G', 'I', 'F', '8', '9', 'a'};
  s.LoadFromStream(junk, "a.gif");
  const std::string png = TempPath("picture.png");
  WritePng(s, png);
  s.LoadFromFile(png);
  s.LoadFromFile(TempPath("missing.bmp"));
  EXPECT_EQ(s.Width(), 3);
  EXPECT_EQ(s.GetPixel(2, 2), 0x1234u);
  std::remove(png.c_str());
}

// The layered-image format reaches surfaces only through the registered decoder.
class TCheckerDecoder : public TWispSurfaceDecoder {
public:
  void DecodeComposite(std::span<const uint8_t>, const std::string&, TDIBX& picture) override {
    picture.SetSize(2, 1, 32);
    picture.SetPixel(0, 0, 0xFFFFFF);
    picture.SetPixel(1, 0, 0x00FF00);
  }
};

TEST(DibxFiles, WispGoesThroughTheRegisteredDecoder) {
  const std::vector<uint8_t> wisp = {'W', 'i', 's', 'p', '1', '0', '0'};
  TDIBX s(5, 5, 15);
  s.LoadFromStream(wisp, "a.wsp");
  EXPECT_EQ(s.Width(), 5); // no decoder: unrecognised
  TCheckerDecoder decoder;
  TWispSurfaceDecoder* previous = SetWispSurfaceDecoder(&decoder);
  s.LoadFromStream(wisp, "a.wsp");
  SetWispSurfaceDecoder(previous);
  ASSERT_EQ(s.Width(), 2);
  EXPECT_EQ(s.GetPixel(0, 0), 0x7FFFu);
  EXPECT_EQ(s.GetPixel(1, 0), 0x03E0u);
}

class TRecordingSink : public TPresentationSink {
public:
  void PresentRect(const TRect& dstRect, const TPresentRows& rows) override {
    dst = dstRect;
    for (int y = 0; y < rows.height; ++y)
      for (int x = 0; x < rows.width; ++x)
        pixels.push_back(rows.pixels[y * rows.pitch_pixels + x]);
  }
  TRect dst;
  std::vector<uint32_t> pixels;
};

TEST(DibxFiles, StretchToDCHandsOverRgbRows) {
  TDIBX s(4, 4, 16);
  s.Clear(0);
  s.SetPixel(1, 2, 0xF800); // red
  s.SetPixel(2, 2, 0x001F); // blue
  TRecordingSink sink;
  s.StretchToDC(sink, TRect{0, 0, 20, 10}, TRect{1, 2, 3, 3});
  EXPECT_EQ(sink.dst, (TRect{0, 0, 20, 10}));
  EXPECT_EQ(sink.pixels, (std::vector<uint32_t>{0xFF0000, 0x0000FF}));
}

} // namespace
} // namespace nova
