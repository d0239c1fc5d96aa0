// SPDX-License-Identifier: MIT
#include "scene/kinds/slider.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "scene/kinds/picture_fill.h"
#include "scene/nova_base.h"

namespace nova {
namespace {

constexpr int32_t kFirstRepeatMs = 300;
constexpr int32_t kNextRepeatMs = 50;
constexpr int kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;

int32_t Round32(double v) {
  return std::isfinite(v)
             ? static_cast<int32_t>(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0))
             : 0;
}

const TCustomDIBX* FirstSurface(const TNovaImageList& list) {
  const TNovaImageData* f = list.Frame(0);
  const TCustomDIBX* s = f ? f->Surface() : nullptr;
  return s && !s->IsEmpty() ? s : nullptr;
}

// The mask value at a point of a cell of the picture, 255 when the picture has no mask.
int MaskAt(const TNovaImageList& list, int32_t x, int32_t y) {
  const TNovaImageData* f = list.Frame(0);
  TCustomDIBX* mask = f ? f->Mask() : nullptr;
  if (!mask)
    return 255;
  if (x < 0 || y < 0 || x >= mask->Width() || y >= mask->Height())
    return 0;
  return static_cast<int>(mask->GetPixel(x, y) & 0xFF);
}

} // namespace

int32_t TNovaSlider::ClampedValue() const { return std::max(min_, std::min(max_, value_)); }

int32_t TNovaSlider::Range() const {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{max_} - min_, INT32_MIN, INT32_MAX));
}

void TNovaSlider::Layout() {
  const TCustomDIBX* t = FirstSurface(track_);
  const TCustomDIBX* m = FirstSurface(thumb_);
  const TCustomDIBX* b = FirstSurface(buttons_);
  track_w_ = t ? t->Width() / 2 : 0;
  track_h_ = t ? t->Height() : 0;
  if (bar_size_ > 0)
    (Vertical() ? track_h_ : track_w_) = bar_size_;
  thumb_w_ = m ? m->Width() / 3 : 0;
  thumb_h_ = m ? m->Height() : 0;
  button_w_ = b ? b->Width() / 6 : 0;
  button_h_ = b ? b->Height() : 0;
  int64_t w = 0, h = 0;
  if (track_w_ > 0 && track_h_ > 0) {
    const int32_t thumb_room_w = IsScrollbar() ? 0 : thumb_w_;
    const int32_t thumb_room_h = IsScrollbar() ? 0 : thumb_h_;
    if (!Vertical()) {
      w = int64_t{track_w_} + thumb_room_w + 2 * int64_t{button_w_};
      h = std::max({track_h_, thumb_h_, button_h_});
    } else {
      w = std::max({track_w_, thumb_w_, button_w_});
      h = int64_t{track_h_} + thumb_room_h + 2 * int64_t{button_h_};
    }
  }
  SetWidth(static_cast<int32_t>(std::min<int64_t>(w, INT32_MAX)));
  SetHeight(static_cast<int32_t>(std::min<int64_t>(h, INT32_MAX)));
  UpdateOffset();
}

void TNovaSlider::UpdateOffset() {
  const int32_t range = Range();
  int32_t offset = 0;
  if (range > 0) {
    const double travel =
        IsScrollbar() ? static_cast<double>(TrackLength()) - ThumbLength() : TrackLength();
    offset = Round32((static_cast<double>(ClampedValue()) - min_) / range * travel);
  }
  if (offset != thumb_offset_) {
    thumb_offset_ = offset;
    Invalidate();
  }
}

TSceneRect TNovaSlider::TrackRect() const {
  const int32_t l = ScreenLeft(), t = ScreenTop();
  if (!Vertical()) {
    const int32_t x = l + button_w_ + (IsScrollbar() ? 0 : thumb_w_ / 2);
    return TSceneRect::FromSize(x, t + (height_ - track_h_) / 2, track_w_, track_h_);
  }
  const int32_t y = t + button_h_ + (IsScrollbar() ? 0 : thumb_h_ / 2);
  return TSceneRect::FromSize(l + (width_ - track_w_) / 2, y, track_w_, track_h_);
}

TSceneRect TNovaSlider::ThumbRect() const {
  const int32_t l = ScreenLeft(), t = ScreenTop();
  if (!Vertical())
    return TSceneRect::FromSize(l + button_w_ + thumb_offset_, t + (height_ - thumb_h_) / 2,
                                thumb_w_, thumb_h_);
  // A slider's value grows upwards, a scroll bar's downwards.
  const int32_t y =
      IsScrollbar() ? t + button_h_ + thumb_offset_ : t + button_h_ + track_h_ - thumb_offset_;
  return TSceneRect::FromSize(l + (width_ - thumb_w_) / 2, y, thumb_w_, thumb_h_);
}

