// SPDX-License-Identifier: MIT
// Titles of pictures drawn at build time, played headless and compared with reference pictures:
// animation over a scrolling tile, rotation and zoom about an anchor, blending modes,
// afterimages, clicks through an alpha mask, and a flip that carries named components over.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "e2e/picture_title.h"

namespace nova::e2e {
namespace {

// Scripts name properties by id in SetProp and GetProp: 3 PR_LEFT, 4 PR_TOP, 5 PR_WIDTH,
// 6 PR_HEIGHT, 31 PR_ANGLE, 109 PR_SCROLLX, 110 PR_SCROLLY, 132 PR_ZOOMY.

const char kTile[] = "frame 32 32\n"
                     "checker 16 $402818 $603828\n"
                     "ellipse 10 10 12 12 $80A0C0\n";

// Three numbered frames of 48 ms each, round and partly transparent.
const char kSprite[] = "frame 24 24 alpha time=48\n"
                       "ellipse 0 0 24 24 $20C0F0\n"
                       "text 7 5 2 $000000 \"1\"\n"
                       "frame 24 24 alpha time=48\n"
                       "ellipse 0 0 24 24 $F0C020\n"
                       "text 7 5 2 $000000 \"2\"\n"
                       "frame 24 24 alpha time=48\n"
                       "ellipse 0 0 24 24 $40F040\n"
                       "text 7 5 2 $000000 \"3\"\n";

// A bar with a marked left end, to see where rotation and mirroring put it.
const char kBar[] = "frame 60 16\n"
                    "gradient h $2020C0 $80E0FF\n"
                    "rect 0 0 8 16 $FFFFFF\n";

const char kBackdrop[] = "frame 320 240\n"
                         "gradient v $603010 $102040\n"
                         "rect 0 120 320 120 $E0E0E0 96\n";

const char kGlow[] = "frame 48 48 alpha\n"
                     "ellipse 0 0 48 48 $606060\n"
                     "ellipse 12 12 24 24 $C0C0C0\n";

// A ring: opaque band, transparent hole and corners.
const char kRing[] = "frame 80 80 alpha\n"
                     "ellipse 0 0 80 80 $3060E0\n"
                     "ellipse 20 20 40 40 none\n";

struct TPictureCase {
  const char* golden;
  std::vector<std::pair<const char*, const char*>> pictures; // file, description
  std::vector<std::pair<const char*, const char*>> pages;    // name, source
  int frames;
  const char* input;
  std::vector<std::pair<const char*, const char*>> vars; // name, expected dump
};

std::string Project() {
  return "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n"
         "var int \"hits\" 0\nvar flag \"gone\" 0\nvar str \"keep\" \"A\\r\\nB\"\n";
}

// One scene in full screen at a display mode of 32 and of 16 bits (640 x 480, the first two of
// the headless monitor's modes): pictures made before the switch are made anew at 16 bits, and
// the blends and gradients show the 5-6-5 depth.
std::string DepthPage(int mode_index) {
  return "TileNew PR_NAME={\"bg\"} PR_PARENT={\"\"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={320} "
         "PR_HEIGHT={240} PR_SOURCE={\"bg.wsp\"}\n"
         "ImgNew PR_NAME={\"glow\"} PR_PARENT={\"\"} PR_LEFT={100} PR_TOP={60} "
         "PR_SOURCE={\"glow.wsp\"} PR_ALPHA={160}\n"
         "ImgNew PR_NAME={\"ring\"} PR_PARENT={\"\"} PR_LEFT={180} PR_TOP={120} "
         "PR_SOURCE={\"ring.wsp\"}\n"
         "VarNew \"count\" type=1 value={@DisplayModeCount}\n"
         "Calc {@FullScr = TRUE}\n"
         "Calc {@DisplayModeIndex = " +
         std::to_string(mode_index) +
         "}\n"
         "Wait time={100000}\n";
}

const std::string kDepth32Page = DepthPage(0);
const std::string kDepth16Page = DepthPage(1);

const TPictureCase kCases[] = {
    {"e2e_depth_32",
     {{"bg.wsp", kTile}, {"glow.wsp", kGlow}, {"ring.wsp", kRing}},
     {{"main.nsb", kDepth32Page.c_str()}},
     4,
     "",
     {{"count", "6"}}},
    {"e2e_depth_16",
     {{"bg.wsp", kTile}, {"glow.wsp", kGlow}, {"ring.wsp", kRing}},
     {{"main.nsb", kDepth16Page.c_str()}},
     4,
     "",
     {{"count", "6"}}},
    {"e2e_sprite_over_tile",
     {{"bg.wsp", kTile}, {"sprite.wsp", kSprite}},
     {{"main.nsb",
       "TileNew PR_NAME={\"bg\"} PR_PARENT={\"\"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={320} "
       "PR_HEIGHT={240} PR_SOURCE={\"bg.wsp\"}\n"
       "ImgNew PR_NAME={\"sprite\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={100} "
       "PR_SOURCE={\"sprite.wsp\"} PR_REPEAT={TRUE}\n"
       "VarNew \"i\" type=1 value={0}\n"
       "WhileInit {i = 0}\n"
       "Label \"loop\"\n"
       "While {i < 12} end=@after\n"
       "  Calc {i = i + 1}\n"
       "  SetProp object={\"bg\"} prop={109} value={-i * 3}\n"
       "  SetProp object={\"bg\"} prop={110} value={i * 2}\n"
       "  SetProp object={\"sprite\"} prop={3} value={20 + i * 10}\n"
       "  Wait time={1} cont=0\n"
       "WhileLoop {} head=@loop\n"
       "Label \"after\"\n"
       "Wait time={100000}\n"}},
     30,
     "",
     {{"i", "12"}}},
    // The white end of each bar is its anchor's side; small boxes (named to sort above the bars)
    // mark the anchor points.
    {"e2e_rotated_zoomed_anchor",
     {{"bar.wsp", kBar}},
     {{"main.nsb",
       "ImgNew PR_NAME={\"plain\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} "
       "PR_SOURCE={\"bar.wsp\"}\n"
       "ImgNew PR_NAME={\"turned\"} PR_PARENT={\"\"} PR_LEFT={160} PR_TOP={120} "
       "PR_SOURCE={\"bar.wsp\"} PR_OFFSETX={8} PR_OFFSETY={8} PR_ZOOMX={512} PR_ZOOMY={384} "
       "PR_ANGLE={40}\n"
       "ImgNew PR_NAME={\"mirrored\"} PR_PARENT={\"\"} PR_LEFT={80} PR_TOP={200} "
       "PR_SOURCE={\"bar.wsp\"} PR_OFFSETX={0} PR_OFFSETY={0} PR_FLOATZOOMX={1.5} "
       "PR_FLOATANGLE={-0.5} PR_FLIPH={TRUE}\n"
       "# Sizes follow the zoom as soon as the image is placed; PR_ANGLE and PR_ZOOMY that are\n"
       "# carried without a value leave what PR_FLOATANGLE and PR_FLOATZOOMY set.\n"
       "VarNew \"sizes\" type=4 value={IntToStr(GetProp(\"turned\", 5)) ++ \"x\" ++ "
       "IntToStr(GetProp(\"turned\", 6)) ++ \" \" ++ IntToStr(GetProp(\"mirrored\", 5)) ++ \"x\" "
       "++ IntToStr(GetProp(\"mirrored\", 6))}\n"
       "VarNew \"mirrored\" type=4 value={IntToStr(GetProp(\"mirrored\", 31)) ++ \" \" ++ "
       "IntToStr(GetProp(\"mirrored\", 132))}\n"
       "BoxNew PR_NAME={\"zm1\"} PR_PARENT={\"\"} PR_LEFT={158} PR_TOP={118} PR_WIDTH={5} "
       "PR_HEIGHT={5} PR_COLOR={$00FF00}\n"
       "BoxNew PR_NAME={\"zm2\"} PR_PARENT={\"\"} PR_LEFT={78} PR_TOP={198} PR_WIDTH={5} "
       "PR_HEIGHT={5} PR_COLOR={$00FF00}\n"
       "Wait time={100000}\n"}},
     6,
     "",
     {{"sizes", "\"120x24 90x16\""}, {"mirrored", "\"-20 256\""}}},
    // Copies, half blends, additions and nothing over a gradient.
    {"e2e_additive_and_alpha",
     {{"back.wsp", kBackdrop}, {"glow.wsp", kGlow}, {"bar.wsp", kBar}},
     {{"main.nsb",
       "ImgNew PR_NAME={\"back\"} PR_PARENT={\"\"} PR_SOURCE={\"back.wsp\"} PR_PRIORITY={-1}\n"
       "ImgNew PR_NAME={\"g255\"} PR_PARENT={\"\"} PR_LEFT={16} PR_TOP={96} "
       "PR_SOURCE={\"glow.wsp\"} PR_ALPHA={255}\n"
       "ImgNew PR_NAME={\"g128\"} PR_PARENT={\"\"} PR_LEFT={80} PR_TOP={96} "
       "PR_SOURCE={\"glow.wsp\"} PR_ALPHA={128}\n"
       "ImgNew PR_NAME={\"g300\"} PR_PARENT={\"\"} PR_LEFT={144} PR_TOP={96} "
       "PR_SOURCE={\"glow.wsp\"} PR_ALPHA={300}\n"
       "ImgNew PR_NAME={\"g511\"} PR_PARENT={\"\"} PR_LEFT={208} PR_TOP={96} "
       "PR_SOURCE={\"glow.wsp\"} PR_ALPHA={511}\n"
       "ImgNew PR_NAME={\"g0\"} PR_PARENT={\"\"} PR_LEFT={272} PR_TOP={96} "
       "PR_SOURCE={\"glow.wsp\"} PR_ALPHA={0}\n"
       "ImgNew PR_NAME={\"b64\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={30} "
       "PR_SOURCE={\"bar.wsp\"} PR_ALPHA={64}\n"
       "ImgNew PR_NAME={\"b400\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={180} "
       "PR_SOURCE={\"bar.wsp\"} PR_ALPHA={400}\n"
       "# Stretched afterwards: a carried PR_WIDTH would size every image of the page.\n"
       "SetProp object={\"b64\"} prop={5} value={280}\n"
       "SetProp object={\"b400\"} prop={5} value={280}\n"
       "Wait time={100000}\n"}},
     6,
     "",
     {}},
    // An image that moves every frame leaves fading copies of itself behind.
    {"e2e_afterimages",
     {{"back.wsp", kBackdrop}, {"sprite.wsp", kSprite}},
     {{"main.nsb",
       "ImgNew PR_NAME={\"back\"} PR_PARENT={\"\"} PR_SOURCE={\"back.wsp\"} PR_PRIORITY={-1}\n"
       "ImgNew PR_NAME={\"ball\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={60} "
       "PR_SOURCE={\"sprite.wsp\"} PR_REPEAT={TRUE} PR_BLURSPAN={32} PR_BLURDELAY={240}\n"
       "VarNew \"i\" type=1 value={0}\n"
       "WhileInit {i = 0}\n"
       "Label \"loop\"\n"
       "While {i < 24} end=@after\n"
       "  Calc {i = i + 1}\n"
       "  SetProp object={\"ball\"} prop={3} value={20 + i * 11}\n"
       "  SetProp object={\"ball\"} prop={4} value={60 + i * 4}\n"
       "  Wait time={1} cont=0\n"
       "WhileLoop {} head=@loop\n"
       "Label \"after\"\n"
       "Wait time={100000}\n"}},
     40,
     "",
     {{"i", "20"}}}, // still moving when the picture is taken
    // The ring takes clicks only where it is opaque: the hole and the corners let them through.
    // Each hit widens the bar.
    {"e2e_capture_mask_clicks",
     {{"ring.wsp", kRing}},
     {{"main.nsb",
       "ImgNew PR_NAME={\"ring\"} PR_PARENT={\"\"} PR_LEFT={120} PR_TOP={80} "
       "PR_SOURCE={\"ring.wsp\"} PR_CAPTUREMASK={TRUE} PR_ONLBTNDOWN={\"hit.nsb\"}\n"
       "BoxNew PR_NAME={\"bar\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={200} PR_WIDTH={4} "
       "PR_HEIGHT={16} PR_COLOR={$00C000}\n"
       "Wait time={100000}\n"},
      {"hit.nsb", "Calc {hits = hits + 1}\n"
                  "SetProp object={\"bar\"} prop={5} value={hits * 60}\n"}},
     40,
     "# the hole\n"
     "4 move 160 120\n5 mousedown left 160 120\n6 mouseup left 160 120\n"
     "# the ring's left band\n"
     "10 move 128 120\n11 mousedown left 128 120\n12 mouseup left 128 120\n"
     "# the transparent corner, inside the picture's rectangle\n"
     "16 move 123 83\n17 mousedown left 123 83\n18 mouseup left 123 83\n"
     "# the ring's bottom band\n"
     "22 move 160 152\n23 mousedown left 160 152\n24 mouseup left 160 152\n",
     {{"hits", "2"}}},
    // A flip with keep mode 1 and the names "A" and "B" on two lines: A and B come along to the
    // new picture, C stays behind and goes with the old front layer.
    {"e2e_flip_keeps_named",
     {{"back.wsp", kBackdrop}, {"bg.wsp", kTile}},
     {{"main.nsb",
       "ImgNew PR_NAME={\"old\"} PR_PARENT={\"\"} PR_SOURCE={\"back.wsp\"} PR_PRIORITY={-1}\n"
       "BoxNew PR_NAME={\"A\"} PR_PARENT={\"\"} PR_LEFT={40} PR_TOP={40} PR_WIDTH={60} "
       "PR_HEIGHT={60} PR_COLOR={$0000FF}\n"
       "BoxNew PR_NAME={\"B\"} PR_PARENT={\"\"} PR_LEFT={130} PR_TOP={90} PR_WIDTH={60} "
       "PR_HEIGHT={60} PR_COLOR={$FF0000}\n"
       "BoxNew PR_NAME={\"C\"} PR_PARENT={\"\"} PR_LEFT={220} PR_TOP={140} PR_WIDTH={60} "
       "PR_HEIGHT={60} PR_COLOR={$00FF00}\n"
       "# The next picture, prepared on the back layer.\n"
       "TileNew PR_NAME={\"bg\"} PR_PARENT={Chr(1)} PR_WIDTH={320} PR_HEIGHT={240} "
       "PR_SOURCE={\"bg.wsp\"} PR_PRIORITY={-1}\n"
       "Wait time={1}\n"
       "Flip kind={1} time={100} flag={0} keep={1} names=({keep}) delold={1}\n"
       "Wait time={1}\n"
       "Calc {gone = (Exists(\"C\") == FALSE) & (Exists(\"old\") == FALSE) & Exists(\"A\")}\n"
       "Wait time={100000}\n"}},
     30,
     "",
     {{"gone", "TRUE"}}},
};

void PrintTo(const TPictureCase& c, std::ostream* os) { *os << c.golden; }

class PicturesGolden : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(PicturesGolden, MatchTheReference) {
  const TPictureCase& c = GetParam();
  TTestTitle title(c.golden);
  title.Add("nova.npb.txt", Project());
  std::string error;
  for (const auto& [file, description] : c.pictures)
    ASSERT_TRUE(DrawPicture(title, file, description, error)) << error;
  for (const auto& [name, source] : c.pages)
    title.Page(name, source);
  TDIBX shot(1, 1, 32);
  std::map<std::string, std::string> vars;
  ASSERT_TRUE(Screenshot(title, c.frames, c.input, shot, error, &vars)) << error;
  for (const auto& [name, value] : c.vars)
    EXPECT_EQ(ValueOf(vars, name), value) << name;
  CompareWithGolden(shot, c.golden);
}

INSTANTIATE_TEST_SUITE_P(Titles, PicturesGolden, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.golden); });

} // namespace
} // namespace nova::e2e
