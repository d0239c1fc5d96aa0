// SPDX-License-Identifier: MIT
// Film files from arbitrary bytes: reading fails cleanly or gives a film that writes and reads
// again in its own version.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/nova_error.h"
#include "graphics/film_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nova;
  TFilmFile film;
  try {
    film = ReadFilm({data, size}, "fuzz\\film.nmt");
  } catch (const ENovaError&) {
    return 0;
  }
  // What was read is well formed: it must survive its own writer.
  try {
    (void)ReadFilm(WriteFilm(film), "fuzz\\film.nmt");
    (void)FilmToText(film);
  } catch (const ENovaError&) {
    std::abort();
  }
  return 0;
}
