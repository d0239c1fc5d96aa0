// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>

#include "base/nova_error.h"
#include "graphics/wisp_frame_list.h"
#include "graphics/wisp_permutation.h"
#include "wisp_test_fixture.h"

using namespace nova;
using namespace nova::test;

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

std::vector<uint8_t> AlphaValues(const TWispFrame& f) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < f.Height(); ++y) {
    for (int32_t x = 0; x < f.Width(); ++x)
      out.push_back(f.picture.alpha.Row(y)[x]);
  }
  return out;
}

LayerSpec Layer24(const std::vector<uint32_t>& pixels, bool zlib = true) {
  LayerSpec l;
  l.color = zlib ? Zlib(Rows24(2, pixels)) : Rows24(2, pixels);
  return l;
}

FileSpec OneFrame(int version, std::vector<LayerSpec> layers) {
  FileSpec f;
  f.version = version;
  FrameSpec fr;
  fr.layers = std::move(layers);
  f.frames.push_back(fr);
  return f;
}

struct ReadCase {
  const char* what;
  FileSpec file;
  std::vector<uint32_t> pixels;
  std::optional<std::vector<uint8_t>> alpha;
};

std::vector<ReadCase> ReadCases() {
  std::vector<ReadCase> cases;
  cases.push_back({"no magic: version 0, zlib rows",
                   OneFrame(0, {Layer24({kRed, kGreen, kBlue, kWhite})}),
                   {kRed, kGreen, kBlue, kWhite},
                   std::nullopt});
  {
    // Version 100 has alpha planes but no mask-over-key byte, so the plane is not used.
    LayerSpec l = Layer24({kRed, kGreen, kBlue, kWhite});
    l.alpha = Zlib(Rows8(2, {0, 0, 0, 0}));
    cases.push_back({"version 100 ignores alpha without the flag",
                     OneFrame(100, {l}),
                     {kRed, kGreen, kBlue, kWhite},
                     std::nullopt});
  }
  {
    LayerSpec l = Layer24({kRed, kGreen, kBlue, kWhite});
    l.mask_over_key = true;
    l.alpha = Zlib(Rows8(2, {255, 0, 128, 255}));
    cases.push_back({"mask over key on the first layer gives the frame its alpha",
                     OneFrame(101, {l}),
                     {kRed, kGreen, kBlue, kWhite},
                     std::vector<uint8_t>{255, 0, 128, 255}});
  }
  {
    LayerSpec l = Layer24({kRed, kGreen, kGreen, kWhite});
    l.transparent = static_cast<int32_t>(kGreen);
    FileSpec f = OneFrame(102, {l});
    f.background = 0xFF0000; // 0x00BBGGRR: blue
    cases.push_back(
        {"keyed first layer shows the background", f, {kRed, kBlue, kBlue, kWhite}, std::nullopt});
  }
  {
    FileSpec f = OneFrame(103, {Layer24({kRed, kGreen, kBlue, kWhite}, false)});
    f.compression = 1;
    cases.push_back({"version 103 stored rows", f, {kRed, kGreen, kBlue, kWhite}, std::nullopt});
  }
  {
    // Version 104 does not read the first-layer-opaque byte even when it is set.
    LayerSpec l = Layer24({kRed, kGreen, kGreen, kWhite});
    l.transparent = static_cast<int32_t>(kGreen);
    FileSpec f = OneFrame(104, {l});
    f.first_layer_opaque = true;
    cases.push_back(
        {"version 104 keeps the key of the first layer", f, {kRed, 0, 0, kWhite}, std::nullopt});
    f.version = 105;
    cases.push_back({"first-layer-opaque copies the first layer whole",
                     f,
                     {kRed, kGreen, kGreen, kWhite},
                     std::nullopt});
  }
  {
    LayerSpec bottom = Layer24({0, 0, 0, 0});
    LayerSpec top = Layer24({kWhite, kWhite, kWhite, kWhite});
    top.mask_over_key = true;
    top.transparent = static_cast<int32_t>(kWhite); // ignored under the mask
    top.alpha = Zlib(Rows8(2, {255, 0, 128, 1}));
    cases.push_back({"mask over key on a later layer blends through its alpha",
                     OneFrame(106, {bottom, top}),
                     {kWhite, 0, 0x7F7F7F, 0},
                     std::nullopt});
  }
  {
    LayerSpec bottom = Layer24({kRed, kRed, kRed, kRed});
    LayerSpec top = Layer24({kBlue, kGreen, kBlue, kRed});
    top.transparent = static_cast<int32_t>(kGreen);
    top.opacity = 128;
    LayerSpec hidden = Layer24({kWhite, kWhite, kWhite, kWhite});
    hidden.visible = false;
    // (255·127) >> 8 = 126 red, (255·128) >> 8 = 127 blue; equal pixels stay as they are.
    cases.push_back({"opacity with key blends all but keyed pixels",
                     OneFrame(106, {bottom, top, hidden}),
                     {0x7E007F, kRed, 0x7E007F, kRed},
                     std::nullopt});
  }
  return cases;
}

} // namespace

