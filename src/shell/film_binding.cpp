// SPDX-License-Identifier: MIT
#include "shell/film_binding.h"

#include "scene/films/film_players.h"
#include "scene/nova_base_list.h"

namespace nova {

void InstallFilmLoaders(TNovaBaseList& scene, TVrFileManager& files, TWispCollection* cache) {
  TMediaServices media = scene.Services().media;
  media.films = [&files, cache](const std::string& file, int32_t volume) {
    return LoadCinemaFilm(files, cache, file, volume);
  };
  scene.SetMediaServices(std::move(media));
  scene.SetMotionFilmLoader([&files, cache](TNovaControl& control, const std::string& file) {
    return LoadMotionFilm(files, cache, control, file);
  });
}

} // namespace nova
