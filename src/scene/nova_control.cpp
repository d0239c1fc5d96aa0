// SPDX-License-Identifier: MIT
// Controls: naming, geometry setters, the tree of children, invalidation and the mouse and
// key handlers every visual kind starts from.
#include "scene/nova_control.h"

#include <algorithm>
#include <cstring>

#include "base/run_state.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/nova_motion.h"

namespace nova {
namespace {

const std::string kSnapshotName("\x01\x01", 2);

bool AllDigits(const std::string& s, size_t from) {
  if (from >= s.size() || s.size() - from > 9)
    return false;
  for (size_t i = from; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9')
      return false;
  return true;
}

// The comparison of siblings: negative when s draws first (lower).
int CompareSiblings(const TNovaControl* s, const TNovaControl* o) {
  if (s == o)
    return 0;
  if (s->IsAfterimage() && o->IsAfterimage())
    return (s->AlphaForOrder() % 256) - (o->AlphaForOrder() % 256);
  if (s->AfterimageSource() == o)
    return -1;
  if (o->AfterimageSource() == s)
    return 1;
  if (s->GetName() == kSnapshotName)
    return 1;
  if (o->GetName() == kSnapshotName)
    return -1;
  if (s->IsSystem() != o->IsSystem())
    return s->IsSystem() ? -1 : 1;
  const int64_t ps = int64_t{s->GetPriority()} + s->GetPriorityOffset();
  const int64_t po = int64_t{o->GetPriority()} + o->GetPriorityOffset();
  if (ps != po)
    return ps < po ? -1 : 1;
  return s->GetName().compare(o->GetName());
}

} // namespace

TNovaControl::TNovaControl(TNovaBaseList* owner) : TNovaComponent(owner) {}

TNovaControl::~TNovaControl() = default;

void TNovaControl::DetachChildren() {
  // Children go first, first child first; each unregisters itself.
  while (!children_.empty()) {
    TNovaControl* c = children_.front();
    if (owner_ && owner_->IsRegistered(c)) {
      owner_->Destroy(c);
    } else {
      children_.erase(children_.begin());
      c->parent_ = nullptr;
      c->PlacementChanged();
    }
  }
  FreeMotion();
}

void TNovaControl::SetName(const std::string& name) {
  if (name == name_)
    return;
  if (owner_ && !name.empty()) {
    TNovaObject* other = owner_->FirstNamed(name);
    if (other && other != this) {
      // The namesake is renamed: "a" becomes "a_2", "a_2" becomes "a_3" when taken.
      std::string stem = other->GetName();
      int64_t n = 2;
      size_t cut = stem.rfind('_');
      if (cut != std::string::npos && cut >= 1 && AllDigits(stem, cut + 1)) {
        int64_t tail = std::stoll(stem.substr(cut + 1));
        if (tail > 1) {
          n = tail;
          stem.resize(cut);
        }
      }
      other->SetNameRaw(owner_->UniqueName(stem + "_", n));
      if (TNovaControl* oc = other->AsControl(); oc && oc->parent_)
        oc->parent_->SortChildren();
    }
  }
  SetNameRaw(name);
  if (parent_)
    parent_->SortChildren();
}

void TNovaControl::MoveTo(int32_t& field, int32_t v, int32_t* motion) {
  if (v != field) {
    Invalidate();
    field = v;
    // A script placing the control takes it from its motion's place.
    if (motion)
      *motion = 0;
    PlacementChanged();
    Invalidate();
  }
  PositionChanged();
}

void TNovaControl::SetLeft(int32_t v) { MoveTo(left_, v, &motion_x_); }
void TNovaControl::SetTop(int32_t v) { MoveTo(top_, v, &motion_y_); }
void TNovaControl::SetAnchorX(int32_t v) { MoveTo(anchor_x_, v, nullptr); }
void TNovaControl::SetAnchorY(int32_t v) { MoveTo(anchor_y_, v, nullptr); }

namespace {
// Invalidate, store, invalidate; nothing for an unchanged value.
void Repaint(TNovaControl& control, int32_t& field, int32_t v) {
  if (field == v)
    return;
  control.Invalidate();
  field = v;
  control.PlacementChanged();
  control.Invalidate();
}
} // namespace

void TNovaControl::SetWidth(int32_t v) { Repaint(*this, width_, v); }
void TNovaControl::SetHeight(int32_t v) { Repaint(*this, height_, v); }
void TNovaControl::SetPlusX(int32_t v) { Repaint(*this, plus_x_, v); }
void TNovaControl::SetPlusY(int32_t v) { Repaint(*this, plus_y_, v); }
void TNovaControl::SetMotionX(int32_t v) { Repaint(*this, motion_x_, v); }
void TNovaControl::SetMotionY(int32_t v) { Repaint(*this, motion_y_, v); }

int32_t TNovaControl::Clip(TNovaProp which) const {
  return which == PR_CLIPLEFT    ? clip_left_
         : which == PR_CLIPTOP   ? clip_top_
         : which == PR_CLIPWIDTH ? clip_width_
                                 : clip_height_;
}

void TNovaControl::SetClip(TNovaProp which, int32_t v) {
  int32_t* field = which == PR_CLIPLEFT    ? &clip_left_
                   : which == PR_CLIPTOP   ? &clip_top_
                   : which == PR_CLIPWIDTH ? &clip_width_
                                           : &clip_height_;
  if (*field == v)
    return;
  Invalidate();
  *field = v;
  Invalidate();
  ClipChanged();
}

void TNovaControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_)
    return;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  PlacementChanged();
  Invalidate();
}

