// SPDX-License-Identifier: MIT
// Films as the cinema and the motions of controls see them, and the loaders that make them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "scene/kinds/media_services.h"
#include "scene/nova_motion.h"

namespace nova {

class TFilmManager;
class TNovaControl;
class TVrFileManager;
class TWispCollection;

// A film played by a cinema: in the cinema's private scene, or inside the main scene under
// the cinema.
class TCinemaFilm final : public ICinemaFilm {
public:
  explicit TCinemaFilm(std::unique_ptr<TFilmManager> film);
  ~TCinemaFilm() override;
  int FrameCount() const override;
  int LoopStart() const override;
  int CurrentFrame() const override;
  int Width() const override;
  int Height() const override;
  bool OwnScene() const override;
  void Attach(TNovaBaseList& scene) override;
  void SetCinema(TNovaControl* cinema) override;
  void Start() override;
  void Seek(int frame) override;
  void SetPaused(bool paused) override;
  void SetVolume(int32_t volume) override;
  TFilmManager& Film() { return *film_; }

private:
  std::unique_ptr<TFilmManager> film_;
};

// A film that moves, sizes, turns and fades one existing control.
class TMotionFilm final : public IMotionFilm {
public:
  TMotionFilm(std::unique_ptr<TFilmManager> film, TNovaControl& target);
  ~TMotionFilm() override;
  int FrameCount() const override;
  int LoopStart() const override;
  bool HasPositionTrack() const override;
  int CurrentFrame() const override;
  void SetOrigin(int x, int y) override;
  void SetBasePriority(int priority) override;
  void ApplyFrame(int index, TNovaControl& control) override;
  TFilmManager& Film() { return *film_; }

private:
  std::unique_ptr<TFilmManager> film_;
};

// Read a film through the title's files with its pictures from `cache`; a missing or damaged
// film throws ENovaError naming it.
std::unique_ptr<ICinemaFilm> LoadCinemaFilm(TVrFileManager& files, TWispCollection* cache,
                                            const std::string& file, int32_t volume);
std::unique_ptr<IMotionFilm> LoadMotionFilm(TVrFileManager& files, TWispCollection* cache,
                                            TNovaControl& control, const std::string& file);

} // namespace nova
