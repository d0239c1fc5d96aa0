// SPDX-License-Identifier: MIT
#include <cmath>
#include <numbers>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/serializer.h"
#include "image_fixture.h"
#include "scene/prop_table.h"

namespace nova::test {
namespace {

class ImageComponents : public ImageScene {
protected:
  void SetUp() override {
    ImageScene::SetUp();
    WriteWisp("red.wsp", {SolidFrame(20, 10, 0xC80000, 100, false)});
    WriteWisp("disc.wsp", {SolidFrame(20, 20, 0x00C800, 100, true)});
  }
};

TEST_F(ImageComponents, ZoomAngleAndSizeFollowingZoom) {
  auto* img = NewImage("a", "red.wsp", 10, 10);
  EXPECT_EQ(img->GetProp(PR_WIDTH).i, 20);
  EXPECT_EQ(img->GetProp(PR_ORIGWIDTH).i, 20);
  img->SetProp(PR_ZOOMX, TPropValue::Int(512));
  EXPECT_EQ(img->GetProp(PR_WIDTH).i, 20) << "the size follows at the next update";
  Frame(List());
  EXPECT_EQ(img->GetProp(PR_WIDTH).i, 40);
  EXPECT_EQ(img->GetProp(PR_HEIGHT).i, 10);
  EXPECT_EQ(img->GetProp(PR_FLOATZOOMX).r, 2.0L);
  // Setting the width stretches the picture instead.
  img->SetProp(PR_WIDTH, TPropValue::Int(30));
  EXPECT_EQ(img->GetProp(PR_ZOOMX).i, 0);
  Frame(List());
  EXPECT_EQ(img->GetProp(PR_WIDTH).i, 30);
  List().DrawStep();
  EXPECT_EQ(At(39, 12), Rgb(200, 0, 0));
  EXPECT_EQ(At(40, 12), 0u);

  auto* rot = NewImage("r", "red.wsp", 80, 60);
  const TSceneRect before = rot->GetHitRect();
  rot->SetProp(PR_ANGLE, TPropValue::Int(64));
  EXPECT_EQ(rot->GetProp(PR_ANGLE).i, 64);
  EXPECT_NEAR(static_cast<double>(rot->GetProp(PR_FLOATANGLE).r), 64 / 255.0 * 2 * std::numbers::pi,
              1e-12);
  const TSceneRect after = rot->GetHitRect();
  // A quarter turn about the top-left anchor: the 20 × 10 picture stands 10 wide, 20 high.
  EXPECT_EQ(before.Width(), 20);
  EXPECT_GE(after.Height(), 20);
  EXPECT_LE(after.Height(), 23);
  EXPECT_LT(after.Left, 80) << "turned clockwise, the picture lies left of its anchor";
  rot->SetProp(PR_FLOATANGLE, TPropValue::Real(2 * std::numbers::pi_v<long double>));
  EXPECT_EQ(rot->GetHitRect().Width(), 20) << "a whole turn is no rotation";
}

TEST_F(ImageComponents, SizeSetByScriptSurvivesFramesAndTheOtherZoom) {
  WriteWisp("three.wsp",
            {SolidFrame(4, 4, 0x010101, 20, false), SolidFrame(4, 4, 0x020202, 20, false),
             SolidFrame(4, 4, 0x030303, 20, false)});
  auto* img = NewImage("s", "three.wsp", 0, 0);
  img->SetProp(PR_REPEAT, TPropValue::Flag(true));
  img->SetProp(PR_WIDTH, TPropValue::Int(30));
  for (int i = 0; i < 4; ++i) {
    Frame(List(), 20);
    EXPECT_EQ(img->GetProp(PR_WIDTH).i, 30) << "frame " << img->GetProp(PR_INDEX).i;
  }
  // A zoom change on the other axis recomputes only that axis.
  img->SetProp(PR_ZOOMY, TPropValue::Int(512));
  Frame(List(), 1);
  EXPECT_EQ(img->GetProp(PR_WIDTH).i, 30);
  EXPECT_EQ(img->GetProp(PR_HEIGHT).i, 8);
}

TEST_F(ImageComponents, IndexOfAFilmImageSeeksTheFilm) {
  UseFakeFilms(List());
  auto* img = NewImage("f", "100.nmt", 10, 0);
  ASSERT_NE(img->GetMotion(), nullptr);
  img->SetProp(PR_INDEX, TPropValue::Int(30));
  Frame(List(), 0);
  EXPECT_EQ(img->MotionX(), 10 + 30) << "the film shows frame 30";
  img->SetProp(PR_INDEX, TPropValue::Int(-5));
  Frame(List(), 0);
  EXPECT_EQ(img->MotionX(), 10) << "before the start is the first frame";
}

TEST_F(ImageComponents, TilesLieAtTheirPlaceWithoutAnchorFlipOrPlus) {
  struct Case {
    int prop;
    int32_t value;
  } const cases[] = {{PR_FLIPH, 1}, {PR_FLIPV, 1}, {PR_OFFSETX, 5}, {PR_OFFSETY, 5},
                     {PR_PLUSX, 3}, {PR_PLUSY, 3}, {PR_ZOOMX, 512}, {PR_POSZOOMED, 1}};
  auto* holder = NewImage<TNovaTile>("holder", "red.wsp", 30, 40);
  holder->SetBounds(30, 40, 60, 60);
  holder->SetProp(PR_SCROLLX, TPropValue::Int(4));
  for (const Case& c : cases) {
    auto* tile = NewImage<TNovaTile>("t", "red.wsp", 7, 9);
    tile->SetParent(holder);
    tile->SetBounds(7, 9, 40, 20);
    const TPropValue v =
        PropInfo(c.prop).type == ptFlag ? TPropValue::Flag(c.value != 0) : TPropValue::Int(c.value);
    tile->SetProp(c.prop, v);
    Frame(List(), 0);
    EXPECT_EQ(tile->ScreenLeft(), 30 - 4 + 7) << PropInfo(c.prop).name;
    EXPECT_EQ(tile->ScreenTop(), 40 + 9) << PropInfo(c.prop).name;
    EXPECT_EQ(tile->LeftInParent(), 7) << PropInfo(c.prop).name;
    tile->FreeLater();
    Frame(List(), 0);
  }
}

TEST_F(ImageComponents, DrawingModesByAlpha) {
  List().Front()->SetColor(Rgb(10, 20, 30));
  struct Case {
    int32_t alpha;
    uint32_t want;
  } const cases[] = {
      {0, Rgb(10, 20, 30)},
      {128, Rgb((10 * 127 + 200 * 128) >> 8, (20 * 127) >> 8, (30 * 127) >> 8)},
      {255, Rgb(200, 0, 0)},
      {300, Rgb(10 + (200 * 44 >> 8), 20, 30)},
  };
  int x = 0;
  for (const Case& c : cases) {
    auto* img = NewImage("m" + std::to_string(c.alpha), "red.wsp", x, 0);
    img->SetProp(PR_ALPHA, TPropValue::Int(c.alpha));
    x += 30;
  }
  List().DrawStep();
  x = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(At(x + 5, 5), c.want) << "alpha " << c.alpha;
    x += 30;
  }
}

TEST_F(ImageComponents, BrightnessOfAnyMagnitudeSaturates) {
  struct Case {
    int32_t brightness;
    uint32_t want;
  } const cases[] = {
      {100, Rgb(255, 100, 100)}, {-100, Rgb(100, 0, 0)},          {1000, Rgb(255, 255, 255)},
      {INT32_MIN, Rgb(0, 0, 0)}, {INT32_MAX, Rgb(255, 255, 255)},
  };
  int x = 0;
  for (const Case& c : cases) {
    auto* img = NewImage("b" + std::to_string(x), "red.wsp", x, 0);
    img->SetProp(PR_BRIGHTNESS, TPropValue::Int(c.brightness));
    EXPECT_EQ(img->GetProp(PR_BRIGHTNESS).i, c.brightness);
    x += 30;
  }
  List().DrawStep();
  x = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(At(x + 5, 5), c.want) << "brightness " << c.brightness;
    x += 30;
  }
}

