// SPDX-License-Identifier: MIT
// Small outgoing and incoming pictures for the transition tests, and a wipe run over them.
#pragma once
#include <cstdint>
#include <memory>

#include "graphics/dibx.h"
#include "graphics/wipe_custom.h"

namespace nova::test {

constexpr int kWipeW = 48, kWipeH = 36;

// Gradients in opposite directions, so that no pixel of one equals the other's.
inline TDIBX OldPicture(int w = kWipeW, int h = kWipeH, int bits = 32) {
  TDIBX p(w, h, bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.SetPixel(x, y, p.ColorToPixel(((x * 5) & 0xFF) | ((y * 7) & 0xFF) << 8 | 200 << 16));
  return p;
}

inline TDIBX NewPicture(int w = kWipeW, int h = kWipeH, int bits = 32) {
  TDIBX p(w, h, bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.SetPixel(
          x, y,
          p.ColorToPixel((250 - (x * 4) % 240) | (30 + y * 3) << 8 | (60 + (x + y) % 50) << 16));
  return p;
}

// A grey mask picture smaller than the screen, so that it repeats: level (x * 23 + y * 11) % 256.
inline TDIBX GreyMaskPicture() {
  TDIBX p(10, 7, 32);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x)
      p.SetPixel(x, y, p.ColorToPixel(((x * 23 + y * 11) % 256) * 0x010101));
  return p;
}
inline int GreyMaskLevel(int x, int y) { return ((x % 10) * 23 + (y % 7) * 11) % 256; }

// The three surfaces of one wipe and the wipe, created, parameterised and prepared.
struct TWipeRun {
  TDIBX screen, old_picture, new_picture, mask_picture;
  std::unique_ptr<TCustomWipe> wipe;

  TWipeRun(int kind, int duration, bool reverse = false, int p0 = INT32_MIN, int p1 = INT32_MIN,
           int w = kWipeW, int h = kWipeH, int bits = 32)
      : screen(w, h, bits), old_picture(OldPicture(w, h, bits)),
        new_picture(NewPicture(w, h, bits)), mask_picture(GreyMaskPicture()) {
    screen.Clear(0);
    wipe = CreateWipe(kind, screen, old_picture, new_picture);
    if (!wipe)
      return;
    wipe->duration = duration;
    wipe->SetReverse(reverse);
    if (p0 != INT32_MIN)
      wipe->SetParam(0, p0);
    if (p1 != INT32_MIN)
      wipe->SetParam(1, p1);
    wipe->SetMaskName("mask.png");
    wipe->SetPictureSource([this](const std::string& name) -> TCustomDIBX* {
      return name == "mask.png" ? &mask_picture : nullptr;
    });
    wipe->Prepare();
  }

  // Steps to the elapsed time; true when the wipe reported completion.
  bool StepTo(int elapsed) {
    wipe->elapsed = elapsed;
    return wipe->Step();
  }
};

} // namespace nova::test