TSceneRect TNovaSlider::ButtonRect(int which) const {
  const int32_t l = ScreenLeft(), t = ScreenTop();
  if (!Vertical())
    return TSceneRect::FromSize(which == 0 ? l : l + width_ - button_w_,
                                t + (height_ - button_h_) / 2, button_w_, button_h_);
  return TSceneRect::FromSize(l + (width_ - button_w_) / 2,
                              which == 0 ? t : t + height_ - button_h_, button_w_, button_h_);
}

void TNovaSlider::Pointer(int32_t& x, int32_t& y) const {
  const TNovaBase* layer = GetBase();
  x = layer ? layer->pointer_x : INT32_MIN;
  y = layer ? layer->pointer_y : INT32_MIN;
}

bool TNovaSlider::PointerOn(TSliderPart part) const {
  int32_t x, y;
  Pointer(x, y);
  switch (part) {
  case spThumb: {
    const TSceneRect r = ThumbRect();
    if (!r.Contains(x, y))
      return false;
    // The thumb's mask counts only when the capture mask is asked for.
    return !capture_mask_ || MaskAt(thumb_, x - r.Left + thumb_state_ * thumb_w_, y - r.Top) >= 128;
  }
  case spFirstButton:
  case spSecondButton: {
    const int i = part == spFirstButton ? 0 : 1;
    const TSceneRect r = ButtonRect(i);
    return r.Contains(x, y) &&
           MaskAt(buttons_, x - r.Left + (i * 3 + button_state_[i]) * button_w_, y - r.Top) >= 128;
  }
  default: {
    const TSceneRect r = TrackRect();
    if (!r.Contains(x, y))
      return false;
    // A bar size longer than the picture repeats it along the track, and its mask with it.
    int32_t mx = x - r.Left, my = y - r.Top;
    if (const TCustomDIBX* t = FirstSurface(track_)) {
      if (!Vertical() && t->Width() / 2 > 0)
        mx %= t->Width() / 2;
      else if (Vertical() && t->Height() > 0)
        my %= t->Height();
    }
    return MaskAt(track_, mx, my) >= 128;
  }
  }
}

int32_t TNovaSlider::DragValue(int32_t p) const {
  const TSceneRect tr = TrackRect();
  const int64_t s = Vertical() ? tr.Top : tr.Left;
  const int64_t length = TrackLength();
  const double range = Range();
  double v;
  if (IsScrollbar()) {
    const int64_t travel = length - ThumbLength();
    if (travel <= 0)
      return min_;
    v = range / static_cast<double>(travel) * static_cast<double>(p - s - drag_offset_);
  } else {
    if (length <= 0)
      return min_;
    v = Vertical() ? range / length * static_cast<double>(s + length + drag_offset_ - p - 1)
                   : range / length * static_cast<double>(p - s - drag_offset_);
  }
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{min_} + Round32(v), min_, max_));
}

void TNovaSlider::SetValueNotify(int32_t v) {
  if (v == ClampedValue())
    return;
  value_ = v;
  UpdateOffset();
  Invalidate();
  if (!notify_handler_.empty())
    QueueEvent(PR_ONNOTIFY, notify_handler_, {std::to_string(ClampedValue())});
}

void TNovaSlider::Step(int32_t delta) {
  SetValueNotify(static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{ClampedValue()} + delta, min_, std::max(min_, max_))));
}

int TNovaSlider::ButtonSign(int which) const {
  if (Vertical())
    return which == 0 ? 1 : -1;
  return which == 0 ? -1 : 1;
}

int TNovaSlider::KeyDirection(int code) const {
  if (!Vertical())
    return code == kVkRight ? 1 : code == kVkLeft ? -1 : 0;
  return code == kVkUp ? 1 : code == kVkDown ? -1 : 0;
}

int TNovaScrollbar::KeyDirection(int code) const {
  if (!Vertical())
    return code == kVkRight ? 1 : code == kVkLeft ? -1 : 0;
  return code == kVkDown ? 1 : code == kVkUp ? -1 : 0;
}

