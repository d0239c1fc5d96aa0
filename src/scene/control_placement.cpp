// SPDX-License-Identifier: MIT
// Where a control lies on screen: zoom, anchor, flip, parent offset and scroll, motion, plus.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "scene/nova_base_list.h"
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
    return Clamp32(own + parent_->ChildOrigin(vertical));
  }
  const int32_t plus = vertical ? plus_y_ : plus_x_;
  if (!parent_)
    return Clamp32(int64_t{BasePos(vertical)} - AnchorTerm(vertical, false) + plus);
  const int64_t parent_origin = parent_->ChildOrigin(vertical);
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
    return Clamp32(e + parent_origin + plus);
  }
  return Clamp32(BasePos(vertical) + parent_origin - AnchorTerm(vertical, false) + plus);
}

// Asked for many times a frame per control: mostly a comparison, which callers here inline.
bool TNovaControl::Remembered() const {
  return (owner_ && placed_generation_ == owner_->PlacementGeneration() &&
          placed_generation_ != 0) ||
         Remember();
}

bool TNovaControl::Remember() const {
  const uint64_t generation = owner_ ? owner_->PlacementGeneration() : 0;
  if (generation == 0)
    return false;
  // Both axes and the children's origin at once: whoever asks for one asks for the others.
  const uint64_t changes = owner_->PlacementChanges();
  const int32_t left = ScreenPos(false);
  const int32_t top = ScreenPos(true);
  const int64_t origin_x = int64_t{left} - ScrollX();
  const int64_t origin_y = int64_t{top} - ScrollY();
  // Should a getter of a kind have changed anything meanwhile, the result is not kept; nor is
  // it while the parent's place is not (in this scene), or the parent's next change would not
  // reach it.
  if (owner_->PlacementChanges() != changes || owner_->PlacementGeneration() != generation ||
      (parent_ && (parent_->owner_ != owner_ || parent_->placed_generation_ != generation)))
    return false;
  placed_left_ = left;
  placed_top_ = top;
  origin_x_ = origin_x;
  origin_y_ = origin_y;
  hit_kept_ = 0;
  area_kept_ = 0;
  cabinet_kept_ = 0;
  placed_generation_ = generation;
  return true;
}

int32_t TNovaControl::Placed(bool vertical) const {
  if (!Remembered())
    return ScreenPos(vertical);
  return vertical ? placed_top_ : placed_left_;
}

int64_t TNovaControl::ChildOrigin(bool vertical) const {
  // A parent is asked for this as often as it has children.
  if (!Remembered())
    return vertical ? int64_t{ScreenPos(true)} - ScrollY() : int64_t{ScreenPos(false)} - ScrollX();
  return vertical ? origin_y_ : origin_x_;
}

TSceneRect TNovaControl::KeptHitRect() const {
  if (!Remembered())
    return GetHitRect();
  if (!hit_kept_) {
    const uint64_t generation = placed_generation_;
    const uint64_t changes = owner_->PlacementChanges();
    const TSceneRect hit = GetHitRect();
    if (owner_->PlacementChanges() != changes || placed_generation_ != generation)
      return hit;
    kept_hit_ = hit;
    hit_kept_ = 1;
  }
  return kept_hit_;
}

int32_t TNovaControl::ScreenLeft() const { return Placed(false); }
int32_t TNovaControl::ScreenTop() const { return Placed(true); }

void TNovaControl::ForgetPlace() {
  // Nothing is kept below a control whose place is not kept.
  if (placed_generation_ == 0)
    return;
  placed_generation_ = 0;
  for (TNovaControl* c : children_)
    c->ForgetPlace();
}

void TNovaControl::PlacementChanged() {
  if (owner_)
    owner_->NotePlacementChange();
  ForgetPlace();
}

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
    ax += parent_->ChildOrigin(false);
    ay += parent_->ChildOrigin(true);
  }
  x = Clamp32(ax);
  y = Clamp32(ay);
}

TSceneRect TNovaControl::ScreenBounds() const {
  if (Remembered())
    return TSceneRect::FromSize(placed_left_, placed_top_, GetWidth(), GetHeight());
  return TSceneRect::FromSize(ScreenPos(false), ScreenPos(true), GetWidth(), GetHeight());
}

TSceneRect TNovaControl::ChildArea(const TNovaControl& child) {
  // Children without name are waiting for deletion.
  if (child.GetName().empty() || !child.Visible())
    return {};
  if (child.Remembered() && child.area_kept_)
    return child.kept_area_;
  // A child's subtree lies inside its hit rectangle: nothing to draw outside it.
  const TSceneRect hit = child.KeptHitRect();
  const TSceneRect clip = child.ScreenClip();
  const TSceneRect area = clip.Empty() ? hit : hit.Intersect(clip);
  // Kept along with the hit rectangle it was made from.
  if (child.hit_kept_ && child.Remembered()) {
    child.kept_area_ = area;
    child.area_kept_ = 1;
  }
  return area;
}

bool TNovaControl::IsInCabinet() const {
  // Asked of every component at every update step.
  if (Remembered() && cabinet_kept_)
    return in_cabinet_ != 0;
  bool in = false;
  for (const TNovaControl* p = parent_; p && !in; p = p->parent_)
    in = p->IsCabinet();
  if (Remembered()) {
    in_cabinet_ = in ? 1 : 0;
    cabinet_kept_ = 1;
  }
  return in;
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
