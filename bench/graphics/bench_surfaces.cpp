// SPDX-License-Identifier: MIT
// Surface operations at screen sizes against memcpy, pixman and SDL2's software blits, all in
// this process. Every run counts destination pixels as items.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "graphics/dibx.h"

namespace nova {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kAlpha = 160;

struct TSize {
  int w, h;
  std::string Name() const { return std::to_string(w) + "x" + std::to_string(h); }
};

void Noise(TCustomDIBX& s, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      s.SetPixel(x, y, rng() & 0xFFFFFF);
}

// Raw buffers for the peers, filled with the same kind of noise.
struct TBuffer {
  std::vector<uint32_t> pixels;
  int w, h, bytesPerPixel;
  TBuffer(int w_, int h_, uint32_t seed, int bytesPerPixel_ = 4)
      : pixels((size_t(w_) * bytesPerPixel_ + 3) / 4 * h_), w(w_), h(h_),
        bytesPerPixel(bytesPerPixel_) {
    std::mt19937 rng(seed);
    for (uint32_t& p : pixels)
      p = rng();
  }
  int Stride() const { return (w * bytesPerPixel + 3) / 4 * 4; }
};

struct TPixmanImage {
  pixman_image_t* image;
  TPixmanImage(pixman_format_code_t format, TBuffer& b)
      : image(pixman_image_create_bits(format, b.w, b.h, b.pixels.data(), b.Stride())) {}
  ~TPixmanImage() { pixman_image_unref(image); }
};

struct TSdlSurface {
  SDL_Surface* surface;
  TSdlSurface(TBuffer& b, uint32_t format)
      : surface(SDL_CreateRGBSurfaceWithFormatFrom(b.pixels.data(), b.w, b.h, 32, b.Stride(),
                                                   format)) {}
  ~TSdlSurface() { SDL_FreeSurface(surface); }
};

void Count(benchmark::State& state, int64_t pixels) {
  state.SetItemsProcessed(state.iterations() * pixels);
}

using TBench = std::function<void(benchmark::State&)>;

void Register(const std::string& name, TBench fn) {
  benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMicrosecond);
}

void MemcpyPeer(benchmark::State& state, TSize sz, int bytesPerPixel) {
  std::vector<uint8_t> a(size_t(sz.w) * sz.h * bytesPerPixel), b(a.size(), 1);
  const size_t row = size_t(sz.w) * bytesPerPixel;
  for (auto _ : state) {
    for (int y = 0; y < sz.h; ++y)
      std::memcpy(a.data() + y * row, b.data() + y * row, row);
    benchmark::ClobberMemory();
  }
  Count(state, int64_t(sz.w) * sz.h);
}

// Our operation on fresh 32-bit (or 16-bit) surfaces of the size.
void Ours(benchmark::State& state, TSize sz, int bits,
          const std::function<void(TDIBX& dst, TDIBX& src, TDIBX& mask)>& op, int64_t pixels = 0) {
  TDIBX dst(sz.w, sz.h, bits), src(sz.w, sz.h, bits), mask(sz.w, sz.h, 8);
  Noise(dst, 1);
  Noise(src, 2);
  Noise(mask, 3);
  for (auto _ : state) {
    op(dst, src, mask);
    benchmark::ClobberMemory();
  }
  Count(state, pixels ? pixels : int64_t(sz.w) * sz.h);
}

// Times pixman OVER of src through mask onto dst; takes over the mask.
void OverLoop(benchmark::State& state, pixman_image_t* src, pixman_image_t* mask,
              pixman_image_t* dst, TSize sz) {
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, sz.w, sz.h);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
  Count(state, int64_t(sz.w) * sz.h);
}

void PixmanOver(benchmark::State& state, TSize sz, pixman_format_code_t format, bool a8Mask) {
  const int bpp = PIXMAN_FORMAT_BPP(format) / 8;
  TBuffer dstB(sz.w, sz.h, 1, bpp), srcB(sz.w, sz.h, 2, bpp), maskB(sz.w, sz.h, 3, 1);
  TPixmanImage dst(format, dstB), src(format, srcB);
  pixman_image_t* mask;
  if (a8Mask) {
    mask = pixman_image_create_bits(PIXMAN_a8, sz.w, sz.h, maskB.pixels.data(), maskB.Stride());
  } else {
    const pixman_color_t c{0, 0, 0, uint16_t(kAlpha * 257)};
    mask = pixman_image_create_solid_fill(&c);
  }
  OverLoop(state, src.image, mask, dst.image, sz);
}

