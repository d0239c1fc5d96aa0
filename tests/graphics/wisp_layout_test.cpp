// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/sjis.h"
#include "graphics/wisp_frame_list.h"
#include "graphics/wisp_permutation.h"
#include "wisp_test_fixture.h"

using namespace nova;
using namespace nova::test;

namespace {

// Tile table entries: (−1, 0) raw, (−2, b) earlier tile b, (a ≥ 0, b) frame a's layer b.
struct Tile {
  int32_t a, b;
  std::vector<uint32_t> raw; // 24-bit pixels of a raw tile, row by row
};

std::vector<uint8_t> TiledPlane(const std::vector<Tile>& tiles, int32_t code = 0) {
  BinaryWriter w;
  std::vector<uint32_t> order = PermutationOrder(code, static_cast<uint32_t>(tiles.size()));
  // Entry i of the stored table belongs at position order[i].
  for (uint32_t pos : order) {
    w.I32(tiles[pos].a);
    w.I32(tiles[pos].b);
  }
  for (const Tile& t : tiles) {
    for (uint32_t p : t.raw) {
      w.U8(static_cast<uint8_t>(p));
      w.U8(static_cast<uint8_t>(p >> 8));
      w.U8(static_cast<uint8_t>(p >> 16));
    }
  }
  return w.Take();
}

// Two 3 × 3 frames in 2 × 2 tiles; the second repeats an area of the first and its own tiles.
FileSpec TiledFile(int32_t code) {
  FileSpec f;
  f.tile_width = f.tile_height = 2;
  f.permuted = code != 0;
  FrameSpec first;
  first.width = first.height = 3;
  LayerSpec l0;
  l0.color = Zlib(
      TiledPlane({{-1, 0, {1, 2, 4, 5}}, {-1, 0, {3, 6}}, {-1, 0, {7, 8}}, {-1, 0, {9}}}, code));
  first.layers = {l0};
  FrameSpec second = first;
  second.layers[0].color =
      Zlib(TiledPlane({{0, 0, {}}, {-1, 0, {0x100, 0x200}}, {-2, 0, {}}, {-2, 1, {}}}, code));
  f.frames = {first, second};
  return f;
}

} // namespace

TEST(WispLayout, TilesRepeatEarlierTilesAndFrames) {
  for (int32_t code : {0, 3}) {
    SCOPED_TRACE(code);
    TWispFrameList list(code);
    list.LoadFromStream(BuildWisp(TiledFile(code)), "tiles.wsp");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(RawPixels(list.Frame(0)), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(RawPixels(list.Frame(1)),
              (std::vector<uint32_t>{1, 2, 0x100, 4, 5, 0x200, 1, 2, 0x100}));
  }
}

TEST(WispLayout, PermutedRowsNeedTheirCode) {
  const std::vector<uint32_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8}; // 2 × 4
  std::vector<uint8_t> rows = Rows24(2, pixels);
  std::vector<uint8_t> stored(rows.size());
  std::vector<uint32_t> order = PermutationOrder(3, 4); // {3, 0, 2, 1}
  for (size_t i = 0; i < 4; ++i) {
    std::copy_n(rows.begin() + order[i] * 8, 8, stored.begin() + i * 8);
  }
  FileSpec f;
  f.permuted = true;
  f.compression = 1;
  FrameSpec fr;
  fr.height = 4;
  fr.layers = {LayerSpec{.color = stored}};
  f.frames = {fr};
  TWispFrameList right(3);
  right.LoadFromStream(BuildWisp(f), "perm.wsp");
  EXPECT_EQ(RawPixels(right.Frame(0)), pixels);
  // Code 0 is the identity: the rows come out in stored order.
  TWispFrameList none(0);
  none.LoadFromStream(BuildWisp(f), "perm.wsp");
  EXPECT_EQ(RawPixels(none.Frame(0)), (std::vector<uint32_t>{7, 8, 1, 2, 5, 6, 3, 4}));
}

