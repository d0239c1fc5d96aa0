// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <png.h>

#include <map>
#include <string>

#include "base/binary_writer.h"
#include "base/run_state.h"
#include "scene/component_factory.h"
#include "scene/cursor_file.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "scene/scene_host.h"

namespace nova {
namespace {

// A 2x2 cursor, 24 bits, hot spot (1, 0); the AND mask makes the bottom-left pixel clear. The
// top-left pixel is red, or the given blue when one is given (frames of animations differ so).
std::vector<uint8_t> TinyCursor(uint8_t top_left_blue = 0) {
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
  for (uint8_t v : {top_left_blue, uint8_t{0}, uint8_t{255}, uint8_t{0}, uint8_t{255}, uint8_t{0},
                    uint8_t{0}, uint8_t{0}})
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

// A cursor directory with one entry holding the given image bytes (a PNG in newer files).
std::vector<uint8_t> CursorWithEntry(const std::vector<uint8_t>& entry, int side, int hot_x,
                                     int hot_y) {
  BinaryWriter w;
  w.U16(0);                                           // reserved
  w.U16(2);                                           // type: cursor
  w.U16(1);                                           // image count
  w.U8(static_cast<uint8_t>(side == 256 ? 0 : side)); // width (0 is 256)
  w.U8(static_cast<uint8_t>(side == 256 ? 0 : side)); // height
  w.U16(0);                                           // colours, reserved
  w.U16(static_cast<uint16_t>(hot_x));                // hot x
  w.U16(static_cast<uint16_t>(hot_y));                // hot y
  w.U32(static_cast<uint32_t>(entry.size()));         // bytes of the image
  w.U32(22);                                          // offset of the image
  w.Bytes(entry);
  return w.Take();
}

// A PNG of the given size whose pixel i has bytes red i, green 2i, blue 3i, alpha 255 - i.
std::vector<uint8_t> PngRgba(int width, int height) {
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < rgba.size() / 4; ++i) {
    rgba[i * 4] = static_cast<uint8_t>(i);
    rgba[i * 4 + 1] = static_cast<uint8_t>(2 * i);
    rgba[i * 4 + 2] = static_cast<uint8_t>(3 * i);
    rgba[i * 4 + 3] = static_cast<uint8_t>(255 - i);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
  std::vector<uint8_t> out(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr));
  out.resize(size);
  return out;
}

TEST(CursorFile, DecodesPngEntries) {
  auto img = DecodeCursorFile(CursorWithEntry(PngRgba(2, 2), 2, 1, 1));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width, 2);
  EXPECT_EQ(img->hot_x, 1);
  EXPECT_EQ(img->hot_y, 1);
  // 0xAARRGGBB of pixels 0 to 3, top row first.
  EXPECT_EQ(img->argb, (std::vector<uint32_t>{0xFF000000, 0xFE010203, 0xFD020406, 0xFC030609}));

