// SPDX-License-Identifier: MIT
// Creating a component in a scene that already holds n of them: its name is looked up through
// the scene's name index, so the n-th costs what the tenth does. Each iteration creates, names
// and destroys one, keeping the scene at n.
#include <benchmark/benchmark.h>

#include <string>

#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

// Default names: "object0" to "object<n-1>" are taken, the new one is "object<n>".
void BM_CreateComponent_DefaultName(benchmark::State& state) {
  TNovaBaseList list(640, 480);
  for (int64_t i = 0; i < state.range(0); ++i)
    CreateComponent<TNovaImage>(&list);
  for (auto _ : state) {
    TNovaObject* obj = CreateComponent<TNovaImage>(&list);
    benchmark::DoNotOptimize(obj);
    list.Destroy(obj);
  }
}
BENCHMARK(BM_CreateComponent_DefaultName)->Arg(10)->Arg(10000);

// Every page names its picture "bg": the namesake moves on to "bg_2", "bg_3" and so on.
void BM_CreateComponent_Namesake(benchmark::State& state) {
  TNovaBaseList list(640, 480);
  for (int64_t i = 0; i < state.range(0); ++i)
    CreateComponent<TNovaImage>(&list)->SetName("bg");
  for (auto _ : state) {
    TNovaObject* newest = list.FindByName("bg");
    CreateComponent<TNovaImage>(&list)->SetName("bg");
    list.Destroy(newest);
  }
}
BENCHMARK(BM_CreateComponent_Namesake)->Arg(10)->Arg(10000);

} // namespace
} // namespace nova

BENCHMARK_MAIN();
