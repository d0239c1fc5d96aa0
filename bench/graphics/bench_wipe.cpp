// SPDX-License-Identifier: MIT
// One step of the heavier transitions at 1280 x 720, 32 bits, next to one DrawAlpha of the
// whole screen (the floor for a step that reads two pictures and writes one). Steps alternate
// between two elapsed times so that the mask kinds really rebuild their mask each time.
#include <benchmark/benchmark.h>

#include <random>

#include "graphics/dibx.h"
#include "graphics/wipe_custom.h"

namespace nova {
namespace {

constexpr int kW = 1280, kH = 720, kDuration = 1000;

void Noise(TCustomDIBX& s, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      s.SetPixel(x, y, rng() & 0xFFFFFF);
}

struct TScreens {
  TDIBX screen{kW, kH, 32}, old_picture{kW, kH, 32}, new_picture{kW, kH, 32};
  TDIBX mask_picture{256, 256, 32};
  TScreens() {
    Noise(old_picture, 1);
    Noise(new_picture, 2);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        mask_picture.SetPixel(x, y, ((x + y) / 2) * 0x010101);
  }
};

void BM_DrawAlpha_1280x720(benchmark::State& state) {
  TScreens s;
  for (auto _ : state) {
    s.screen.DrawAlpha(0, 0, 160, FlipNone, TKeyMode::Ignore, s.new_picture.Bounds(),
                       s.new_picture);
    benchmark::DoNotOptimize(s.screen.PixelAddress(0, 0));
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_DrawAlpha_1280x720)->Unit(benchmark::kMillisecond);

void BM_WipeStep_1280x720(benchmark::State& state) {
  TScreens s;
  const int kind = static_cast<int>(state.range(0));
  auto wipe = CreateWipe(kind, s.screen, s.old_picture, s.new_picture);
  wipe->duration = kDuration;
  wipe->SetMaskName("mask");
  wipe->SetPictureSource([&s](const std::string&) { return &s.mask_picture; });
  wipe->Prepare();
  wipe->elapsed = 400;
  wipe->Step(); // the blurs make their copies at the first step
  int flip = 0;
  for (auto _ : state) {
    wipe->elapsed = 400 + (flip ^= 1) * 100;
    wipe->Step();
    benchmark::DoNotOptimize(s.screen.PixelAddress(0, 0));
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_WipeStep_1280x720)
    ->ArgName("kind")
    ->Arg(WP_FADE)
    ->Arg(WP_MASKFADE)
    ->Arg(WP_BLINDH)
    ->Arg(WP_DITHER)
    ->Arg(WP_SPOT)
    ->Arg(WP_RIPPLE)
    ->Arg(WP_BLURWHITE)
    ->Arg(WP_CRACK)
    ->Arg(WP_CLOCKHAND)
    ->Arg(WP_CIRCLE)
    ->Arg(WP_MASKWHITE)
    ->Arg(WP_MOSAIC)
    ->Arg(WP_TWISTH)
    ->Arg(WP_SMALL)
    ->Unit(benchmark::kMillisecond);

// The blur kinds' first step, which blurs both pictures once.
void BM_WipeBlurFirstStep_1280x720(benchmark::State& state) {
  TScreens s;
  for (auto _ : state) {
    auto wipe = CreateWipe(WP_BLURWHITE, s.screen, s.old_picture, s.new_picture);
    wipe->duration = kDuration;
    wipe->Prepare();
    wipe->elapsed = 400;
    wipe->Step();
  }
}
BENCHMARK(BM_WipeBlurFirstStep_1280x720)->Unit(benchmark::kMillisecond);

// The mask kinds' own share of a step: building the mask alone.
void BM_WipeBuildMask_1280x720(benchmark::State& state) {
  TScreens s;
  auto wipe = CreateWipe(static_cast<int>(state.range(0)), s.screen, s.old_picture, s.new_picture);
  wipe->duration = kDuration;
  wipe->SetMaskName("mask");
  wipe->SetPictureSource([&s](const std::string&) { return &s.mask_picture; });
  wipe->Prepare();
  auto* mask = dynamic_cast<TWipeMask*>(wipe.get());
  int flip = 0;
  for (auto _ : state) {
    wipe->elapsed = 400 + (flip ^= 1) * 100;
    benchmark::DoNotOptimize(mask->BuildMask());
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_WipeBuildMask_1280x720)
    ->ArgName("kind")
    ->Arg(WP_MASKFADE)
    ->Arg(WP_BLINDH)
    ->Arg(WP_DITHER)
    ->Arg(WP_CLOCKHAND)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace nova
BENCHMARK_MAIN();
