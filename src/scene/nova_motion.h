// SPDX-License-Identifier: MIT
// A motion film attached to a control: advances by frame time and applies its frames.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace nova {

class TNovaControl;

// The film side of a motion (the film manager of the film-list library implements it).
class IMotionFilm {
public:
  virtual ~IMotionFilm() = default;
  virtual int FrameCount() const = 0;
  virtual int LoopStart() const = 0;
  virtual bool HasPositionTrack() const = 0;
  // The frame last applied, -1 before the first.
  virtual int CurrentFrame() const = 0;
  virtual void SetOrigin(int x, int y) = 0;
  virtual void SetBasePriority(int priority) = 0;
  // Applies motion X/Y, the priority offset and the other animated values to the control.
  virtual void ApplyFrame(int index, TNovaControl& control) = 0;
};

class TNovaMotion {
public:
  TNovaMotion(TNovaControl& control, std::unique_ptr<IMotionFilm> film);
  // One advance per update with the frame time; true when the film has ended.
  bool Advance(int32_t elapsed_ms);
  void Restart();
  // Moves the film's clock (a seek); the next advance shows the frame at that time. A time
  // before the start is the start: films never see a negative frame.
  void SetElapsed(double elapsed_ms) { elapsed_ms_ = elapsed_ms > 0 ? elapsed_ms : 0; }
  bool Finished() const { return finished_; }
  IMotionFilm& Film() { return *film_; }

private:
  TNovaControl& control_;
  std::unique_ptr<IMotionFilm> film_;
  double elapsed_ms_ = 0;
  int priming_ = 2;
  bool finished_ = false;
  int last_left_ = 0, last_top_ = 0;
};

} // namespace nova