TEST_F(ImageComponents, SinglePictureSurvivesADisplayModeChange) {
  auto* img = CreateComponent<TNovaImage>(&List());
  img->SetParent(List().Front());
  img->SetSource("red.wsp");
  img->SetBrightness(155);
  img->ReleaseSurfaces();
  img->RestoreSurfaces();
  EXPECT_EQ(img->OwnSurface().Width(), 20);
  List().DrawStep();
  EXPECT_EQ(At(5, 5), Rgb(100, 0, 0)) << "darkened by 255 - 155";
}

TEST_F(ImageComponents, AdjustedFramesOutliveTheirCopies) {
  // Around a display-mode change the copy is made again; the image never draws the old one.
  auto* img = NewImage("lit", "red.wsp", 0, 0);
  img->SetProp(PR_BRIGHTNESS, TPropValue::Int(50));
  img->ReleaseSurfaces();
  List().DrawStep();
  img->RestoreSurfaces();
  List().DrawStep();
  EXPECT_EQ(At(5, 5), Rgb(250, 50, 50));
  // An afterimage of an adjusted frame still draws after its source and the copy are gone.
  img->SetProp(PR_BLURSPAN, TPropValue::Int(16));
  img->SetProp(PR_BLURDELAY, TPropValue::Int(1000));
  img->SetLeft(40);
  Frame(List(), 16);
  img->FreeLater();
  Frame(List(), 0);
  ASSERT_EQ(List().FindByName("lit"), nullptr);
  List().Front()->Invalidate();
  List().DrawStep();
  EXPECT_NE(At(45, 5), 0u) << "the afterimage shows its own copy";
}

