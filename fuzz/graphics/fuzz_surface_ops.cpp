// SPDX-License-Identifier: MIT
// Random sequences of drawing operations with random arguments over small surfaces of random
// formats (mismatched sources and masks included), plus decoding of the remaining bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "base/nova_error.h"
#include "graphics/dibx.h"
#include "graphics/dibx_wave.h"

namespace {

constexpr int kBitCounts[] = {1, 2, 4, 8, 15, 16, 24, 32};

int Bits(FuzzedDataProvider& in) { return in.PickValueInArray(kBitCounts); }

nova::TRect Rect(FuzzedDataProvider& in) {
  return nova::TRect{in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>(),
                     in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>()};
}

// Mostly small coordinates, sometimes extreme ones.
int Coord(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange(-40, 80) : in.ConsumeIntegral<int32_t>();
}

nova::TFlip Flip(FuzzedDataProvider& in) {
  return static_cast<nova::TFlip>(in.ConsumeIntegralInRange(0, 3));
}

nova::TKeyMode Key(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? nova::TKeyMode::Use : nova::TKeyMode::Ignore;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  FuzzedDataProvider in(data, size);
  SetDibxKernels(static_cast<TDibxKernels>(in.ConsumeIntegralInRange(0, 2)));
  const int dstBits = Bits(in);
  TDIBX dst(in.ConsumeIntegralInRange(0, 40), in.ConsumeIntegralInRange(0, 30), dstBits);
  TDIBX src(in.ConsumeIntegralInRange(0, 40), in.ConsumeIntegralInRange(0, 30),
            in.ConsumeBool() ? dstBits : Bits(in));
  TDIBX mask(in.ConsumeIntegralInRange(0, 40), in.ConsumeIntegralInRange(0, 30),
             in.ConsumeBool() ? 8 : Bits(in));
  TDIBX glyph(in.ConsumeIntegralInRange(0, 64), in.ConsumeIntegralInRange(0, 64),
              in.ConsumeBool() ? 1 : 2);
  TDIBXWave wave(dst);
  for (int& o : wave.Offsets())
    o = in.ConsumeIntegralInRange(-50, 50);
  wave.SetFirstRow(in.ConsumeIntegralInRange(-5, 5));
  src.SetTransparentColor(in.ConsumeIntegral<int32_t>());
  TPixel table[256];
  for (TPixel& t : table)
    t = 0x12345678u * (&t - table);

  for (int step = 0; step < 24 && in.remaining_bytes() > 0; ++step) {
    TCustomDIBX& target = in.ConsumeBool() ? static_cast<TCustomDIBX&>(dst) : wave;
    const int x = Coord(in), y = Coord(in);
    const int alpha = in.ConsumeIntegralInRange(-10, 600);
    const double angle = in.ConsumeFloatingPoint<double>();
    const double zx = in.ConsumeFloatingPointInRange(-1.0, 8.0);
    const double zy = in.ConsumeFloatingPointInRange(-1.0, 8.0);
    const TPixel color = in.ConsumeIntegral<uint32_t>();
    switch (in.ConsumeIntegralInRange(0, 33)) {
    case 0:
      target.Draw(x, y, Flip(in), Key(in), Rect(in), src);
      break;
    case 1:
      target.DrawMask(x, y, mask, Flip(in), Rect(in), src);
      break;
    case 2:
      target.DrawAlpha(x, y, alpha, Flip(in), Key(in), Rect(in), src);
      break;
    case 3:
      target.DrawMaskAlpha(x, y, alpha, mask, Flip(in), Rect(in), src);
      break;
    case 4:
      target.DrawAdd(x, y, alpha, Flip(in), Key(in), Rect(in), src);
      break;
    case 5:
      target.DrawMaskAdd(x, y, alpha, mask, Flip(in), Rect(in), src);
      break;
    case 6:
      target.FillRect(Rect(in), color);
      break;
    case 7:
      target.FillRectAlpha(Rect(in), color, alpha);
      break;
    case 8:
      target.FillRectAdd(Rect(in), color);
      break;
    case 9:
      target.FillRectSub(Rect(in), color);
      break;
    case 10:
      target.FrameRectAlpha(Rect(in), Coord(in), alpha, color);
      break;
    case 11:
      target.StretchDrawAlpha(Rect(in), src, alpha, Flip(in), Key(in), Rect(in));
      break;
    case 12:
      target.StretchDrawMaskAdd(Rect(in), src, alpha, mask, Flip(in), Rect(in));
      break;
    case 13:
      target.DrawRotate(x, y, alpha, Key(in), Flip(in), angle, Coord(in), Coord(in), Rect(in), src,
                        zy, zx);
      break;
    case 14:
      target.DrawRotateMask(x, y, alpha, mask, Flip(in), angle, Coord(in), Coord(in), Rect(in), src,
                            zy, zx);
      break;
    case 15:
      target.DrawGlyphMono(x, y, Coord(in), alpha, Flip(in), color, Rect(in), glyph);
      break;
    case 16: {
      const TPixel inks[3] = {color, ~color, color >> 3};
      target.DrawGlyphLayered(x, y, Coord(in), alpha, Flip(in), inks, Rect(in), glyph);
      break;
    }
    case 17:
      target.TileDrawMaskAlpha(Rect(in), Coord(in), y, x, alpha, mask, Flip(in), Rect(in), src,
                               Coord(in));
      break;
    case 18:
      target.TileStretchDraw(Rect(in), Coord(in), y, x, alpha, zy, zx, Flip(in), Key(in), Rect(in),
                             src, Coord(in));
      break;
    case 19:
      target.TileFill(Rect(in), src, Flip(in), y, x);
      break;
    case 20:
      target.FrameTile(Rect(in), Coord(in), y, x, Flip(in), src);
      break;
    case 21:
      target.TileFillZoom(Rect(in), src, alpha, Flip(in), Key(in), y, x, zy, zx);
      break;
    case 22:
      target.TileFillZoomMask(Rect(in), src, alpha, Flip(in), mask, y, x, zy, zx);
      break;
    case 23:
      target.DrawNibble(x, y, std::span<const TPixel, 16>(table, 16), alpha, Flip(in), Rect(in),
                        src);
      break;
    case 24:
      target.DrawPaletteAdd(x, y, table, alpha, Flip(in), Coord(in), Rect(in), src);
      break;
    case 25:
      target.StretchDrawPaletteAdd(Rect(in), table, alpha, Flip(in), Coord(in), Rect(in), src);
      break;
    case 26:
      target.DrawColorMask(x, y, alpha, color, Flip(in), Rect(in), mask);
      break;
    case 27:
      target.AddClipRect(Rect(in));
      break;
    case 28:
      target.ResetClip();
      break;
    case 29:
      target.Assign(src);
      break;
    case 30:
      src.SetSize(in.ConsumeIntegralInRange(0, 40), in.ConsumeIntegralInRange(0, 30), Bits(in));
      break;
    case 31:
      dst.Release();
      break;
    case 32:
      target.TileDrawAdd(Rect(in), Coord(in), y, x, alpha, Flip(in), Key(in), Rect(in), src,
                         Coord(in));
      break;
    default: {
      const std::vector<uint8_t> rest = in.ConsumeRemainingBytes<uint8_t>();
      try {
        dst.LoadFromStream(rest, "fuzz");
      } catch (const ENovaError&) {
      }
      break;
    }
    }
  }
  SetDibxKernels(BestDibxKernels());
  return 0;
}