TEST(WispLayout, NarrowLastTileColumnStoresShortRows) {
  // 293 pixels in 16-pixel tiles: 19 columns, the last 5 pixels (15 bytes) wide.
  FileSpec f;
  f.compression = 1;
  f.tile_width = f.tile_height = 16;
  FrameSpec fr;
  fr.width = 293;
  fr.height = 2;
  std::vector<Tile> tiles;
  for (int32_t c = 0; c < 19; ++c) {
    Tile t{-1, 0, {}};
    const int32_t w = c == 18 ? 5 : 16;
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < w; ++x)
        t.raw.push_back(static_cast<uint32_t>(c * 16 + x + y * 1000));
    }
    tiles.push_back(t);
  }
  std::vector<uint8_t> plane = TiledPlane(tiles);
  EXPECT_EQ(plane.size(), 19u * 8 + (18u * 48 + 15) * 2);
  fr.layers = {LayerSpec{.color = plane}};
  f.frames = {fr};
  TWispFrameList list;
  list.LoadFromStream(BuildWisp(f), "wide.wsp");
  const TWispBitmap& pic = list.Frame(0).picture.color;
  EXPECT_EQ(pic.GetRaw(0, 0), 0u);
  EXPECT_EQ(pic.GetRaw(291, 0), 291u);
  EXPECT_EQ(pic.GetRaw(292, 1), 1292u);
}

TEST(WispLayout, DamagedFilesFailNamingFileAndFrame) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* expected;
  };
  std::vector<Case> cases;
  auto good = [] {
    FileSpec f;
    FrameSpec fr;
    fr.layers = {LayerSpec{.color = Zlib(Rows24(2, {1, 2, 3, 4}))}};
    f.frames = {fr};
    return f;
  };
  {
    FileSpec f = good();
    f.header_size = 41;
    cases.push_back({"header record above 40 bytes", BuildWisp(f), "at most 40"});
  }
  {
    std::vector<uint8_t> bytes = BuildWisp(good());
    bytes.resize(bytes.size() - 6);
    cases.push_back({"cut short", bytes, "bad.wsp"});
  }
  {
    FileSpec f = good();
    f.frames[0].layers[0].color = Rows24(2, {1, 2, 3, 4});
    cases.push_back({"zlib data damaged", BuildWisp(f), "zlib"});
    f.compression = 1;
    f.frames[0].layers[0].color.pop_back();
    cases.push_back({"stored plane of the wrong size", BuildWisp(f), "instead of"});
    f.compression = 2;
    cases.push_back({"JPEG plane damaged", BuildWisp(f), "JPEG"});
  }
  {
    FileSpec f = good();
    f.frames[0].width = f.frames[0].height = 100000;
    cases.push_back({"absurd size", BuildWisp(f), "out of range"});
    f = good();
    f.frames[0].bits = 16;
    cases.push_back({"unknown bit count", BuildWisp(f), "not supported"});
  }
  {
    std::vector<uint8_t> bytes = BuildWisp(good());
    bytes[7 + 4 + 16] = 0xFF; // frame count 255, far more than the file holds
    cases.push_back({"frame count beyond the file", bytes, "frame count"});
  }
  {
    FileSpec f = TiledFile(0);
    f.frames[1].layers[0].color =
        Zlib(TiledPlane({{-2, 0, {}}, {-1, 0, {1, 2}}, {-2, 0, {}}, {-2, 1, {}}}));
    cases.push_back({"tile repeats itself", BuildWisp(f), "not decoded before it"});
    f.frames[1].layers[0].color =
        Zlib(TiledPlane({{1, 0, {}}, {-1, 0, {1, 2}}, {-2, 0, {}}, {-2, 1, {}}}));
    cases.push_back({"tile refers to its own frame", BuildWisp(f), "not read yet"});
    f.frames[1].layers[0].color =
        Zlib(TiledPlane({{0, 1, {}}, {-1, 0, {1, 2}}, {-2, 0, {}}, {-2, 1, {}}}));
    cases.push_back({"tile refers to a missing layer", BuildWisp(f), "does not exist"});
    f.frames[1].layers[0].color =
        Zlib(TiledPlane({{-5, 0, {}}, {-1, 0, {1, 2}}, {-2, 0, {}}, {-2, 1, {}}}));
    cases.push_back({"unknown tile kind", BuildWisp(f), "unknown kind"});
    f.frames[1].layers[0].color = Zlib(TiledPlane({{-1, 0, {1, 2, 3, 4}}}));
    cases.push_back({"tile table cut short", BuildWisp(f), "frame 1"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWispFrameList list;
    try {
      list.LoadFromStream(c.bytes, "bad.wsp");
      ADD_FAILURE() << "loaded";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("bad.wsp"), std::string::npos) << e.what();
    }
    EXPECT_EQ(list.Count(), 0);
  }
}