void TNovaControl::SetColor(int32_t color) {
  if (color == color_)
    return;
  color_ = color;
  Invalidate();
}

void TNovaControl::SetPosZoomed(bool v) {
  if (pos_zoomed_ == (v ? 1 : 0))
    return;
  Invalidate();
  pos_zoomed_ = v ? 1 : 0;
  PlacementChanged();
  Invalidate();
  PositionChanged();
}

void TNovaControl::SetVisible(bool v) {
  if (visible_ == (v ? 1 : 0))
    return;
  if (!v) {
    Invalidate();
    visible_ = 0;
    if (owner_) {
      TNovaControl* f = owner_->Focus();
      if (f && (f == this || IsAncestorOf(f))) {
        owner_->DropFocus();
        owner_->RequestRefocus();
      }
    }
  } else {
    visible_ = 1;
    Invalidate();
    if (owner_ && !owner_->Focus())
      owner_->RequestRefocus();
  }
}

TNovaControl* TNovaControl::GetChild(int i) const {
  if (i < 0 || i >= GetChildCount())
    return nullptr;
  return children_[static_cast<size_t>(i)];
}

bool TNovaControl::IsAncestorOf(const TNovaControl* c) const {
  for (const TNovaControl* p = c ? c->parent_ : nullptr; p; p = p->parent_)
    if (p == this)
      return true;
  return false;
}

void TNovaControl::SetParent(TNovaControl* p) {
  if (p == parent_ || p == this || (p && IsAncestorOf(p)))
    return;
  Invalidate();
  if (parent_) {
    TNovaControl* old = parent_;
    std::erase(old->children_, this);
    parent_ = nullptr;
    PlacementChanged();
    if (old->IsCabinet())
      LeaveCabinet();
  }
  parent_ = p;
  PlacementChanged();
  if (p) {
    p->children_.push_back(this);
    p->SortChildren();
    if (p->IsCabinet())
      EnterCabinet();
  }
  PlacementChanged();
  Invalidate();
  if (!owner_)
    return;
  TNovaBase* layer = GetBase();
  const bool on_front = layer && layer == owner_->Front();
  TNovaControl* f = owner_->Focus();
  if ((f && (f == this || IsAncestorOf(f)) && !on_front) || (!f && on_front)) {
    owner_->DropFocus();
    owner_->RequestRefocus();
  }
}

void TNovaControl::SortChildren() {
  std::stable_sort(
      children_.begin(), children_.end(),
      [](const TNovaControl* a, const TNovaControl* b) { return CompareSiblings(a, b) < 0; });
}

TNovaBase* TNovaControl::GetBase() const {
  const TNovaControl* c = this;
  while (c->parent_)
    c = c->parent_;
  return c->IsLayer() ? static_cast<TNovaBase*>(const_cast<TNovaControl*>(c)) : nullptr;
}

bool TNovaControl::IsShown() const {
  const TNovaControl* c = this;
  for (; c; c = c->parent_) {
    if (!c->Visible())
      return false;
    if (!c->parent_)
      break;
  }
  return c && c->IsLayer() && owner_ && c == owner_->Front();
}

void TNovaControl::Invalidate() {
  // A kind may have changed its picture, size or zoom just before.
  PlacementChanged();
  if (!Visible())
    return;
  TNovaBase* layer = GetBase();
  if (!layer)
    return;
  TSceneRect r = ScreenBounds();
  if (parent_) {
    r = r.Intersect(parent_->KeptHitRect());
    if (r.Empty())
      return;
  }
  const TSceneRect clip = ScreenClip();
  if (!clip.Empty()) {
    r = r.Intersect(clip);
    if (r.Empty())
      return;
  }
  ContentChanged(r);
  layer->AddDirtyRect(r);
}

void TNovaControl::ContentChanged(const TSceneRect& r) {
  if (parent_)
    parent_->ContentChanged(r);
}

void TNovaControl::PositionChanged() {
  for (TNovaControl* c : children_)
    c->PositionChanged();
}

void TNovaControl::ClipChanged() {
  for (TNovaControl* c : children_)
    c->ClipChanged();
}

TNovaControl* TNovaControl::HitTest(int32_t x, int32_t y, uint32_t accept_set) {
  if (!Visible() || !KeptHitRect().Contains(x, y))
    return nullptr;
  TNovaControl* candidate =
      ignore_mouse_ < 32 && (accept_set & (1u << ignore_mouse_)) ? this : nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (TNovaControl* hit = (*it)->HitTest(x, y, accept_set))
      return hit;
  return candidate;
}