TEST_F(ImageComponents, CaptureMaskHitsOnlyOpaquePixels) {
  auto* img = NewImage("d", "disc.wsp", 40, 40);
  img->SetProp(PR_CAPTUREMASK, TPropValue::Flag(true));
  TNovaBase* front = List().Front();
  const uint32_t all = ~0u;
  EXPECT_EQ(front->HitTest(50, 50, all), img) << "centre";
  EXPECT_NE(front->HitTest(40, 40, all), img) << "transparent corner";
  img->SetProp(PR_CAPTUREMASK, TPropValue::Flag(false));
  EXPECT_EQ(front->HitTest(40, 40, all), img) << "without capture the rectangle counts";
  // Zoomed and rotated: the point is turned back and scaled into the picture.
  img->SetProp(PR_CAPTUREMASK, TPropValue::Flag(true));
  img->SetProp(PR_ZOOMX, TPropValue::Int(512));
  img->SetProp(PR_ZOOMY, TPropValue::Int(512));
  img->SetProp(PR_OFFSETX, TPropValue::Int(10));
  img->SetProp(PR_OFFSETY, TPropValue::Int(10));
  img->SetProp(PR_ANGLE, TPropValue::Int(32));
  Frame(List());
  EXPECT_EQ(front->HitTest(40, 40, all), img) << "the centre stays on the anchor";
  EXPECT_NE(front->HitTest(40 - 19, 40 - 19, all), img) << "rotated corner is clear";
  EXPECT_EQ(front->HitTest(40 - 18, 40, all), img) << "inside the disc of radius 20";
}

