// SPDX-License-Identifier: MIT
// Films from arbitrary bytes played in a scene: damaged chains, spans and lengths must never
// hang, overflow or leave a component behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/nova_error.h"
#include "scene/films/film_manager.h"
#include "scene/nova_base_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  TNovaBaseList scene(64, 48);
  {
    TFilmManager film;
    try {
      film.LoadFromBytes({data, size}, "film.nmt");
    } catch (const ENovaError&) {
      return 0;
    }
    film.SetScene(&scene);
    film.Start();
    const int32_t length = film.Length();
    const int32_t frames[] = {0, 1, length / 2, length - 1, length, INT32_MAX, 0};
    for (int32_t f : frames) {
      film.SetFrame(f);
      scene.UpdateStep();
    }
  }
  scene.UpdateStep();
  // Everything the film made went with it.
  for (int i = 0; i < scene.GetObjectCount(); ++i)
    if (scene.GetObject(i)->IsSystem())
      std::abort();
  return 0;
}