void TNovaSlider::PointerStates() {
  uint8_t thumb = 0, first = 0, second = 0;
  if (Range() > 0 && ignore_mouse_ != IM_ALL && !paused_) {
    thumb = PointerOn(spThumb) ? 1 : 0;
    first = PointerOn(spFirstButton) ? 1 : 0;
    second = PointerOn(spSecondButton) ? 1 : 0;
  }
  if (thumb != thumb_state_ || first != button_state_[0] || second != button_state_[1]) {
    thumb_state_ = thumb;
    button_state_[0] = first;
    button_state_[1] = second;
    Invalidate();
  }
}

void TNovaSlider::MouseMove() {
  if (mode_ == smIdle) {
    PointerStates();
  } else if (mode_ == smDragging) {
    int32_t x, y;
    Pointer(x, y);
    SetValueNotify(DragValue(Vertical() ? y : x));
  }
  TNovaControl::MouseMove();
}

void TNovaSlider::MouseOut(TNovaControl* next) {
  if (mode_ == smIdle && (thumb_state_ || button_state_[0] || button_state_[1])) {
    thumb_state_ = button_state_[0] = button_state_[1] = 0;
    Invalidate();
  }
  TNovaControl::MouseOut(next);
}

void TNovaSlider::LButtonDown() {
  TNovaControl::LButtonDown();
  if (paused_ || mode_ != smIdle || (ignore_mouse_ != IM_NONE && ignore_mouse_ != IM_RCLICK) ||
      Range() < 1)
    return;
  TNovaBase* layer = GetBase();
  int32_t x, y;
  Pointer(x, y);
  const int32_t p = Vertical() ? y : x;
  const TSceneRect thumb = ThumbRect();
  const int32_t thumb_start = Vertical() ? thumb.Top : thumb.Left;
  const auto capture = [layer] {
    if (layer)
      layer->capture |= kCaptureLeft;
  };
  if (thumb_state_ == 1) {
    if (!hold_handler_.empty())
      QueueEvent(PR_ONHOLD, hold_handler_);
    capture();
    drag_offset_ = IsScrollbar() ? p - thumb_start : p - thumb_start - ThumbLength() / 2;
    thumb_state_ = 2;
    mode_ = smDragging;
    Invalidate();
    return;
  }
  for (int i = 0; i < 2; ++i) {
    if (button_state_[i] != 1)
      continue;
    Step(small_change_ * ButtonSign(i));
    capture();
    button_state_[i] = 2;
    repeat_ms_ = kFirstRepeatMs;
    mode_ = i == 0 ? smFirstButton : smSecondButton;
    Invalidate();
    return;
  }
  if (!PointerOn(spTrack))
    return;
  if (!IsScrollbar()) {
    if (!hold_handler_.empty())
      QueueEvent(PR_ONHOLD, hold_handler_);
    thumb_state_ = 2;
    mode_ = smDragging;
    drag_offset_ = 0;
    SetValueNotify(DragValue(p));
  } else {
    track_lit_ = 1;
    repeat_ms_ = kFirstRepeatMs;
    mode_ = p < thumb_start ? smPageToStart : smPageToEnd;
    Step(mode_ == smPageToStart ? -large_change_ : large_change_);
  }
  capture();
  Invalidate();
}

void TNovaSlider::MouseTick() {
  if (mode_ < smFirstButton)
    return;
  repeat_ms_ -= RunState().FrameDelta;
  if (repeat_ms_ > 0)
    return;
  repeat_ms_ += kNextRepeatMs;
  if (mode_ == smFirstButton || mode_ == smSecondButton) {
    const int which = mode_ == smFirstButton ? 0 : 1;
    const uint8_t state = PointerOn(which == 0 ? spFirstButton : spSecondButton) ? 2 : 0;
    if (state != button_state_[which]) {
      button_state_[which] = state;
      Invalidate();
    }
    if (state == 2)
      Step(small_change_ * ButtonSign(which));
    return;
  }
  int32_t x, y;
  Pointer(x, y);
  const int32_t p = Vertical() ? y : x;
  const TSceneRect thumb = ThumbRect();
  const int32_t start = Vertical() ? thumb.Top : thumb.Left;
  const int32_t end = Vertical() ? thumb.Bottom : thumb.Right;
  const uint8_t was_lit = track_lit_;
  track_lit_ = 0;
  // Paging goes on until the thumb reaches the pointer.
  if (PointerOn(spTrack) && (mode_ == smPageToStart ? p < start : p >= end)) {
    Step(mode_ == smPageToStart ? -large_change_ : large_change_);
    track_lit_ = 1;
  }
  if (was_lit != track_lit_)
    Invalidate();
}

