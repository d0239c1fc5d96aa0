// SPDX-License-Identifier: MIT
#include "scene/nova_motion.h"

#include <cmath>

#include "scene/nova_control.h"

namespace nova {
namespace {

constexpr double kFrameMs = 16.666666666666668;

} // namespace

TNovaMotion::TNovaMotion(TNovaControl& control, std::unique_ptr<IMotionFilm> film)
    : control_(control), film_(std::move(film)) {}

void TNovaMotion::Restart() {
  elapsed_ms_ = 0;
  priming_ = 2;
  finished_ = false;
}

bool TNovaMotion::Advance(int32_t elapsed_ms) {
  bool reanchored = false;
  // A script moved the control: the film continues from the new place.
  if (priming_ == 0 && film_->HasPositionTrack() &&
      (control_.Left() != last_left_ || control_.Top() != last_top_)) {
    film_->SetOrigin(control_.Left(), control_.Top());
    reanchored = true;
  }
  if (finished_)
    return false;
  const bool first = priming_ == 2;
  if (first) {
    if (film_->HasPositionTrack())
      film_->SetOrigin(control_.Left(), control_.Top());
    else
      film_->SetOrigin(0, 0);
    film_->SetBasePriority(control_.GetPriority());
  }
  if (priming_ == 0 && !control_.AniPaused())
    elapsed_ms_ += elapsed_ms;
  const int count = film_->FrameCount();
  // Halves go to the even frame, as every rounding of the player does.
  long index = static_cast<long>(std::nearbyint(elapsed_ms_ / kFrameMs));
  bool ended = false;
  if (index >= count) {
    if (control_.GetProp(PR_REPEAT).AsFlag()) {
      index = count > 0 ? index % count + film_->LoopStart() : 0;
      if (index > count - 1)
        index = count > 0 ? count - 1 : 0;
      elapsed_ms_ = std::nearbyint(static_cast<double>(index) * kFrameMs);
    } else {
      index = count > 0 ? count - 1 : 0;
      finished_ = true;
      ended = true;
    }
  }
  if (count > 0 && (first || index != film_->CurrentFrame() || reanchored))
    film_->ApplyFrame(static_cast<int>(index), control_);
  if (priming_ > 0)
    --priming_;
  last_left_ = control_.Left();
  last_top_ = control_.Top();
  return ended;
}

} // namespace nova