  const std::vector<uint8_t> png = PngRgba(2, 2);
  EXPECT_EQ(DecodeCursorFile(CursorWithEntry({png.begin(), png.end() - 20}, 2, 0, 0)), nullptr);
  // Larger than any cursor: refused from its header, before its pixels are allocated.
  EXPECT_EQ(DecodeCursorFile(CursorWithEntry(PngRgba(300, 2), 256, 0, 0)), nullptr);
}

// An animated cursor: an optional "anih" header, optional "rate" and "seq " chunks (values in
// 32-bit words) and a "fram" list of the given frames.
struct TAni {
  bool header = true;
  uint32_t steps = 0, rate = 6, flags = 1;
  std::vector<uint32_t> rates, sequence;
  std::vector<std::vector<uint8_t>> frames;
};

std::vector<uint8_t> BuildAni(const TAni& a) {
  BinaryWriter body;
  body.Bytes(std::string_view("ACON"));
  if (a.header) {
    body.Bytes(std::string_view("anih"));
    body.U32(36);
    body.U32(36);                                     // header size
    body.U32(static_cast<uint32_t>(a.frames.size())); // frames
    body.U32(a.steps);                                // steps
    for (int i = 0; i < 4; ++i)
      body.U32(0);     // width, height, bit count, planes
    body.U32(a.rate);  // jiffies per step
    body.U32(a.flags); // 1: frames are cursors, 2: "seq " orders the steps
  }
  for (const auto& [id, values] : {std::pair{"rate", &a.rates}, std::pair{"seq ", &a.sequence}}) {
    if (values->empty())
      continue;
    body.Bytes(std::string_view(id, 4));
    body.U32(static_cast<uint32_t>(values->size() * 4));
    for (uint32_t v : *values)
      body.U32(v);
  }
  BinaryWriter list;
  list.Bytes(std::string_view("fram"));
  for (const auto& f : a.frames) {
    list.Bytes(std::string_view("icon"));
    list.U32(static_cast<uint32_t>(f.size()));
    list.Bytes(f);
  }
  body.Bytes(std::string_view("LIST"));
  body.U32(static_cast<uint32_t>(list.data().size()));
  body.Bytes(list.data());
  BinaryWriter w;
  w.Bytes(std::string_view("RIFF"));
  w.U32(static_cast<uint32_t>(body.data().size()));
  w.Bytes(body.data());
  return w.Take();
}

TEST(CursorFile, AnimatedCursorsGiveTheirStepsAndTimes) {
  const std::vector<uint8_t> f0 = TinyCursor(0), f1 = TinyCursor(7);
  struct TCase {
    const char* name;
    TAni ani;
    std::vector<uint32_t> sequence; // empty: decoding fails
    std::vector<int32_t> step_ms;
  };
  const TCase cases[] = {
      {"no header shows the first frame still", {.header = false, .frames = {f0, f1}}, {0}, {0}},
      {"header rate for every frame", {.rate = 6, .frames = {f0, f1}}, {0, 1}, {100, 100}},
      {"sequence and rates",
       {.steps = 3, .flags = 3, .rates = {2, 3, 1}, .sequence = {1, 0, 1}, .frames = {f0, f1}},
       {1, 0, 1},
       {33, 50, 16}},
      {"a rate of 0 lasts one jiffy", {.rate = 0, .frames = {f0, f1}}, {0, 1}, {16, 16}},
      {"a sequence without its flag is ignored",
       {.flags = 1, .sequence = {1, 1}, .frames = {f0, f1}},
       {0, 1},
       {100, 100}},
      {"steps beyond the frames are dropped",
       {.steps = 1000, .frames = {f0, f1}},
       {0, 1},
       {100, 100}},
      {"steps beyond the rates are dropped",
       {.steps = 2, .rates = {4}, .frames = {f0, f1}},
       {0},
       {0}},
      {"a sequence naming a missing frame",
       {.steps = 2, .flags = 3, .sequence = {0, 2}, .frames = {f0, f1}},
       {},
       {}},
      {"no frames", {.frames = {}}, {}, {}},
      {"a damaged frame", {.frames = {f0, {f1.begin(), f1.end() - 9}}}, {}, {}},
  };
  for (const TCase& c : cases) {
    auto anim = DecodeCursorAnimation(BuildAni(c.ani));
    if (c.sequence.empty()) {
      EXPECT_EQ(anim, nullptr) << c.name;
      continue;
    }
    ASSERT_NE(anim, nullptr) << c.name;
    EXPECT_EQ(anim->sequence, c.sequence) << c.name;
    EXPECT_EQ(anim->step_ms, c.step_ms) << c.name;
    EXPECT_EQ(anim->frames.size(), c.ani.frames.size()) << c.name;
  }
}

// Serves one cursor file as the title's default and records the top-left pixel of every
// cursor shown.
class TCursorHost : public ISceneHost {
public:
  std::vector<uint8_t> file;
  std::vector<uint32_t> shown;
  std::optional<std::vector<uint8_t>> ReadTitleFile(const std::string& name) override {
    return name == "busy.ani" ? std::optional(file) : std::nullopt;
  }
  std::string DefaultCursorFile() override { return "busy.ani"; }
  void ShowCursor(const TCursorImage* cursor) override {
    shown.push_back(cursor ? cursor->argb[0] : 0);
  }
  void PointerPosition(int32_t& x, int32_t& y) override { x = y = 0; }
};

TEST(CursorFile, SceneCyclesAnAnimatedCursorByFrameTime) {
  ResetRunState();
  RunState().FrameDelta = 16;
  TCursorHost host;
  // Steps show frame 1 for 33 ms, frame 0 for 50 ms, frame 1 for 16 ms.
  host.file = BuildAni({.steps = 3,
                        .flags = 3,
                        .rates = {2, 3, 1},
                        .sequence = {1, 0, 1},
                        .frames = {TinyCursor(0), TinyCursor(7)}});
  const uint32_t red = 0xFFFF0000, violet = 0xFFFF0007;
  TNovaBaseList list(64, 48, &host);
  auto* box = CreateComponent<TNovaBox>(&list);
  box->SetParent(list.Front());
  box->SetBounds(0, 0, 64, 48);
  list.SetPointer(10, 10);
  // After each frame of 16 ms: shown at 0, then the steps change at 48 (33 reached), 96
  // (83 reached), 112 (99 reached, the round starts again).
  const std::map<int, std::vector<uint32_t>> expected = {
      {1, {violet}},
      {3, {violet}},
      {4, {violet, red}},
      {6, {violet, red}},
      {7, {violet, red, violet}},
      {8, {violet, red, violet, violet}},
  };
  for (int frame = 1; frame <= 8; ++frame) {
    list.InputStep();
    if (auto it = expected.find(frame); it != expected.end())
      EXPECT_EQ(host.shown, it->second) << "frame " << frame;
  }
}

} // namespace
} // namespace nova