// pixman OVER of a source through a nearest-filter transform (destination to source).
void PixmanTransform(benchmark::State& state, TSize sz, TSize srcSize,
                     const pixman_transform_t& transform) {
  TBuffer dstB(sz.w, sz.h, 1), srcB(srcSize.w, srcSize.h, 2);
  TPixmanImage dst(PIXMAN_x8r8g8b8, dstB), src(PIXMAN_x8r8g8b8, srcB);
  pixman_image_set_transform(src.image, &transform);
  pixman_image_set_filter(src.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
  const pixman_color_t c{0, 0, 0, uint16_t(kAlpha * 257)};
  pixman_image_t* mask = pixman_image_create_solid_fill(&c);
  OverLoop(state, src.image, mask, dst.image, sz);
}

enum class TSdlBlend { AlphaMod, PerPixel, Add, Scaled2x };

void SdlBlit(benchmark::State& state, TSize sz, TSdlBlend blend, uint32_t format) {
  TBuffer dstB(sz.w, sz.h, 1), srcB(sz.w, sz.h, 2);
  TSdlSurface dst(dstB, SDL_PIXELFORMAT_XRGB8888);
  const bool sixteen = format == SDL_PIXELFORMAT_RGB565;
  SDL_Surface* d =
      sixteen ? SDL_CreateRGBSurfaceWithFormat(0, sz.w, sz.h, 16, format) : dst.surface;
  SDL_Surface* s = nullptr;
  if (blend == TSdlBlend::Scaled2x) {
    s = SDL_CreateRGBSurfaceWithFormat(0, sz.w / 2, sz.h / 2, 32, SDL_PIXELFORMAT_XRGB8888);
  } else if (sixteen) {
    s = SDL_CreateRGBSurfaceWithFormat(0, sz.w, sz.h, 16, format);
  } else {
    s = SDL_CreateRGBSurfaceWithFormat(0, sz.w, sz.h, 32,
                                       blend == TSdlBlend::PerPixel ? SDL_PIXELFORMAT_ARGB8888
                                                                    : SDL_PIXELFORMAT_XRGB8888);
    std::memcpy(s->pixels, srcB.pixels.data(), size_t(sz.w) * sz.h * 4);
  }
  SDL_SetSurfaceBlendMode(s, blend == TSdlBlend::Add ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
  if (blend != TSdlBlend::PerPixel)
    SDL_SetSurfaceAlphaMod(s, kAlpha);
  SDL_Rect full{0, 0, sz.w, sz.h};
  for (auto _ : state) {
    if (blend == TSdlBlend::Scaled2x)
      SDL_BlitScaled(s, nullptr, d, &full);
    else
      SDL_BlitSurface(s, nullptr, d, nullptr);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(s);
  if (sixteen)
    SDL_FreeSurface(d);
  Count(state, int64_t(sz.w) * sz.h);
}

// SDL's software renderer turning a texture by 30 degrees (its only rotating blit).
void SdlRotate(benchmark::State& state, TSize sz) {
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, sz.w, sz.h, 32, SDL_PIXELFORMAT_XRGB8888);
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
  SDL_Surface* img = SDL_CreateRGBSurfaceWithFormat(0, sz.w, sz.h, 32, SDL_PIXELFORMAT_XRGB8888);
  SDL_Texture* tex = SDL_CreateTextureFromSurface(renderer, img);
  SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
  SDL_SetTextureAlphaMod(tex, kAlpha);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_Rect full{0, 0, sz.w, sz.h};
  for (auto _ : state) {
    SDL_RenderCopyEx(renderer, tex, nullptr, &full, 30.0, nullptr, SDL_FLIP_NONE);
    SDL_RenderFlush(renderer);
    benchmark::ClobberMemory();
  }
  SDL_DestroyTexture(tex);
  SDL_FreeSurface(img);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(target);
  Count(state, int64_t(sz.w) * sz.h);
}

pixman_transform_t Scale(double s) {
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(s), pixman_double_to_fixed(s));
  return t;
}

// Destination to source: turn by -30 degrees about the centre.
pixman_transform_t Rotate30About(TSize sz) {
  pixman_transform_t t;
  const double a = -30.0 * kPi / 180.0;
  pixman_transform_init_translate(&t, pixman_int_to_fixed(-sz.w / 2),
                                  pixman_int_to_fixed(-sz.h / 2));
  pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(a)),
                          pixman_double_to_fixed(std::sin(a)));
  pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(sz.w / 2),
                             pixman_int_to_fixed(sz.h / 2));
  return t;
}

