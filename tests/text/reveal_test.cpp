// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>

#include "text_test_util.h"

namespace nova {
namespace {

using test::ParseUtf8;

struct Revealer {
  TZpWord word;
  PageList pages;
  std::vector<std::string> events;
  Revealer(const char* markup, int text_delay, int speed) {
    word.settings.default_size = 10;
    word.settings.wrap_width = 200;
    word.settings.page_height = 100;
    word.settings.speed = speed;
    word.settings.events_on = true;
    word.event_sink = [this](const std::string& v) { events.push_back(v); };
    ParseUtf8(word, markup, text_delay);
    word.Layout(pages);
  }
  TWdPage& page() { return *pages[0]; }
  // Runs 16 ms frames (the first counts 0) and records what each revealed, as "tick:text".
  std::string Run(int frames) {
    std::string log;
    for (int f = 0; f < frames; ++f) {
      RevealResult r = word.RevealTick(page(), f == 0 ? 0 : 16);
      if (!r.revealed_text.empty())
        log += std::to_string(f) + ":" + r.revealed_text + " ";
      if (r.just_completed)
        log += std::to_string(f) + ":done ";
    }
    return log;
  }
};

TEST(Reveal, TimingOnTheVirtualClock) {
  struct Case {
    const char* markup;
    int delay, speed;
    const char* log;
  } cases[] = {
      // One frame is skipped after a reset; then 100 ms per character at speed 256.
      {"abc", 100, 256, "1:a 8:b 14:c 15:done "},
      {"abc", 100, 512, "1:a 14:b "},
      {"abc", 100, 0, "1:abc 3:done "},                  // speed 0: every wait scales to nothing
      {"abc", 100, -1, "1:abc 3:done "},                 // a negative speed too
      {"<WAIT VALUE=-50>ab", 100, 0, "1:a 5:b 6:done "}, // a negative wait is absolute
      {"a<IMG SRC=x.png>b", 0, 256, "1:a*b 3:done "},
  };
  for (const Case& c : cases) {
    Revealer r(c.markup, c.delay, c.speed);
    EXPECT_EQ(r.Run(20), c.log) << c.markup << " speed " << c.speed;
  }
}

TEST(Reveal, FadeInSteps) {
  Revealer r("ab", 0, 256);
  r.word.settings.fade_time = 64;
  r.word.ResetReveal(r.page());
  TWdGlyph* a = r.page().rows[0]->glyphs[0];
  r.word.RevealTick(r.page(), 0); // skipped
  r.word.RevealTick(r.page(), 0); // revealed at alpha 0
  EXPECT_EQ(a->Alpha(), 0);
  r.word.RevealTick(r.page(), 16); // 16 * 256 / 64 = 64 steps
  EXPECT_EQ(a->Alpha(), 64);
  EXPECT_TRUE(r.word.CanContinue(r.page()));
  for (int i = 0; i < 3; ++i)
    r.word.RevealTick(r.page(), 16);
  EXPECT_EQ(a->Alpha(), 255);
  EXPECT_FALSE(r.word.CanContinue(r.page()));
}

TEST(Reveal, EventsFireTogetherUnlessEnded) {
  Revealer r("a<EVENT VALUE=x><EVENT VALUE=y>b<EVENT VALUE=z END><EVENT VALUE=w>c", 0, 256);
  r.Run(3);
  EXPECT_EQ(r.events, (std::vector<std::string>{"x", "y"}));
  r.Run(3);
  EXPECT_EQ(r.events, (std::vector<std::string>{"x", "y", "z"}));
  r.Run(2);
  EXPECT_EQ(r.events, (std::vector<std::string>{"x", "y", "z", "w"}));
}

TEST(Reveal, PausedHoldsAndCaretFollows) {
  Revealer r("ab", 0, 256);
  r.word.settings.paused = true;
  EXPECT_EQ(r.Run(3), "");
  r.word.settings.paused = false;
  r.Run(3);
  EXPECT_EQ(r.word.settings.caret_x, 20); // right edge of the last glyph
  EXPECT_EQ(r.word.caret_height, 10);
}

TEST(Reveal, StateStreamRoundTrip) {
  Revealer a("abc<EVENT VALUE=q>", 100, 256);
  a.word.settings.events_on = false;
  a.Run(9);
  BinaryWriter w;
  a.word.SaveRevealState(a.page(), w);
  Revealer b("abc<EVENT VALUE=q>", 100, 256);
  const std::vector<uint8_t> bytes = w.Take();
  BinaryReader r(bytes, "state");
  b.word.LoadRevealState(b.page(), r);
  EXPECT_TRUE(r.at_end());
  EXPECT_EQ(b.page().current_glyph, a.page().current_glyph);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(b.page().rows[0]->glyphs[i]->Alpha(), a.page().rows[0]->glyphs[i]->Alpha()) << i;
}

TEST(Reveal, SettingsStreamVersions) {
  TZpWord a;
  a.settings.default_shadow_color = 0x123456;
  a.settings.default_border = 3;
  a.settings.fixed_cell = false;
  a.settings.default_font = "face";
  BinaryWriter w;
  a.SaveSettings(w);
  const std::vector<uint8_t> bytes = w.Take();
  struct Case {
    int version;
    int shadow_color, border;
    bool fixed;
    size_t unread;
  } cases[] = {{141, 0x123456, 3, false, 0},
               {140, 0x123456, 3, true, 1},
               {110, 0x123456, 0, true, 9},
               {109, 0, 0, true, 13}};
  for (const Case& c : cases) {
    TZpWord b;
    BinaryReader r(bytes, "settings");
    b.LoadSettings(r, c.version);
    EXPECT_EQ(b.settings.default_font, "face");
    EXPECT_EQ(b.settings.default_shadow_color, c.shadow_color) << c.version;
    EXPECT_EQ(b.settings.default_border, c.border) << c.version;
    EXPECT_EQ(b.settings.fixed_cell, c.fixed) << c.version;
    EXPECT_EQ(r.remaining(), c.unread) << c.version;
  }
}

TEST(Reveal, FadeOutRoundsToEven) {
  TZpWord w;
  ParseUtf8(w, "a");
  TWdGlyph& g = *w.GlyphAt(0);
  TZpWord::StartFadeOut(g, 100);
  EXPECT_FALSE(TZpWord::AdvanceFadeOut(g, 50));
  EXPECT_EQ(g.Alpha(), 127); // 255 - round(127.5) with ties to even
  EXPECT_TRUE(TZpWord::AdvanceFadeOut(g, 50));
  EXPECT_EQ(g.Alpha(), 0);
}

TEST(Reveal, LinksHoverAsRuns) {
  Revealer r("x<A HREF=go>ab</A>y", 0, 0);
  r.word.settings.origin_x = 100;
  r.Run(4);
  r.word.Hover(r.page(), 100 + 15, 5);
  ASSERT_NE(r.word.hover_glyph(), nullptr);
  EXPECT_EQ(r.word.LinkText(r.page()), "ab");
  EXPECT_EQ(r.word.hover_glyph()->Link(), "go");
  r.word.Hover(r.page(), 100 + 35, 5); // "y" has no link
  EXPECT_EQ(r.word.hover_glyph(), nullptr);
  EXPECT_EQ(r.word.HitTest(r.page(), 99, 5), nullptr);
}

// Pictures of the text: "anim.png" has three frames of 100, 0 and 50 ms, the rest one.
class FramedImages final : public TextImageHost {
public:
  bool Measure(const std::string&, int& width, int& height) override {
    width = height = 8;
    return true;
  }
  void Paint(const std::string& file, int, int, int) override {
    painted.push_back(file + ":still");
  }
  std::vector<int> FrameTimes(const std::string& file) override {
    return file == "anim.png" ? std::vector<int>{100, 0, 50} : std::vector<int>{100};
  }
  void PaintFrame(const std::string& file, int frame, int, int, int) override {
    painted.push_back(file + ":" + std::to_string(frame));
  }
  std::vector<std::string> painted;
};

// Frames follow by their times once the image is revealed (a frame of no time is passed over),
// each change is a dirty rectangle, painting shows the current frame, and a reset or a loaded
// state starts the animation again.
TEST(Reveal, AnimatedImagesRunWhileShown) {
  FramedImages images;
  TZpWord word;
  word.images = &images;
  word.settings.wrap_width = 100;
  word.settings.page_height = 50;
  word.settings.speed = 256;
  word.Parse({"<IMG SRC=anim.png><IMG SRC=still.png>"}, 0);
  PageList pages;
  word.Layout(pages);
  TWdPage& page = *pages[0];
  auto* anim = static_cast<TWdImg*>(word.GlyphAt(0));
  std::string frames;
  for (int tick = 0; tick < 16; ++tick) {
    word.RevealTick(page, 16);
    const bool dirty = std::any_of(word.dirty_rects().begin(), word.dirty_rects().end(),
                                   [](const TextRect& r) { return r.left == 0; });
    frames += std::to_string(anim->frame) + (dirty ? "*" : "");
  }
  // Tick 0 is skipped, tick 1 reveals, tick 2 fades in (dirty); 100 ms after the reveal frame 2
  // follows, 50 ms later frame 0 again.
  EXPECT_EQ(frames, "000*000002*220*0000");
  EXPECT_EQ(page.animated.size(), 1u);

  struct NoTarget final : TextPaintTarget {
    void DrawColorMask(int, int, const CoverageSurface&, const TextRect&, uint32_t, int) override {}
    void DrawMask(int, int, const TextColorSurface&, const CoverageSurface&, const TextRect&,
                  int) override {}
  } target;
  word.Paint(page, target, {0, 0, 100, 50});
  EXPECT_EQ(images.painted, (std::vector<std::string>{"anim.png:0", "still.png:still"}));

  BinaryWriter w;
  word.SaveRevealState(page, w);
  word.ResetReveal(page);
  EXPECT_TRUE(page.animated.empty());
  const std::vector<uint8_t> state = w.Take();
  BinaryReader r(state, "state");
  word.LoadRevealState(page, r);
  ASSERT_EQ(page.animated.size(), 1u);
  EXPECT_EQ(page.animated[0], anim);
  EXPECT_EQ(anim->frame, 0);
}

} // namespace
} // namespace nova
