// SPDX-License-Identifier: MIT
// Pictures drawn from text descriptions: what the drawings paint, and descriptions that fail.
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "graphics/picture_drawing.h"

using namespace nova;

namespace {

// 0x00BBGGRR of a frame's pixel.
uint32_t ColorAt(const TWispFrame& f, int32_t x, int32_t y) {
  return f.picture.color.RawToColor(f.picture.color.GetRaw(x, y));
}

TEST(PictureDrawing, PaintsWhatTheDescriptionSays) {
  struct Case {
    const char* text;
    int32_t x, y;
    uint32_t color;
    int alpha; // -1: the frame has no alpha plane
  } const cases[] = {
      {"frame 4 4\nfill $123456", 3, 3, 0x123456, -1},
      {"frame 4 4\nfill $FFFFFF\nrect 1 1 2 2 $000000 128", 1, 1, 0x7F7F7F, -1},
      {"frame 4 4\nfill $FFFFFF\nrect 1 1 2 2 $000000 128", 0, 0, 0xFFFFFF, -1},
      {"frame 5 2\ngradient h $000000 $0000FF", 2, 1, 0x00007F, -1},
      {"frame 2 5\ngradient v $00FF00 $000000", 0, 4, 0x000000, -1},
      {"frame 4 4\nchecker 2 $0000FF $FF0000", 2, 0, 0xFF0000, -1},
      {"frame 4 4\nchecker 2 $0000FF $FF0000", 2, 2, 0x0000FF, -1},
      // Alpha frames start transparent; paint goes over what is there.
      {"frame 4 4 alpha", 0, 0, 0x000000, 0},
      {"frame 4 4 alpha\nrect 0 0 4 4 $0000FF 128", 1, 1, 0x0000FF, 128},
      {"frame 4 4 alpha\nfill $FF0000\nrect 0 0 4 4 $0000FF 128", 1, 1, 0x7F0080, 255},
      {"frame 8 8 alpha\nfill $FFFFFF\nellipse 2 2 4 4 none", 4, 4, 0x000000, 0},
      {"frame 8 8 alpha\nfill $FFFFFF\nellipse 2 2 4 4 none", 2, 2, 0xFFFFFF, 255},
      {"frame 8 8 alpha\nellipse 0 0 8 8 $00FF00", 0, 0, 0x000000, 0},
      {"frame 8 8 alpha\nellipse 0 0 8 8 $00FF00", 4, 4, 0x00FF00, 255},
      // The glyph of "T" at scale 2: its bar across the top, its stem in the middle.
      {"frame 12 14\ntext 0 0 2 $FFFFFF \"T\"", 9, 1, 0xFFFFFF, -1},
      {"frame 12 14\ntext 0 0 2 $FFFFFF \"t\"", 4, 12, 0xFFFFFF, -1},
      {"frame 12 14\ntext 0 0 2 $FFFFFF \"T\"", 1, 12, 0x000000, -1},
  };
  for (const Case& c : cases) {
    const std::vector<TWispFrame> frames = DrawPictures(c.text, "case.txt");
    ASSERT_EQ(frames.size(), 1u) << c.text;
    const TWispFrame& f = frames[0];
    EXPECT_EQ(ColorAt(f, c.x, c.y), c.color) << c.text << " at " << c.x << "," << c.y;
    ASSERT_EQ(f.HasAlpha(), c.alpha >= 0) << c.text;
    if (c.alpha >= 0)
      EXPECT_EQ(f.picture.alpha.Row(c.y)[c.x], c.alpha) << c.text;
  }
}

TEST(PictureDrawing, FramesCarryTimeAndKey) {
  const std::vector<TWispFrame> frames =
      DrawPictures("# two frames\nframe 3 2 time=40\nframe 2 2 key=$FF00FF\n", "f.txt");
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].Width(), 3);
  EXPECT_EQ(frames[0].display_time, 40);
  EXPECT_EQ(frames[0].key_color, -1);
  EXPECT_EQ(frames[1].key_color, 0xFF00FF);
}

TEST(PictureDrawing, FaultsNameTheLineAndWhatIsWrong) {
  struct Case {
    const char* text;
    const char* message;
  } const cases[] = {
      {"", "pic.txt: no frame"},
      {"fill $000000", "pic.txt:1: \"fill\" before the first frame"},
      {"frame 4", "pic.txt:1: \"frame\" needs more values"},
      {"frame 0 4", "pic.txt:1: \"0\" is no number from 1 to 2048"},
      {"frame 4 4 big", "pic.txt:1: \"big\" is no frame option"},
      {"frame 4 4\n\nfill FFFFFF", "pic.txt:3: \"FFFFFF\" is no colour"},
      {"frame 4 4\nfill $GGGGGG", "is no colour"},
      {"frame 4 4\ntext 0 0 1 $FFFFFF \"open", "a text without its closing quote"},
      {"frame 4 4\ntext 0 0 1 $FFFFFF \"~\"", "no glyph for '~'"},
      {"frame 4 4\ngradient d $000000 $FFFFFF", "a gradient runs h"},
      {"frame 4 4\nspray 1 2", "\"spray\" is no drawing"},
      {"frame 2048 2048\nframe 2048 2048", "pic.txt:2: the frames hold more than"},
      // Nine full fills of a million pixels: more work than any description may ask for.
      {"frame 1024 1024\nfill $000000\nfill $000000\nfill $000000\nfill $000000\n"
       "fill $000000\nfill $000000\nfill $000000\nfill $000000\nfill $000000\n",
       "pic.txt:10: more than 8388608 pixels painted"},
  };
  for (const Case& c : cases) {
    try {
      DrawPictures(c.text, "pic.txt");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << e.what() << " / " << c.message;
    }
  }
}

} // namespace
