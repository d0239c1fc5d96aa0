// SPDX-License-Identifier: MIT
// Reading and writing component properties by id, as scripts do, on a box and on an image (a
// class three levels below the control, so the rows of several classes are searched), against
// the peer: the same work through the classes' own accessors.
#include <benchmark/benchmark.h>

#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

template <class T> T* Make(TNovaBaseList& list) {
  auto* c = CreateComponent<T>(&list);
  c->SetParent(list.Front());
  c->SetBounds(10, 10, 40, 30);
  return c;
}

// Geometry, a picture property and a kind's own property: each read and written once.
void BM_PropRoundTrip_Box(benchmark::State& state) {
  TNovaBaseList list(640, 480);
  TNovaBox* box = Make<TNovaBox>(list);
  int32_t i = 0;
  for (auto _ : state) {
    box->SetProp(PR_LEFT, TPropValue::Int(i & 255));
    box->SetProp(PR_ALPHA, TPropValue::Int(i & 127));
    box->SetProp(PR_BLURDELAY, TPropValue::Int(i));
    benchmark::DoNotOptimize(box->GetProp(PR_LEFT).i + box->GetProp(PR_ALPHA).i +
                             box->GetProp(PR_BLURDELAY).i);
    ++i;
  }
}
BENCHMARK(BM_PropRoundTrip_Box);

void BM_PropRoundTrip_Box_vs_direct(benchmark::State& state) {
  TNovaBaseList list(640, 480);
  TNovaBox* box = Make<TNovaBox>(list);
  int32_t i = 0, delay = 0;
  for (auto _ : state) {
    box->SetLeft(i & 255);
    box->SetAlpha(i & 127);
    delay = i;
    benchmark::DoNotOptimize(box->Left() + box->Alpha() + delay);
    ++i;
  }
}
BENCHMARK(BM_PropRoundTrip_Box_vs_direct)->Name("BM_PropRoundTrip_Box/vs_direct");

// Properties kept by the image, the frame picture, the picture and the control.
void BM_PropRead_Images(benchmark::State& state) {
  TNovaBaseList list(640, 480);
  TNovaImages* images = Make<TNovaImages>(list);
  for (auto _ : state)
    benchmark::DoNotOptimize(images->GetProp(PR_AUTOSCRAP).f + images->GetProp(PR_PAUSED).f +
                             images->GetProp(PR_FLOATZOOMX).r + images->GetProp(PR_TOP).i);
}
BENCHMARK(BM_PropRead_Images);

void BM_PropRead_Images_vs_direct(benchmark::State& state) {
  TNovaBaseList list(640, 480);
  TNovaImages* images = Make<TNovaImages>(list);
  for (auto _ : state)
    benchmark::DoNotOptimize(images->IsPaused() + images->AniPaused() + images->FloatZoomX() +
                             images->Top());
}
BENCHMARK(BM_PropRead_Images_vs_direct)->Name("BM_PropRead_Images/vs_direct");

} // namespace
} // namespace nova

BENCHMARK_MAIN();