TEST_F(ImageComponents, FrameAnimationCountdown) {
  WriteWisp("two.wsp",
            {SolidFrame(4, 4, 0x010101, 50, false), SolidFrame(4, 4, 0x020202, 50, false)});
  WriteWisp("three.wsp",
            {SolidFrame(4, 4, 0x010101, 50, false), SolidFrame(4, 4, 0x020202, 50, false),
             SolidFrame(4, 4, 0x030303, 50, false)});
  struct Case {
    const char* file;
    std::vector<int> step_ms;
    std::vector<int> index;
  } const cases[] = {
      // Two frames drop the overshoot: 60 ms into 50-ms frame 0 gives frame 1 a full 50 ms.
      {"two.wsp", {60, 40, 10}, {1, 1, 1}},
      // Three frames carry it: frame 1 has 40 ms left after 60 ms.
      {"three.wsp", {60, 40, 10}, {1, 2, 2}},
      // A long step skips frames.
      {"three.wsp", {120}, {2}},
  };
  for (const Case& c : cases) {
    auto* img = NewImage("anim", c.file, 0, 0);
    ASSERT_EQ(img->GetProp(PR_COUNT).i, c.file[1] == 'w' ? 2 : 3);
    for (size_t i = 0; i < c.step_ms.size(); ++i) {
      Frame(List(), c.step_ms[i]);
      EXPECT_EQ(img->GetProp(PR_INDEX).i, c.index[i]) << c.file << " step " << i;
    }
    img->FreeLater();
    Frame(List(), 0);
  }
}

TEST_F(ImageComponents, LastFrameEndsRepeatsOrScraps) {
  WriteWisp("two.wsp",
            {SolidFrame(4, 4, 0x010101, 20, false), SolidFrame(4, 4, 0x020202, 20, false)});
  auto* end = NewImage("end", "two.wsp", 0, 0);
  end->SetProp(PR_ONPLAYEND, TPropValue::Str("done"));
  auto* loop = NewImage("loop", "two.wsp", 10, 0);
  loop->SetProp(PR_REPEAT, TPropValue::Flag(true));
  auto* scrap = NewImage("scrap", "two.wsp", 20, 0);
  scrap->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
  Frame(List(), 30);
  EXPECT_TRUE(Drain(List()).empty());
  EXPECT_TRUE(end->GetProp(PR_PLAYING).f);
  Frame(List(), 30);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"done"});
  EXPECT_FALSE(end->GetProp(PR_PLAYING).f);
  EXPECT_EQ(loop->GetProp(PR_INDEX).i, 0);
  EXPECT_TRUE(loop->GetProp(PR_PLAYING).f);
  Frame(List(), 16);
  EXPECT_EQ(Drain(List()), std::vector<std::string>{"done"}) << "queued again while it rests";
  EXPECT_EQ(List().FindByName("scrap"), nullptr);
  // Paused images do not advance.
  loop->SetProp(PR_PAUSED, TPropValue::Flag(true));
  const int32_t index = loop->GetProp(PR_INDEX).i;
  Frame(List(), 100);
  EXPECT_EQ(loop->GetProp(PR_INDEX).i, index);
}

TEST_F(ImageComponents, AfterimagesOfAMovingImage) {
  auto* img = NewImage("mover", "disc.wsp", 0, 0);
  img->SetProp(PR_BLURSPAN, TPropValue::Int(50));
  img->SetProp(PR_BLURDELAY, TPropValue::Int(300));
  auto count_blurs = [&] {
    int n = 0;
    for (int i = 0; i < List().GetObjectCount(); ++i)
      if (auto* c = List().GetObject(i)->AsControl(); c && c->IsAfterimage())
        ++n;
    return n;
  };
  for (int i = 0; i < 3; ++i)
    Frame(List(), 20);
  EXPECT_EQ(count_blurs(), 0) << "a resting image leaves none";
  for (int i = 0; i < 3; ++i) {
    img->SetLeft(img->Left() + 2);
    Frame(List(), 20);
  }
  ASSERT_EQ(count_blurs(), 1) << "one at 60 ms";
  TNovaControl* blur = nullptr;
  for (int i = 0; i < List().GetObjectCount(); ++i)
    if (auto* c = List().GetObject(i)->AsControl(); c && c->IsAfterimage())
      blur = c;
  // Half the opacity (127), already one 20-ms frame into its 300-ms fade.
  EXPECT_EQ(static_cast<TNovaCustomImage*>(blur)->Alpha(), 127 - 8);
  EXPECT_EQ(blur->GetPriority(), img->GetPriority() - 1);
  for (int i = 0; i < 15; ++i) {
    img->SetLeft(img->Left() + 2);
    Frame(List(), 20);
  }
  // 360 ms of movement: afterimages every 60 ms (three 20-ms frames), each living 300 ms.
  EXPECT_EQ(count_blurs(), 5);
  img->FreeLater();
  Frame(List(), 0);
  List().DrawStep();
  for (int i = 0; i < 20; ++i)
    Frame(List(), 20);
  EXPECT_EQ(count_blurs(), 0);
}