TEST(WispWrite, RoundTripsEachCompression) {
  TWispFrameList source(0x5EED);
  source.set_background(0x123456);
  for (int i = 0; i < 2; ++i) {
    TWispFrame f;
    f.picture.color.SetSize(17, 9, 24);
    for (int32_t y = 0; y < 9; ++y) {
      for (int32_t x = 0; x < 17; ++x)
        f.picture.color.SetRaw(x, y, (x * 15) << 16 | (y * 28) << 8 | i * 200);
    }
    if (i == 1) {
      f.picture.alpha.SetSize(17, 9, 8);
      f.picture.has_alpha = true;
      f.picture.alpha.Row(4)[3] = 200;
    }
    f.SetTransparent(i == 0 ? 0x00FF00 : -1);
    f.display_time = 40 + i;
    f.kept = 9;
    source.AddFrame(std::move(f));
  }
  struct Case {
    WispWriteOptions options;
    int max_error;
  };
  for (const Case& c : {Case{{0, 70, false}, 0}, Case{{1, 70, false}, 0}, Case{{2, 95, false}, 12},
                        Case{{0, 70, true}, 0}}) {
    SCOPED_TRACE(int(c.options.compression) * 10 + c.options.permuted);
    std::vector<uint8_t> bytes = source.SaveToBytes(c.options);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 7), "Wisp106");
    TWispFrameList back(0x5EED);
    back.LoadFromStream(bytes, "round.wsp");
    EXPECT_EQ(back.compression(), c.options.permuted ? 1 : c.options.compression);
    EXPECT_EQ(back.permuted(), c.options.permuted);
    EXPECT_EQ(back.background(), 0x123456);
    ASSERT_EQ(back.Count(), 2);
    for (int i = 0; i < 2; ++i) {
      const TWispFrame& a = source.Frame(i);
      const TWispFrame& b = back.Frame(i);
      EXPECT_EQ(b.transparent, a.transparent);
      EXPECT_EQ(b.key_color, a.key_color);
      EXPECT_EQ(b.display_time, a.display_time);
      EXPECT_EQ(b.kept, 9);
      ASSERT_EQ(b.HasAlpha(), a.HasAlpha());
      if (b.HasAlpha())
        EXPECT_EQ(b.picture.alpha.Row(4)[3], 200);
      int worst = 0;
      for (int32_t y = 0; y < 9; ++y) {
        for (int32_t x = 0; x < 17; ++x) {
          for (int shift = 0; shift < 24; shift += 8) {
            int d = int((a.picture.color.GetRaw(x, y) >> shift) & 0xFF) -
                    int((b.picture.color.GetRaw(x, y) >> shift) & 0xFF);
            worst = std::max(worst, std::abs(d));
          }
        }
      }
      EXPECT_LE(worst, c.max_error);
    }
  }
  // Without the code a permuted file's rows come out scrambled.
  TWispFrameList wrong(0);
  wrong.LoadFromStream(source.SaveToBytes({0, 70, true}), "round.wsp");
  EXPECT_NE(wrong.Frame(0).picture.color.GetRaw(0, 1), source.Frame(0).picture.color.GetRaw(0, 1));
}

TEST(WispWrite, PermutedWithoutCodeIsRefused) {
  TWispFrameList list(0);
  try {
    list.SaveToBytes({0, 70, true});
    ADD_FAILURE();
  } catch (const ENovaError& e) {
    EXPECT_EQ(e.what(), Utf8ToSjis("識別コードを設定してください"));
  }
}
