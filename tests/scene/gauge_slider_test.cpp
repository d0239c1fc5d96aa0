// SPDX-License-Identifier: MIT
// Gauges, sliders, scroll bars and glyph-cell captions drawn from pictures.
#include <gtest/gtest.h>

#include "image_fixture.h"

namespace nova::test {
namespace {

// Picture colours (0xRRGGBB) and how the screen reads them back (0x00BBGGRR).
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00;
constexpr uint32_t kScreenRed = Rgb(255, 0, 0), kScreenGreen = Rgb(0, 255, 0);

// A frame whose cells (`cells` side by side, each cell_w wide) have the given colours.
TWispFrame CellFrame(int cell_w, int h, const std::vector<uint32_t>& rrggbb) {
  TWispFrame f = SolidFrame(cell_w * static_cast<int>(rrggbb.size()), h, 0, 0, false);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = f.picture.color.Row(y);
    for (size_t c = 0; c < rrggbb.size(); ++c)
      for (int x = 0; x < cell_w; ++x) {
        uint8_t* p = row + 3 * (c * static_cast<size_t>(cell_w) + static_cast<size_t>(x));
        p[0] = rrggbb[c] & 0xFF;
        p[1] = (rrggbb[c] >> 8) & 0xFF;
        p[2] = (rrggbb[c] >> 16) & 0xFF;
      }
  }
  return f;
}

class GaugeTest : public ImageScene {
protected:
  TNovaGauge* NewGauge() {
    WriteWisp("g.wsp", [] {
      std::vector<TWispFrame> v;
      v.push_back(CellFrame(20, 4, {kRed, kGreen}));
      return v;
    }());
    auto* g = CreateComponent<TNovaGauge>(&List());
    g->SetName("g");
    g->SetParent(List().Front());
    g->SetProp(PR_SOURCE, TPropValue::Str("g.wsp"));
    g->SetLeft(10);
    g->SetTop(10);
    g->SetProp(PR_MAX, TPropValue::Int(100));
    return g;
  }
  void Step(int ms) {
    RunState().FrameDelta = ms;
    List().UpdateStep();
  }
};

TEST_F(GaugeTest, SizeFromThePictureAndTheBarSize) {
  TNovaGauge* g = NewGauge();
  EXPECT_EQ(g->GetWidth(), 20);
  EXPECT_EQ(g->GetHeight(), 4);
  g->SetProp(PR_BARSIZE, TPropValue::Int(50));
  EXPECT_EQ(g->GetWidth(), 50);
  g->SetProp(PR_ORIENTATION, TPropValue::Int(OT_VERTICAL));
  EXPECT_EQ(g->GetWidth(), 20);
  EXPECT_EQ(g->GetHeight(), 50);
}

TEST_F(GaugeTest, ALossLingersThenShrinks) {
  TNovaGauge* g = NewGauge();
  g->SetProp(PR_DURATION, TPropValue::Int(1000));
  g->SetProp(PR_DELAY, TPropValue::Int(500));
  g->SetProp(PR_VALUE, TPropValue::Int(100));
  for (int i = 0; i < 100; ++i)
    Step(10);
  ASSERT_EQ(g->Shown(), 100);
  g->SetProp(PR_VALUE, TPropValue::Int(40));
  EXPECT_EQ(g->Shown(), 40) << "the bar drops at once";
  EXPECT_EQ(g->Marker(), 60);
  for (int i = 0; i < 50; ++i)
    Step(10);
  EXPECT_EQ(g->Marker(), 60) << "the loss waits for the delay";
  for (int i = 0; i < 30; ++i)
    Step(10);
  EXPECT_EQ(g->Marker(), 30);
  for (int i = 0; i < 30; ++i)
    Step(10);
  EXPECT_EQ(g->Marker(), 0);
  EXPECT_FALSE(g->GetProp(PR_PLAYING).f);
}

TEST_F(GaugeTest, RaisesWithoutDurationAtOnceAndReadsClamped) {
  TNovaGauge* g = NewGauge();
  g->SetProp(PR_VALUE, TPropValue::Int(40));
  Step(16);
  g->SetProp(PR_VALUE, TPropValue::Int(250));
  EXPECT_TRUE(g->GetProp(PR_PLAYING).f);
  Step(16);
  EXPECT_EQ(g->Shown(), 100);
  EXPECT_EQ(g->GetProp(PR_VALUE).i, 100);
}

TEST_F(GaugeTest, DrawsBarAndMarkerFromTheTwoHalves) {
  TNovaGauge* g = NewGauge();
  g->SetProp(PR_MIN, TPropValue::Int(50));
  g->SetProp(PR_DELAY, TPropValue::Int(1000));
  g->SetProp(PR_DURATION, TPropValue::Int(1000));
  g->SetProp(PR_VALUE, TPropValue::Int(100));
  for (int i = 0; i < 20; ++i)
    Step(100);
  g->SetProp(PR_VALUE, TPropValue::Int(75)); // half the range: 10 px bar, 10 px marker
  List().DrawStep();
  EXPECT_EQ(At(10, 11), kScreenRed);
  EXPECT_EQ(At(19, 11), kScreenRed);
  EXPECT_EQ(At(20, 11), kScreenGreen);
  EXPECT_EQ(At(29, 11), kScreenGreen);
  EXPECT_EQ(At(30, 11), 0u);
  g->SetProp(PR_REVERSE, TPropValue::Flag(true));
  List().DrawStep();
  EXPECT_EQ(At(29, 11), kScreenRed) << "a reversed bar grows from the right";
  EXPECT_EQ(At(10, 11), kScreenGreen);
}

class SliderTest : public ImageScene {
protected:
  template <class T = TNovaSlider> T* NewSlider(int orientation, int track = 100) {
    WriteWisp("track.wsp", [track, orientation] {
      std::vector<TWispFrame> v;
      v.push_back(orientation == OT_VERTICAL ? CellFrame(4, track, {kRed, kGreen})
                                             : CellFrame(track, 4, {kRed, kGreen}));
      return v;
    }());
    WriteWisp("thumb.wsp", [] {
      std::vector<TWispFrame> v;
      v.push_back(CellFrame(10, 10, {0x0000FF, 0x0000FE, 0x0000FD}));
      return v;
    }());
    WriteWisp("button.wsp", [] {
      std::vector<TWispFrame> v;
      v.push_back(CellFrame(6, 6, {1, 2, 3, 4, 5, 6}));
      return v;
    }());
    auto* s = CreateComponent<T>(&List());
    s->SetName("s");
    s->SetParent(List().Front());
    s->SetProp(PR_ORIENTATION, TPropValue::Int(orientation));
    s->SetProp(PR_SOURCE, TPropValue::Str("track.wsp"));
    s->SetProp(PR_THUMBSOURCE, TPropValue::Str("thumb.wsp"));
    s->SetProp(PR_BUTTONSOURCE, TPropValue::Str("button.wsp"));
    s->SetProp(PR_MAX, TPropValue::Int(100));
    s->SetProp(PR_SMALLCHANGE, TPropValue::Int(5));
    s->SetProp(PR_ONNOTIFY, TPropValue::Str("n"));
    s->SetProp(PR_ONHOLD, TPropValue::Str("hold"));
    s->SetProp(PR_ONRELEASE, TPropValue::Str("release"));
    s->SetLeft(2);
    s->SetTop(2);
    return s;
  }
  void Press(int x, int y) {
    List().SetPointer(x, y);
    Frame(List());
    List().PressButton(false);
    List().SetButtonHeld(false, true);
    Frame(List());
  }
  void MoveTo(int x, int y, int ms = 16) {
    List().SetPointer(x, y);
    Frame(List(), ms);
  }
  void Release() {
    List().SetButtonHeld(false, false);
    Frame(List());
  }
};

TEST_F(SliderTest, LayoutOfBothKindsAndOrientations) {
  const struct {
    bool scrollbar;
    int orientation;
    int32_t w, h;
  } cases[] = {
      {false, OT_HORIZONTAL, 100 + 10 + 12, 10},
      {false, OT_VERTICAL, 10, 100 + 10 + 12},
      {true, OT_HORIZONTAL, 100 + 12, 10},
      {true, OT_VERTICAL, 10, 100 + 12},
  };
  for (const auto& c : cases) {
    TNovaSlider* s = c.scrollbar ? NewSlider<TNovaScrollbar>(c.orientation)
                                 : NewSlider<TNovaSlider>(c.orientation);
    EXPECT_EQ(s->GetWidth(), c.w) << c.scrollbar << c.orientation;
    EXPECT_EQ(s->GetHeight(), c.h) << c.scrollbar << c.orientation;
    s->FreeLater();
    List().UpdateStep();
  }
}

TEST_F(SliderTest, ThumbCentreFollowsTheValueAndAClickOnTheTrackDrags) {
  TNovaSlider* s = NewSlider(OT_HORIZONTAL);
  s->SetProp(PR_VALUE, TPropValue::Int(50));
  const TSceneRect track = s->TrackRect();
  EXPECT_EQ(track.Left, 2 + 6 + 5);
  EXPECT_EQ(s->ThumbRect().Left + 5, track.Left + 50);
  Press(track.Left + 75, 5);
  EXPECT_EQ(s->GetProp(PR_VALUE).i, 75);
  EXPECT_EQ(s->Mode(), smDragging);
  EXPECT_EQ(Drain(List()), (std::vector<std::string>{"hold", "n 75"}));
  MoveTo(track.Right + 30, 5);
  MoveTo(track.Right + 40, 5);
  EXPECT_EQ(s->GetProp(PR_VALUE).i, 100);
  EXPECT_EQ(Drain(List()), (std::vector<std::string>{"n 100"})) << "once while it stays at max";
  Release();
  EXPECT_EQ(Drain(List()), (std::vector<std::string>{"release"}));
  EXPECT_EQ(s->Mode(), smIdle);
}

TEST_F(SliderTest, VerticalSliderGrowsUpwardsByButtonAndKey) {
  TNovaSlider* s = NewSlider(OT_VERTICAL, 60);
  s->SetProp(PR_VALUE, TPropValue::Int(50));
  s->SetProp(PR_HANDLEKEY, TPropValue::Flag(true));
  const TSceneRect top = s->ButtonRect(0);
  MoveTo(top.Left + 1, top.Top + 1);
  Press(top.Left + 1, top.Top + 1);
  EXPECT_EQ(s->GetProp(PR_VALUE).i, 55) << "the top button raises a vertical slider";
  Release();
  List().SetFocus(s);
  List().SetKeyState(38, true);
  Frame(List());
  List().SetKeyState(38, false);
  EXPECT_EQ(s->GetProp(PR_VALUE).i, 60) << "Up raises it";
  EXPECT_GT(s->ThumbRect().Top, s->TrackRect().Top);
  EXPECT_LT(s->ThumbRect().Top, s->TrackRect().Top + 30) << "above the middle of the track";
}

TEST_F(SliderTest, ScrollBarPagesTowardsThePointerAfterTheRepeatDelay) {
  auto* s = NewSlider<TNovaScrollbar>(OT_VERTICAL, 100);
  s->SetProp(PR_LARGECHANGE, TPropValue::Int(10));
  const TSceneRect track = s->TrackRect();
  const int x = track.Left + 2, y = track.Top + 60;
  Press(x, y);
  EXPECT_EQ(s->GetProp(PR_VALUE).i, 10);
  EXPECT_EQ(s->Mode(), smPageToEnd);
  std::vector<int32_t> values;
  for (int i = 0; i < 40; ++i) {
    MoveTo(x, y, 25);
    values.push_back(s->GetProp(PR_VALUE).i);
  }
  EXPECT_EQ(values[9], 10) << "nothing before 300 ms";
  EXPECT_GT(values[14], 10);
  // The thumb (10 px over 90 px of travel) stops once it covers the pointer.
  const TSceneRect thumb = s->ThumbRect();
  EXPECT_LE(thumb.Top, y);
  EXPECT_GT(thumb.Bottom + 10, y);
  Release();
  EXPECT_EQ(s->Mode(), smIdle);
}

// A short track picture with a transparent top row, stretched by a bar size: the picture (and
// its mask) repeats along the track, so a press far beyond the picture's own length still hits
// the track, and one on the transparent row does not.
TEST_F(SliderTest, BarSizeRepeatsTheTrackMaskForPresses) {
  TNovaSlider* s = NewSlider(OT_HORIZONTAL);
  WriteWisp("short.wsp", [] {
    std::vector<TWispFrame> v;
    v.push_back(CellFrame(4, 4, {kRed, kGreen}));
    TWispFrame& f = v.back();
    f.picture.alpha.SetSize(8, 4, 8);
    f.picture.has_alpha = true;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x)
        f.picture.alpha.Row(y)[x] = y == 0 ? 0 : 255;
    return v;
  }());
  s->SetProp(PR_SOURCE, TPropValue::Str("short.wsp"));
  s->SetProp(PR_BARSIZE, TPropValue::Int(100));
  const TSceneRect track = s->TrackRect();
  ASSERT_EQ(track.Right - track.Left, 100);
  Press(track.Left + 70, track.Top);
  EXPECT_EQ(s->Mode(), smIdle) << "the transparent row";
  Release();
  Press(track.Left + 70, track.Top + 2);
  EXPECT_EQ(s->GetProp(PR_VALUE).i, 70);
  EXPECT_EQ(s->Mode(), smDragging);
}