TEST_F(ImageComponents, TileScrollStartsInsideTheFirstCell) {
  TWispFrame f = SolidFrame(64, 8, 0x000000, 100, false);
  for (int y = 0; y < 8; ++y)
    f.picture.color.SetRaw(54, y, 0xFFFFFF);
  WriteWisp("stripe.wsp", {std::move(f)});
  auto* tile = NewImage<TNovaTile>("t", "stripe.wsp", 0, 0);
  tile->SetWidth(160);
  tile->SetHeight(20);
  tile->SetProp(PR_SCROLLX, TPropValue::Int(-10));
  EXPECT_EQ(tile->GetProp(PR_WIDTH).i, 160) << "tiles never follow the zoom";
  EXPECT_TRUE(tile->GetProp(PR_REPEAT).f);
  List().DrawStep();
  EXPECT_EQ(At(0, 10), Rgb(255, 255, 255)) << "pattern column 54 at the left edge";
  EXPECT_EQ(At(64, 10), Rgb(255, 255, 255));
  EXPECT_EQ(At(1, 10), 0u);
}

TEST_F(ImageComponents, SpacedTileOfRegionsDrawsOnlyWhatShows) {
  WriteWisp("dots.wsp", {SolidFrame(8, 8, 0xFFFFFF, 100, false)});
  auto* tile = NewImage<TNovaTile>("t", "dots.wsp", -2000000000, 0);
  // Only the top-left quarter of the picture is visible.
  TWispItem* item = cache_.Get(this, "dots.wsp");
  item->Frame(0).visible_regions = {TRect{0, 0, 4, 4}};
  tile->SetWidth(INT32_MAX);
  tile->SetHeight(40);
  tile->SetProp(PR_DISTANCEX, TPropValue::Int(20));
  tile->SetProp(PR_DISTANCEY, TPropValue::Int(20));
  List().DrawStep();
  // Cells start every 20 pixels from -2000000000, which is a multiple of 20.
  EXPECT_EQ(At(3, 3), Rgb(255, 255, 255));
  EXPECT_EQ(At(4, 3), 0u);
  EXPECT_EQ(At(20, 23), Rgb(255, 255, 255));
  EXPECT_EQ(At(10, 3), 0u);
  cache_.Release(this, item);
}

// The kind part of an image's saved form, as each older layout wrote it.
struct TOpenImages : TNovaImages {
  using TNovaImages::SyncKind;
  using TNovaImages::TNovaImages;
};