TEST(WispRead, VersionsCompressionsAndCompositing) {
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE(c.what);
    TWispFrameList list;
    list.LoadFromStream(BuildWisp(c.file), "case.wsp");
    ASSERT_EQ(list.Count(), 1);
    const TWispFrame& f = list.Frame(0);
    EXPECT_EQ(list.version(), c.file.version);
    EXPECT_EQ(RawPixels(f), c.pixels);
    ASSERT_EQ(f.HasAlpha(), c.alpha.has_value());
    if (c.alpha)
      EXPECT_EQ(AlphaValues(f), *c.alpha);
    EXPECT_TRUE(f.layers.empty());
    EXPECT_EQ(f.kept, 7);
  }
}

TEST(WispRead, PaletteFrameDerivesItsKeyColour) {
  FileSpec f;
  FrameSpec fr;
  fr.bits = 8;
  fr.palette.assign(256, 0);
  fr.palette[3] = 0x00112233; // blue 0x33, green 0x22, red 0x11
  fr.transparent = 256 + 3;   // stored into an 8-bit pixel it reads back as index 3
  LayerSpec l;
  l.color = Zlib(Rows8(2, {3, 1, 2, 3}));
  fr.layers = {l};
  f.frames = {fr};
  TWispFrameList list;
  list.LoadFromStream(BuildWisp(f), "pal.wsp");
  const TWispFrame& frame = list.Frame(0);
  EXPECT_EQ(frame.key_color, 0x00332211);
  EXPECT_EQ(RawPixels(frame), (std::vector<uint32_t>{3, 1, 2, 3}));
  EXPECT_EQ(frame.picture.color.palette()[3], 0x00112233u);
}

TEST(WispRead, RegionsAndFirstFrameOnly) {
  FileSpec f = OneFrame(104, {Layer24({kRed, kRed, kRed, kRed})});
  f.frames[0].visible_regions = {{0, 0, 2, 1}, {0, 1, 1, 2}};
  f.frames[0].opaque_regions = {{0, 0, 1, 1}};
  f.frames.push_back(f.frames[0]);
  f.frames[1].display_time = 0;
  TWispFrameList list;
  list.LoadFromStream(BuildWisp(f), "regions.wsp");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Frame(1).display_time, 0);
  EXPECT_EQ(list.Frame(0).visible_regions, (std::vector<TRect>{{0, 0, 2, 1}, {0, 1, 1, 2}}));
  EXPECT_EQ(list.Frame(0).opaque_regions, (std::vector<TRect>{{0, 0, 1, 1}}));
  list.LoadFromStream(BuildWisp(f), "regions.wsp", WispFrames::kFirstOnly);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_THROW(list.Frame(1), ENovaError);
  try {
    list.Frame(-1);
  } catch (const ENovaError& e) {
    EXPECT_STREQ(e.what(), "Error:TWispFrameList.GetFrame");
  }
}

TEST(WispPermutation, KnownOrders) {
  EXPECT_EQ(PermutationOrder(0, 5), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
  // s = 3, 18, 93, 468 taken modulo 4, 3, 2, 1 of the indices left.
  EXPECT_EQ(PermutationOrder(3, 4), (std::vector<uint32_t>{3, 0, 2, 1}));
  // A negative code is the same 32-bit pattern: s = 0xFFFFFFFF → position 3 of 7.
  EXPECT_EQ(PermutationOrder(-1, 7)[0], 3u);
  std::vector<uint32_t> big = PermutationOrder(0x1234567, 10000);
  std::vector<bool> seen(10000);
  for (uint32_t i : big)
    seen[i] = true;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 10000);
}