void TNovaControl::QueueMouseEvent(TControlHandler h, TNovaProp type) {
  TNovaBase* layer = GetBase();
  std::vector<std::string> params;
  if (layer) {
    params.push_back(std::to_string(int64_t{layer->pointer_x} - ScreenLeft()));
    params.push_back(std::to_string(int64_t{layer->pointer_y} - ScreenTop()));
  }
  QueueEvent(type, handlers_[h], std::move(params));
}

void TNovaControl::ButtonDown(bool right) {
  TNovaBase* layer = GetBase();
  const bool accepts = ignore_mouse_ == IM_NONE || ignore_mouse_ == (right ? IM_LCLICK : IM_RCLICK);
  const TNovaProp type = right ? PR_ONRBTNDOWN : PR_ONLBTNDOWN;
  const TControlHandler h = right ? chRBtnDown : chLBtnDown;
  if (!accepts || IsLayer())
    return;
  if (!IsPaused() && !EventQueued(type) && !EventsSuppressed()) {
    if (!handlers_[h].empty())
      QueueMouseEvent(h, type);
    if (layer)
      layer->capture |= right ? kCaptureRight : kCaptureLeft;
  }
  // The press is taken: it no longer counts as a click of the scene.
  if (layer)
    (right ? layer->right_click : layer->left_click) = false;
}

void TNovaControl::ButtonUp(bool right) {
  const TControlHandler h = right ? chRBtnUp : chLBtnUp;
  if (!EventsSuppressed() && !handlers_[h].empty())
    QueueMouseEvent(h, right ? PR_ONRBTNUP : PR_ONLBTNUP);
  if (TNovaBase* layer = GetBase())
    layer->capture &= static_cast<uint8_t>(~(right ? kCaptureRight : kCaptureLeft));
}

void TNovaControl::LButtonDown() { ButtonDown(false); }
void TNovaControl::RButtonDown() { ButtonDown(true); }
void TNovaControl::LButtonUp() { ButtonUp(false); }
void TNovaControl::RButtonUp() { ButtonUp(true); }

void TNovaControl::MouseMove() {
  if (!handlers_[chMouseMove].empty() && !EventQueued(PR_ONMOUSEMOVE) && !EventsSuppressed())
    QueueMouseEvent(chMouseMove, PR_ONMOUSEMOVE);
}

void TNovaControl::MouseIn(TNovaControl*) {
  if (!handlers_[chMouseIn].empty() && !EventsSuppressed())
    QueueEvent(PR_ONMOUSEIN, handlers_[chMouseIn]);
}

void TNovaControl::MouseOut(TNovaControl*) {
  if (!handlers_[chMouseOut].empty() && !EventsSuppressed())
    QueueEvent(PR_ONMOUSEOUT, handlers_[chMouseOut]);
}

TNovaControl* TNovaControl::FindFocusable() {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if ((*it)->Visible())
      if (TNovaControl* f = (*it)->FindFocusable())
        return f;
  return HandleKey() && !IsPaused() ? this : nullptr;
}

void TNovaControl::QueueKeyEvent(TControlHandler h, TNovaProp type,
                                 const std::vector<std::string>& keys) {
  if (handlers_[h].empty() || IsPaused() || EventQueued(type) || IsLayer() || EventsSuppressed())
    return;
  QueueEvent(type, handlers_[h], keys);
}

void TNovaControl::KeyDownEvent(const std::vector<std::string>& keys) {
  QueueKeyEvent(chKeyDown, PR_ONKEYDOWN, keys);
}
void TNovaControl::KeyUpEvent(const std::vector<std::string>& keys) {
  QueueKeyEvent(chKeyUp, PR_ONKEYUP, keys);
}
void TNovaControl::KeyRepeatEvent(const std::vector<std::string>& keys) {
  QueueKeyEvent(chKeyRepeat, PR_ONKEYREPEAT, keys);
}

const std::string& TNovaControl::PlayEndHandler() const {
  static const std::string none;
  return none;
}

void TNovaControl::StartMotion(const std::string& file) {
  FreeMotion();
  const TMotionFilmLoader& loader = ServicesOf(owner_).motion_films;
  if (!loader)
    return;
  if (std::unique_ptr<IMotionFilm> film = loader(*this, file)) {
    motion_ = std::make_unique<TNovaMotion>(*this, std::move(film));
    PlacementChanged();
  }
}

void TNovaControl::RestartMotion() {
  if (motion_)
    motion_->Restart();
}

void TNovaControl::FreeMotion() {
  if (!motion_)
    return;
  motion_.reset();
  PlacementChanged();
  SetMotionX(0);
  SetMotionY(0);
  SetPriorityOffset(0);
}

bool TNovaControl::Update() {
  if (!motion_ || !motion_->Advance(RunState().FrameDelta))
    return false;
  if (AutoScrap())
    return true;
  if (!PlayEndHandler().empty())
    QueueEvent(PR_ONPLAYEND, PlayEndHandler());
  return false;
}

} // namespace nova