TEST_F(ImageComponents, OlderSaveLayoutsOfImages) {
  struct Case {
    int version;
    int32_t zoom_y, blur_span;
    const char* idle;
  } const cases[] = {
      {100, 256, 0, ""},      // one int zoom and angle, no zoom Y, no blur, no idle handler
      {120, 768, 0, "idle"},  // zoom Y and the idle handler
      {141, 768, 50, "idle"}, // afterimages
      {143, 768, 50, "idle"}, // real zooms and angle, antialias
  };
  for (const Case& c : cases) {
    BinaryWriter w;
    w.I32(200); // alpha
    if (c.version < 143) {
      w.I32(512); // zoom X × 256
      w.I32(64);  // angle in 1/255 turns
    } else {
      w.Extended(2.0L);
      w.Extended(64 / 255.0L * 2 * std::numbers::pi_v<long double>);
      w.U8(1); // antialias
    }
    w.U8(1); // flip H
    w.U8(0); // flip V
    w.U8(1); // capture mask
    if (c.version >= 143)
      w.Extended(3.0L);
    else if (c.version > 103)
      w.I32(768);
    if (c.version > 139) {
      w.I32(50);  // blur span
      w.I32(300); // blur delay
    }
    w.I32(7);  // countdown
    w.I32(-1); // frame index
    w.I32(0);  // brightness
    w.U8(0);   // paused
    TNovaParser().SaveOps(w);
    w.U8(1);      // repeat
    w.U8(0);      // auto scrap
    w.String(""); // source
    w.String("end");
    if (c.version > 103)
      w.String("idle");
    const std::vector<uint8_t> bytes = w.Take();
    TOpenImages& img = *CreateComponent<TOpenImages>(&List());
    BinaryReader r(bytes, "image");
    TSerializer load(r, c.version);
    img.SyncKind(load);
    EXPECT_EQ(r.remaining(), 0u) << c.version;
    EXPECT_EQ(img.GetProp(PR_ALPHA).i, 200) << c.version;
    EXPECT_EQ(img.GetProp(PR_ZOOMX).i, 512) << c.version;
    EXPECT_EQ(img.GetProp(PR_ZOOMY).i, c.zoom_y) << c.version;
    EXPECT_NEAR(static_cast<double>(img.GetProp(PR_FLOATANGLE).r),
                64 / 255.0 * 2 * std::numbers::pi, 1e-9)
        << c.version;
    EXPECT_TRUE(img.GetProp(PR_CAPTUREMASK).f) << c.version;
    EXPECT_EQ(img.GetProp(PR_ANTIALIAS).f, c.version >= 143) << c.version;
    EXPECT_EQ(img.GetProp(PR_BLURSPAN).i, c.blur_span) << c.version;
    EXPECT_EQ(img.GetProp(PR_ONPLAYEND).s, "end") << c.version;
    EXPECT_EQ(img.GetProp(PR_ONIDLE).s, c.idle) << c.version;
    img.FreeLater();
  }
}

TEST_F(ImageComponents, SaveFormRestoresFramesAndSettings) {
  WriteWisp("three.wsp",
            {SolidFrame(4, 4, 0x010101, 50, false), SolidFrame(4, 4, 0x020202, 50, false),
             SolidFrame(6, 4, 0x030303, 50, false)});
  auto* img = NewImage("s", "three.wsp", 5, 6);
  img->SetProp(PR_ALPHA, TPropValue::Int(300));
  img->SetProp(PR_ZOOMY, TPropValue::Int(512));
  img->SetProp(PR_FLIPH, TPropValue::Flag(true));
  img->SetProp(PR_INDEX, TPropValue::Int(2));
  auto* tile = NewImage<TNovaTile>("t", "three.wsp", 0, 0);
  tile->SetProp(PR_SCROLLX, TPropValue::Int(-7));
  tile->SetProp(PR_DISTANCEY, TPropValue::Int(9));
  BinaryWriter w;
  List().SaveScene(w);
  const std::vector<uint8_t> bytes = w.Take();
  TNovaBaseList other(kW, kH);
  other.SetImageServices({&cache_, nullptr});
  BinaryReader r(bytes, "scene");
  other.LoadScene(r, 143);
  TNovaObject* s = other.FindByName("s");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->GetProp(PR_ALPHA).i, 300);
  EXPECT_EQ(s->GetProp(PR_ZOOMY).i, 512);
  EXPECT_TRUE(s->GetProp(PR_FLIPH).f);
  EXPECT_EQ(s->GetProp(PR_INDEX).i, 2);
  EXPECT_EQ(s->GetProp(PR_ORIGWIDTH).i, 6) << "the frame is shown again";
  TNovaObject* t = other.FindByName("t");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetKind(), LT_TILE);
  EXPECT_EQ(t->GetProp(PR_SCROLLX).i, -7);
  EXPECT_EQ(t->GetProp(PR_DISTANCEY).i, 9);
  EXPECT_EQ(t->GetProp(PR_SOURCE).s, "three.wsp");
}

} // namespace
} // namespace nova::test