void TNovaSlider::LButtonUp() {
  TNovaControl::LButtonUp();
  if (mode_ == smIdle)
    return;
  if (mode_ == smDragging && !release_handler_.empty())
    QueueEvent(PR_ONRELEASE, release_handler_);
  mode_ = smIdle;
  track_lit_ = 0;
  thumb_state_ = button_state_[0] = button_state_[1] = 0;
  PointerStates();
  Invalidate();
}

void TNovaSlider::HandleKeys(const std::vector<std::string>& keys) {
  for (const std::string& k : keys) {
    const int dir = KeyDirection(std::atoi(k.c_str()));
    const int32_t v = ClampedValue();
    if (dir > 0 && v < max_)
      Step(small_change_);
    else if (dir < 0 && v > min_)
      Step(-small_change_);
  }
}

void TNovaSlider::KeyRepeatEvent(const std::vector<std::string>& keys) {
  HandleKeys(keys);
  TNovaControl::KeyRepeatEvent(keys);
}

void TNovaSlider::Draw() {
  TCustomDIBX* target = GetTargetSurface();
  const TNovaImageData* track = track_.Frame(0);
  if (target && Visible() && width_ > 0 && height_ > 0 && track && FirstSurface(track_)) {
    const TCustomDIBX& pic = *track->Surface();
    const int32_t half = pic.Width() / 2;
    const TRect first_half = SurfaceRectOf(0, 0, half, pic.Height());
    const TRect second_half = SurfaceRectOf(half, 0, 2 * half, pic.Height());
    const TSceneRect tr = TrackRect();
    // Both parts tile from the track's own origin, so they form one pattern.
    const auto fill = [&](int32_t l, int32_t t, int32_t r, int32_t b, const TRect& src) {
      RepeatFrameCell(*target, SurfaceRectOf(l, t, r, b), l - tr.Left, t - tr.Top, alpha_, FlipNone,
                      src, *track);
    };
    if (!IsScrollbar()) {
      if (!Vertical()) {
        fill(tr.Left, tr.Top, tr.Left + thumb_offset_, tr.Bottom, first_half);
        fill(tr.Left + thumb_offset_, tr.Top, tr.Right, tr.Bottom, second_half);
      } else {
        fill(tr.Left, tr.Bottom - thumb_offset_, tr.Right, tr.Bottom, first_half);
        fill(tr.Left, tr.Top, tr.Right, tr.Bottom - thumb_offset_, second_half);
      }
    } else {
      fill(tr.Left, tr.Top, tr.Right, tr.Bottom, first_half);
      if (track_lit_ && (mode_ == smPageToStart || mode_ == smPageToEnd)) {
        const TSceneRect th = ThumbRect();
        if (!Vertical()) {
          const int32_t c = th.Left + thumb_w_ / 2;
          if (mode_ == smPageToStart)
            fill(tr.Left, tr.Top, c, tr.Bottom, second_half);
          else
            fill(c, tr.Top, tr.Right, tr.Bottom, second_half);
        } else {
          const int32_t c = th.Top + thumb_h_ / 2;
          if (mode_ == smPageToStart)
            fill(tr.Left, tr.Top, tr.Right, c, second_half);
          else
            fill(tr.Left, c, tr.Right, tr.Bottom, second_half);
        }
      }
    }
    if (const TNovaImageData* thumb = thumb_.Frame(0); thumb && Range() > 0) {
      const TSceneRect th = ThumbRect();
      const int32_t sx = thumb_state_ * thumb_w_;
      PutFrameCell(*target, th.Left, th.Top, alpha_, FlipNone,
                   SurfaceRectOf(sx, 0, sx + thumb_w_, thumb_h_), *thumb);
    }
    if (const TNovaImageData* buttons = buttons_.Frame(0); buttons && button_w_ > 0) {
      for (int i = 0; i < 2; ++i) {
        const TSceneRect br = ButtonRect(i);
        const int32_t sx = (i * 3 + button_state_[i]) * button_w_;
        PutFrameCell(*target, br.Left, br.Top, alpha_, FlipNone,
                     SurfaceRectOf(sx, 0, sx + button_w_, button_h_), *buttons);
      }
    }
  }
  DrawChildren();
}

void TNovaSlider::SetPicture(std::string& field, TNovaImageList& list, const std::string& file) {
  field = file;
  list.Load(ServicesOf(owner_).images.cache, this, file);
  Invalidate();
  Layout();
}

