// SPDX-License-Identifier: MIT
#include "scene/films/film_players.h"

#include "scene/films/film_manager.h"
#include "scene/nova_base_list.h"
#include "scene/nova_control.h"

namespace nova {

TCinemaFilm::TCinemaFilm(std::unique_ptr<TFilmManager> film) : film_(std::move(film)) {}
TCinemaFilm::~TCinemaFilm() = default;
int TCinemaFilm::FrameCount() const { return film_->Length(); }
int TCinemaFilm::LoopStart() const { return film_->LoopStart(); }
int TCinemaFilm::CurrentFrame() const { return film_->CurrentFrame(); }
int TCinemaFilm::Width() const { return film_->Width(); }
int TCinemaFilm::Height() const { return film_->Height(); }

// Wipes and next-page tracks need pages of their own, and so does a background colour.
bool TCinemaFilm::OwnScene() const { return film_->NeedsOwnScene() || film_->BackColor() >= 0; }

void TCinemaFilm::Attach(TNovaBaseList& scene) { film_->SetScene(&scene); }
void TCinemaFilm::SetCinema(TNovaControl* cinema) { film_->SetCinema(cinema); }
void TCinemaFilm::Start() { film_->Start(); }
void TCinemaFilm::Seek(int frame) { film_->SetFrame(frame); }
void TCinemaFilm::SetPaused(bool paused) { film_->SetPaused(paused); }
void TCinemaFilm::SetVolume(int32_t volume) { film_->SetVolume(volume); }

TMotionFilm::TMotionFilm(std::unique_ptr<TFilmManager> film, TNovaControl& target)
    : film_(std::move(film)) {
  film_->SetScene(target.Owner());
  film_->SetTarget(&target);
}

TMotionFilm::~TMotionFilm() = default;
int TMotionFilm::FrameCount() const { return film_->Length(); }
int TMotionFilm::LoopStart() const { return film_->LoopStart(); }
// Only a relative film's positions depend on where the control stood.
bool TMotionFilm::HasPositionTrack() const { return film_->Relative() && film_->HasPlacingTrack(); }
int TMotionFilm::CurrentFrame() const { return film_->CurrentFrame(); }
void TMotionFilm::SetOrigin(int x, int y) { film_->SetMotionBase(x, y); }
void TMotionFilm::SetBasePriority(int priority) { film_->SetMotionBasePriority(priority); }

void TMotionFilm::ApplyFrame(int index, TNovaControl& control) {
  film_->SetTarget(&control);
  // A control under a motion stands at its motion position; a film that places nothing (sounds
  // only) leaves it where it was.
  if (!film_->HasPlacingTrack()) {
    control.SetMotionX(control.Left());
    control.SetMotionY(control.Top());
  }
  film_->SetFrame(index);
}

std::unique_ptr<ICinemaFilm> LoadCinemaFilm(TVrFileManager& files, TWispCollection* cache,
                                            const std::string& file, int32_t volume) {
  auto film = std::make_unique<TFilmManager>();
  film->SetResources(cache, &files);
  film->LoadFromFile(file);
  film->SetVolume(volume);
  return std::make_unique<TCinemaFilm>(std::move(film));
}

std::unique_ptr<IMotionFilm> LoadMotionFilm(TVrFileManager& files, TWispCollection* cache,
                                            TNovaControl& control, const std::string& file) {
  auto film = std::make_unique<TFilmManager>();
  film->SetResources(cache, &files);
  film->LoadFromFile(file);
  return std::make_unique<TMotionFilm>(std::move(film), control);
}

} // namespace nova