TEST_F(SliderTest, EqualMinAndMaxIgnorePressesAndHideTheThumb) {
  TNovaSlider* s = NewSlider(OT_HORIZONTAL);
  s->SetProp(PR_MAX, TPropValue::Int(0));
  const TSceneRect track = s->TrackRect();
  Press(track.Left + 40, 5);
  EXPECT_EQ(s->Mode(), smIdle);
  EXPECT_TRUE(Drain(List()).empty());
  List().DrawStep();
  const int32_t x = s->ThumbRect().Left + 5;
  EXPECT_EQ(At(x, 6), kScreenGreen) << "the empty part of the track";
  EXPECT_EQ(At(x, 3), 0u) << "no thumb";
}

TEST_F(ImageScene, GlyphCaptionDrawsCellsAndSkipsUnknownCharacters) {
  WriteWisp("digits.wsp", [] {
    std::vector<TWispFrame> v;
    std::vector<uint32_t> colours;
    for (uint32_t c = 0; c < 10; ++c)
      colours.push_back(0x100000 * (c + 1));
    v.push_back(CellFrame(4, 5, colours));
    return v;
  }());
  auto* label = CreateComponent<TNovaCGLabel>(&List());
  label->SetParent(List().Front());
  label->SetProp(PR_SOURCE, TPropValue::Str("digits.wsp"));
  label->SetProp(PR_GLYPHWIDTH, TPropValue::Int(4));
  label->SetProp(PR_GLYPHHEIGHT, TPropValue::Int(5));
  label->SetProp(PR_MAPTEXT, TPropValue::Str("0123456789"));
  label->SetProp(PR_TEXT, TPropValue::Str("3a1\r\n22"));
  label->SetProp(PR_LINESPACE, TPropValue::Int(1));
  EXPECT_EQ(label->GlyphLines(), (std::vector<std::vector<int32_t>>{{3, -1, 1}, {2, 2}}));
  EXPECT_EQ(label->GetWidth(), 12);
  EXPECT_EQ(label->GetHeight(), 11);
  EXPECT_EQ(label->GetProp(PR_ORIGWIDTH).i, 40);
  List().DrawStep();
  EXPECT_EQ(At(0, 0), Rgb(64, 0, 0));
  EXPECT_EQ(At(5, 0), 0u) << "an unknown character leaves its cell blank";
  EXPECT_EQ(At(8, 0), Rgb(32, 0, 0));
  EXPECT_EQ(At(0, 6), Rgb(48, 0, 0)) << "the second line below the line space";
}

} // namespace
} // namespace nova::test