void RegisterAll() {
  for (const TSize sz : {TSize{1280, 720}, TSize{640, 480}}) {
    const std::string n = "_" + sz.Name();
    const TRect all{0, 0, sz.w, sz.h};
    Register("BM_Draw" + n, [=](auto& st) {
      Ours(st, sz, 32,
           [&](TDIBX& d, TDIBX& s, TDIBX&) { d.Draw(0, 0, FlipNone, TKeyMode::Ignore, all, s); });
    });
    Register("BM_Draw" + n + "/vs_memcpy", [=](auto& st) { MemcpyPeer(st, sz, 4); });

    Register("BM_DrawAlpha" + n, [=](auto& st) {
      Ours(st, sz, 32, [&](TDIBX& d, TDIBX& s, TDIBX&) {
        d.DrawAlpha(0, 0, kAlpha, FlipNone, TKeyMode::Ignore, all, s);
      });
    });
    Register("BM_DrawAlpha" + n + "/sse2", [=](auto& st) {
      const TDibxKernels prev = SetDibxKernels(TDibxKernels::Sse2);
      Ours(st, sz, 32, [&](TDIBX& d, TDIBX& s, TDIBX&) {
        d.DrawAlpha(0, 0, kAlpha, FlipNone, TKeyMode::Ignore, all, s);
      });
      SetDibxKernels(prev);
    });
    Register("BM_DrawAlpha" + n + "/vs_memcpy", [=](auto& st) { MemcpyPeer(st, sz, 4); });
    Register("BM_DrawAlpha" + n + "/vs_pixman",
             [=](auto& st) { PixmanOver(st, sz, PIXMAN_x8r8g8b8, false); });
    Register("BM_DrawAlpha" + n + "/vs_sdl2",
             [=](auto& st) { SdlBlit(st, sz, TSdlBlend::AlphaMod, SDL_PIXELFORMAT_XRGB8888); });

    Register("BM_DrawMaskAlpha" + n, [=](auto& st) {
      Ours(st, sz, 32, [&](TDIBX& d, TDIBX& s, TDIBX& m) {
        d.DrawMaskAlpha(0, 0, kAlpha, m, FlipNone, all, s);
      });
    });
    Register("BM_DrawMaskAlpha" + n + "/vs_pixman",
             [=](auto& st) { PixmanOver(st, sz, PIXMAN_x8r8g8b8, true); });
    Register("BM_DrawMaskAlpha" + n + "/vs_sdl2",
             [=](auto& st) { SdlBlit(st, sz, TSdlBlend::PerPixel, SDL_PIXELFORMAT_ARGB8888); });

    Register("BM_DrawAdd" + n, [=](auto& st) {
      Ours(st, sz, 32, [&](TDIBX& d, TDIBX& s, TDIBX&) {
        d.DrawAdd(0, 0, kAlpha, FlipNone, TKeyMode::Ignore, all, s);
      });
    });
    Register("BM_DrawAdd" + n + "/vs_memcpy", [=](auto& st) { MemcpyPeer(st, sz, 4); });
    Register("BM_DrawAdd" + n + "/vs_sdl2",
             [=](auto& st) { SdlBlit(st, sz, TSdlBlend::Add, SDL_PIXELFORMAT_XRGB8888); });

    Register("BM_StretchDrawAlpha2x" + n, [=](auto& st) {
      Ours(st, sz, 32, [&](TDIBX& d, TDIBX& s, TDIBX&) {
        d.StretchDrawAlpha(all, s, kAlpha, FlipNone, TKeyMode::Ignore,
                           TRect{0, 0, sz.w / 2, sz.h / 2});
      });
    });
    Register("BM_StretchDrawAlpha2x" + n + "/vs_pixman", [=](auto& st) {
      PixmanTransform(st, sz, TSize{sz.w / 2, sz.h / 2}, Scale(0.5));
    });
    Register("BM_StretchDrawAlpha2x" + n + "/vs_sdl2",
             [=](auto& st) { SdlBlit(st, sz, TSdlBlend::Scaled2x, SDL_PIXELFORMAT_XRGB8888); });

    // Turning the whole picture about its centre covers the whole destination.
    Register("BM_DrawRotate30" + n, [=](auto& st) {
      Ours(st, sz, 32, [&](TDIBX& d, TDIBX& s, TDIBX&) {
        d.DrawRotate(sz.w / 2, sz.h / 2, kAlpha, TKeyMode::Ignore, FlipNone, 30.0 * kPi / 180.0,
                     sz.h / 2, sz.w / 2, all, s, 1.0, 1.0);
      });
    });
    Register("BM_DrawRotate30" + n + "/vs_pixman",
             [=](auto& st) { PixmanTransform(st, sz, sz, Rotate30About(sz)); });
    Register("BM_DrawRotate30" + n + "/vs_sdl2", [=](auto& st) { SdlRotate(st, sz); });

    Register("BM_DrawAlpha16" + n, [=](auto& st) {
      Ours(st, sz, 16, [&](TDIBX& d, TDIBX& s, TDIBX&) {
        d.DrawAlpha(0, 0, kAlpha, FlipNone, TKeyMode::Ignore, all, s);
      });
    });
    Register("BM_DrawAlpha16" + n + "/vs_pixman",
             [=](auto& st) { PixmanOver(st, sz, PIXMAN_r5g6b5, false); });
    Register("BM_DrawAlpha16" + n + "/vs_sdl2",
             [=](auto& st) { SdlBlit(st, sz, TSdlBlend::AlphaMod, SDL_PIXELFORMAT_RGB565); });
  }
}

} // namespace
} // namespace nova

int main(int argc, char** argv) {
  nova::RegisterAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