const TPropTable& TNovaSlider::Props() {
  using T = TNovaSlider;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_SOURCE, peGeometry, [](const T& o) { return TPropValue::Str(o.track_source_); },
          [](T& o, const TPropValue& v) { o.SetPicture(o.track_source_, o.track_, v.s); }),
      Custom<T>(
          PR_THUMBSOURCE, peGeometry, [](const T& o) { return TPropValue::Str(o.thumb_source_); },
          [](T& o, const TPropValue& v) { o.SetPicture(o.thumb_source_, o.thumb_, v.s); }),
      Custom<T>(
          PR_BUTTONSOURCE, peGeometry, [](const T& o) { return TPropValue::Str(o.button_source_); },
          [](T& o, const TPropValue& v) { o.SetPicture(o.button_source_, o.buttons_, v.s); }),
      Custom<T>(
          PR_MIN, pePicture, [](const T& o) { return TPropValue::Int(o.min_); },
          [](T& o, const TPropValue& v) {
            o.min_ = v.i;
            o.UpdateOffset();
          }),
      Custom<T>(
          PR_MAX, pePicture, [](const T& o) { return TPropValue::Int(o.max_); },
          [](T& o, const TPropValue& v) {
            o.max_ = v.i;
            o.UpdateOffset();
          }),
      Custom<T>(
          PR_VALUE, pePicture, [](const T& o) { return TPropValue::Int(o.ClampedValue()); },
          [](T& o, const TPropValue& v) {
            o.value_ = v.i;
            o.UpdateOffset();
          }),
      Field<&T::small_change_>(PR_SMALLCHANGE),
      Custom<T>(
          PR_ALPHA, pePicture, [](const T& o) { return TPropValue::Int(o.alpha_); },
          [](T& o, const TPropValue& v) {
            o.alpha_ = v.i;
            o.Invalidate();
          }),
      Custom<T>(
          PR_PAUSED, pePicture, [](const T& o) { return TPropValue::Flag(o.paused_ != 0); },
          [](T& o, const TPropValue& v) {
            o.paused_ = v.f ? 1 : 0;
            o.Invalidate();
          }),
      Custom<T>(
          PR_ORIENTATION, pePicture, [](const T& o) { return TPropValue::Int(o.orientation_); },
          [](T& o, const TPropValue& v) {
            o.orientation_ = static_cast<uint8_t>(v.i);
            o.Invalidate();
            o.Layout();
          }),
      Flag<&T::capture_mask_>(PR_CAPTUREMASK),
      Custom<T>(
          PR_BARSIZE, pePicture, [](const T& o) { return TPropValue::Int(o.bar_size_); },
          [](T& o, const TPropValue& v) {
            o.bar_size_ = v.i;
            o.Invalidate();
            o.Layout();
          }),
      Field<&T::notify_handler_>(PR_ONNOTIFY),
      Field<&T::hold_handler_>(PR_ONHOLD),
      Field<&T::release_handler_>(PR_ONRELEASE),
      Field<&T::idle_handler_>(PR_ONIDLE),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaSlider::SyncKind(TSerializer& s) {
  s.String(track_source_);
  s.String(thumb_source_);
  s.String(button_source_);
  s.I32(min_);
  s.I32(max_);
  s.I32(value_);
  s.I32(small_change_);
  s.I32(alpha_);
  s.Flag(paused_);
  s.U8(orientation_);
  s.String(notify_handler_);
  s.String(hold_handler_);
  s.String(release_handler_);
  s.String(idle_handler_);
  s.Flag(capture_mask_, Since{119});
  s.I32(bar_size_, Since{128});
  if (s.Saving())
    return;
  track_.Load(ServicesOf(owner_).images.cache, this, track_source_);
  thumb_.Load(ServicesOf(owner_).images.cache, this, thumb_source_);
  buttons_.Load(ServicesOf(owner_).images.cache, this, button_source_);
  mode_ = smIdle;
  // A slider without pictures keeps the size it was saved with.
  if (FirstSurface(track_))
    Layout();
  else
    UpdateOffset();
}

const TPropTable& TNovaScrollbar::Props() {
  using T = TNovaScrollbar;
  using namespace props;
  static constexpr std::array kRows{
      Field<&T::large_change_>(PR_LARGECHANGE),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaSlider::Props, kRows);
  return kTable;
}

void TNovaScrollbar::SyncKind(TSerializer& s) {
  TNovaSlider::SyncKind(s);
  s.I32(large_change_);
}

} // namespace nova
