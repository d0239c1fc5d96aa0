// SPDX-License-Identifier: MIT
// A scene of pictures compared with a committed reference (NOVA_UPDATE_GOLDEN=1 rewrites it;
// look at it before committing).
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "golden_compare.h"
#include "image_fixture.h"

namespace nova::test {
namespace {

// A 16 × 16 checker of two colours.
TWispFrame Checker(uint32_t a, uint32_t b) {
  TWispFrame f = SolidFrame(16, 16, a, 100, false);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if ((x < 8) != (y < 8))
        f.picture.color.SetRaw(x, y, b);
  return f;
}

class ImageGolden : public ImageScene {};

// Scrolling tiled background, an animated sprite with afterimages, a rotated and zoomed picture
// about its anchor, an additive and a half-transparent picture.
TEST_F(ImageGolden, PicturesOverAScrollingTile) {
  WriteWisp("checker.wsp", {Checker(0x203040, 0x304860)});
  WriteWisp("sprite.wsp",
            {SolidFrame(24, 24, 0xF0C020, 40, true), SolidFrame(24, 24, 0x20C0F0, 40, true)});
  TWispFrame bar = SolidFrame(40, 12, 0xE04040, 100, false);
  for (int x = 0; x < 12; ++x)
    bar.picture.color.SetRaw(x, 5, 0xFFFFFF);
  WriteWisp("bar.wsp", {std::move(bar)});
  WriteWisp("glow.wsp", {SolidFrame(30, 30, 0x606060, 100, true)});

  auto* bg = NewImage<TNovaTile>("bg", "checker.wsp", 0, 0);
  bg->SetWidth(kW);
  bg->SetHeight(kH);
  bg->SetProp(PR_PRIORITY, TPropValue::Int(-10));
  auto* sprite = NewImage("sprite", "sprite.wsp", 10, 70);
  sprite->SetProp(PR_REPEAT, TPropValue::Flag(true));
  sprite->SetProp(PR_BLURSPAN, TPropValue::Int(32));
  sprite->SetProp(PR_BLURDELAY, TPropValue::Int(160));
  auto* bar_img = NewImage("bar", "bar.wsp", 110, 30);
  bar_img->SetProp(PR_OFFSETX, TPropValue::Int(6));
  bar_img->SetProp(PR_OFFSETY, TPropValue::Int(6));
  bar_img->SetProp(PR_ZOOMX, TPropValue::Int(384));
  bar_img->SetProp(PR_ANGLE, TPropValue::Int(40));
  auto* glow = NewImage("glow", "glow.wsp", 20, 10);
  glow->SetProp(PR_ALPHA, TPropValue::Int(256 + 160));
  auto* half = NewImage("half", "bar.wsp", 60, 12);
  half->SetProp(PR_ALPHA, TPropValue::Int(128));
  half->SetProp(PR_FLIPH, TPropValue::Flag(true));
  for (int i = 0; i < 10; ++i) {
    bg->SetProp(PR_SCROLLX, TPropValue::Int(-i * 3));
    bg->SetProp(PR_SCROLLY, TPropValue::Int(i * 2));
    sprite->SetLeft(sprite->Left() + 6);
    Frame(List(), 16);
    List().DrawStep();
    List().ClearDirty();
  }
  CompareWithGolden(screen_, "images_scene");
}

} // namespace
} // namespace nova::test
