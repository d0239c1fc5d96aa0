// SPDX-License-Identifier: MIT
// Where a control lies on screen: zoom, anchor, flip, parent offset and scroll, motion, plus.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "scene/nova_control.h"

namespace nova {
namespace {

// a × b / 256, truncated toward zero, without overflow.
int64_t Scale256(int64_t a, int64_t b) { return a * b / 256; }

// Sums of script-given coordinates saturate instead of wrapping.
int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

int32_t TNovaControl::AnchorTerm(bool vertical, bool for_left_in_parent) const {
  const int32_t a = vertical ? anchor_y_ : anchor_x_;
  // Placement runs for every control many times a frame: the zoom and size are asked for only
  // when they can change the result.
  int64_t scaled = a;
  if (a != 0) {
    const int32_t z = vertical ? ZoomY() : ZoomX();
    if (z != 256)
      scaled = Scale256(z, a);
  }
  if (!(vertical ? FlipV() : FlipH()))
    return Clamp32(scaled);
  const int32_t size = vertical ? GetHeight() : GetWidth();
  return Clamp32(int64_t{size} - (for_left_in_parent ? 0 : 1) - scaled);
}

int32_t TNovaControl::BasePos(bool vertical) const {
  if (motion_)
    return vertical ? motion_y_ : motion_x_;
  const int32_t pos = vertical ? top_ : left_;
  return pos_zoomed_ ? Clamp32(Scale256(vertical ? ZoomY() : ZoomX(), pos)) : pos;
}

int32_t TNovaControl::ScreenPos(bool vertical) const {
  if (PlacedPlain()) {
    const int64_t own = motion_ ? (vertical ? motion_y_ : motion_x_) : (vertical ? top_ : left_);
    if (!parent_)
      return Clamp32(own);
    return Clamp32(own + (vertical ? int64_t{parent_->ScreenTop()} - parent_->ScrollY()
                                   : int64_t{parent_->ScreenLeft()} - parent_->ScrollX()));
  }
  const int32_t plus = vertical ? plus_y_ : plus_x_;
  if (!parent_)
    return Clamp32(int64_t{BasePos(vertical)} - AnchorTerm(vertical, false) + plus);
  const int64_t parent_pos = vertical ? parent_->ScreenTop() : parent_->ScreenLeft();
  const int32_t parent_scroll = vertical ? parent_->ScrollY() : parent_->ScrollX();
  // A child that follows its parent's picture scale keeps its place in the parent's picture.
  int32_t psw = 0, psh = 0, osw = 0, osh = 0;
  if (pos_zoomed_ && !motion_ && !parent_->IsLayer() &&
      (vertical ? ZoomY() == parent_->ZoomY() : ZoomX() == parent_->ZoomX()) &&
      parent_->ImageSurfaceSize(psw, psh) && ImageSurfaceSize(osw, osh)) {
    const int64_t parent_surface = vertical ? psh : psw;
    const int64_t own_surface = vertical ? osh : osw;
    const int64_t parent_size = vertical ? parent_->GetHeight() : parent_->GetWidth();
    const int64_t a = vertical ? anchor_y_ : anchor_x_;
    const int64_t pos = vertical ? top_ : left_;
    int64_t ratio = 1;
    if (parent_size != 0) {
      const double q = std::trunc(static_cast<double>(parent_surface) /
                                  static_cast<double>(parent_size) * 65536.0);
      ratio = std::max<int64_t>(1, q > 4e18 ? INT64_MAX : static_cast<int64_t>(q));
    }
    const int64_t n =
        ((vertical ? FlipV() : FlipH()) ? parent_surface + a - pos - own_surface : pos - a) * 65536;
    int64_t e = n / ratio;
    if (n % ratio > 32767)
      ++e;
    return Clamp32(e + parent_pos + plus - parent_scroll);
  }
  return Clamp32(BasePos(vertical) + (parent_pos - parent_scroll) - AnchorTerm(vertical, false) +
                 plus);
}

int32_t TNovaControl::ScreenLeft() const { return ScreenPos(false); }
int32_t TNovaControl::ScreenTop() const { return ScreenPos(true); }

int32_t TNovaControl::LeftInParent() const {
  if (PlacedPlain())
    return motion_ ? motion_x_ : left_;
  return Clamp32(int64_t{BasePos(false)} - AnchorTerm(false, true) + plus_x_);
}
int32_t TNovaControl::TopInParent() const {
  if (PlacedPlain())
    return motion_ ? motion_y_ : top_;
  return Clamp32(int64_t{BasePos(true)} - AnchorTerm(true, true) + plus_y_);
}

void TNovaControl::AnchorOnScreen(int32_t& x, int32_t& y) const {
  int64_t ax = int64_t{BasePos(false)} + plus_x_, ay = int64_t{BasePos(true)} + plus_y_;
  if (parent_) {
    ax += int64_t{parent_->ScreenLeft()} - parent_->ScrollX();
    ay += int64_t{parent_->ScreenTop()} - parent_->ScrollY();
  }
  x = Clamp32(ax);
  y = Clamp32(ay);
}

TSceneRect TNovaControl::ScreenBounds() const {
  return TSceneRect::FromSize(ScreenLeft(), ScreenTop(), GetWidth(), GetHeight());
}

TSceneRect TNovaControl::ScreenClip() const {
  if (clip_width_ < 1 || clip_height_ < 1)
    return {};
  return TSceneRect::FromSize(Clamp32(int64_t{ScreenLeft()} + clip_left_),
                              Clamp32(int64_t{ScreenTop()} + clip_top_), clip_width_, clip_height_);
}

bool TNovaControl::ClipToVisible(TSceneRect& r) const {
  r = r.Intersect(GetHitRect());
  return !r.Empty();
}

void TNovaControl::ClientToScreen(int32_t& x, int32_t& y) const {
  x = Clamp32(int64_t{x} + ScreenLeft());
  y = Clamp32(int64_t{y} + ScreenTop());
}

void TNovaControl::ScreenToClient(int32_t& x, int32_t& y) const {
  x = Clamp32(int64_t{x} - ScreenLeft());
  y = Clamp32(int64_t{y} - ScreenTop());
}

} // namespace nova
