// SPDX-License-Identifier: MIT
// The cinema: plays a motion film in a private scene of its own and shows that scene's
// picture at its place.
#pragma once
#include <memory>
#include <string>

#include "scene/kinds/media_services.h"
#include "scene/nova_control.h"

namespace nova {

class TNovaCinema : public TNovaControl {
public:
  explicit TNovaCinema(TNovaBaseList* owner);
  ~TNovaCinema() override;
  uint8_t GetKind() const override { return LT_CINEMA; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  TNovaBaseList& Scene() { return *scene_; }
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  bool Update() override;
  void Draw() override;
  TNovaControl* HitTest(int32_t x, int32_t y, uint32_t accept_set) override;
  // Presses on the cinema itself go on to its private scene.
  void LButtonDown() override;
  void RButtonDown() override;
  ICinemaFilm* Film() const { return film_.get(); }
  bool Ended() const { return ended_ != 0; }
  // Passes the pointer and presses of the cinema's layer to the private scene, in its
  // coordinates, and runs its input step.
  void RouteInput();

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool AutoScrap() const override { return auto_scrap_ != 0; }
  const std::string& PlayEndHandler() const override { return play_end_handler_; }

private:
  void SetSource(const std::string& source);
  void SetFrame(int32_t frame);
  void SizeScene();
  int32_t FrameOf(double elapsed_ms) const;

  std::unique_ptr<TNovaBaseList> scene_;
  std::unique_ptr<ICinemaFilm> film_;
  std::string source_;
  double elapsed_ms_ = 0;
  uint8_t repeat_ = 0, paused_ = 0, auto_scrap_ = 0;
  std::string play_end_handler_, idle_handler_;
  uint8_t ended_ = 0;
  int32_t seek_countdown_ = 0;
  int32_t volume_ = 1000;
  uint8_t rewind_on_load_ = 0, mute_on_load_ = 0;
  bool pressed_left_ = false, pressed_right_ = false;
};

} // namespace nova
