// SPDX-License-Identifier: MIT
#include "scene/kinds/gauge.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "scene/kinds/picture_fill.h"

namespace nova {
namespace {

int32_t Round32(double v) {
  return std::isfinite(v)
             ? static_cast<int32_t>(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0))
             : 0;
}

} // namespace

int32_t TNovaGauge::ClampedValue() const { return std::max(min_, std::min(max_, value_)); }

void TNovaGauge::SetSource(const std::string& source) {
  source_ = source;
  picture_.Load(ServicesOf(owner_).images.cache, this, source);
  Layout();
  Invalidate();
}

void TNovaGauge::Layout() {
  const TNovaImageData* f = picture_.Frame(0);
  const TCustomDIBX* s = f ? f->Surface() : nullptr;
  int32_t w = s ? s->Width() / 2 : 0, h = s ? s->Height() : 0;
  if (bar_size_ > 0) {
    if (orientation_ == OT_VERTICAL)
      h = bar_size_;
    else
      w = bar_size_;
  }
  SetWidth(w);
  SetHeight(h);
}

void TNovaGauge::SetRange(int32_t& field, int32_t v) {
  if (field == v)
    return;
  field = v;
  marker_ = 0;
  shown_ = ClampedValue();
  Invalidate();
}

void TNovaGauge::SetValue(int32_t v) {
  if (v == value_)
    return;
  const int32_t old_value = ClampedValue();
  value_ = v;
  const int32_t new_value = ClampedValue();
  if (new_value < old_value) {
    shown_ = new_value;
    marker_ = old_value - new_value;
    position_ = marker_;
    wait_ms_ = delay_ms_;
    phase_ = gpDecreasing;
  } else {
    marker_ = 0;
    position_ = shown_;
    phase_ = gpIncreasing;
  }
  Invalidate();
}

void TNovaGauge::Finish() {
  shown_ = ClampedValue();
  marker_ = 0;
  phase_ = gpIdle;
  Invalidate();
}

bool TNovaGauge::Update() {
  const bool done = TNovaControl::Update();
  const int32_t elapsed = RunState().FrameDelta;
  const double range = static_cast<double>(max_) - min_;
  const bool animates = duration_ms_ > 0 && range > 0;
  const double step = animates ? range / duration_ms_ * elapsed : 0;
  if (phase_ == gpDecreasing) {
    if (wait_ms_ > 0) {
      wait_ms_ -= elapsed;
      return done;
    }
    if (!animates) {
      Finish();
      return done;
    }
    position_ -= step;
    const int32_t m = Round32(position_);
    if (m != marker_) {
      marker_ = m;
      Invalidate();
    }
    if (marker_ < 1)
      Finish();
  } else if (phase_ == gpIncreasing) {
    if (!animates) {
      Finish();
      return done;
    }
    position_ += step;
    const int32_t s = Round32(position_);
    if (s != shown_) {
      shown_ = s;
      Invalidate();
    }
    if (shown_ >= ClampedValue())
      Finish();
  }
  return done;
}

void TNovaGauge::BarLengths(int32_t& bar, int32_t& mark) const {
  const double range = static_cast<double>(max_) - min_;
  const int32_t length = orientation_ == OT_VERTICAL ? height_ : width_;
  if (range <= 0) {
    bar = mark = 0;
    return;
  }
  bar = std::clamp(Round32(length * ((static_cast<double>(shown_) - min_) / range)), 0, length);
  mark = std::clamp(Round32(length * (marker_ / range)), 0, std::max(0, length - bar));
}

void TNovaGauge::Draw() {
  TCustomDIBX* target = GetTargetSurface();
  const TNovaImageData* frame = picture_.Frame(0);
  const TCustomDIBX* pic = frame ? frame->Surface() : nullptr;
  if (target && pic && pic->Width() >= 2 && !ScreenBounds().Empty()) {
    int32_t bar, mark;
    BarLengths(bar, mark);
    const int32_t half = pic->Width() / 2;
    const TRect bar_src = SurfaceRectOf(0, 0, half, pic->Height());
    const TRect mark_src = SurfaceRectOf(half, 0, 2 * half, pic->Height());
    const int32_t l = ScreenLeft(), t = ScreenTop(), r = l + width_, b = t + height_;
    const bool vertical = orientation_ == OT_VERTICAL;
    // Vertical bars grow upwards; a reversed gauge grows from the other end, mirrored.
    const bool from_far_end = vertical ? !reverse_ : reverse_;
    const TFlip flip = reverse_ ? (vertical ? TFlip::FlipV : TFlip::FlipH) : FlipNone;
    TRect bar_dst, mark_dst;
    if (!vertical) {
      bar_dst = from_far_end ? SurfaceRectOf(r - bar, t, r, b) : SurfaceRectOf(l, t, l + bar, b);
      mark_dst = from_far_end ? SurfaceRectOf(r - bar - mark, t, r - bar, b)
                              : SurfaceRectOf(l + bar, t, l + bar + mark, b);
    } else {
      bar_dst = from_far_end ? SurfaceRectOf(l, b - bar, r, b) : SurfaceRectOf(l, t, r, t + bar);
      mark_dst = from_far_end ? SurfaceRectOf(l, b - bar - mark, r, b - bar)
                              : SurfaceRectOf(l, t + bar, r, t + bar + mark);
    }
    // The marker continues the bar's pattern.
    const int32_t mark_phase =
        (!vertical ? mark_dst.Left - bar_dst.Left : mark_dst.Top - bar_dst.Top);
    RepeatFrameCell(*target, bar_dst, 0, 0, alpha_, flip, bar_src, *frame);
    RepeatFrameCell(*target, mark_dst, vertical ? 0 : std::max(0, mark_phase),
                    vertical ? std::max(0, mark_phase) : 0, alpha_, flip, mark_src, *frame);
  }
  DrawChildren();
}

const TPropTable& TNovaGauge::Props() {
  using T = TNovaGauge;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_SOURCE, peGeometry, [](const T& o) { return TPropValue::Str(o.source_); },
          [](T& o, const TPropValue& v) {
            if (v.s != o.source_)
              o.SetSource(v.s);
          }),
      Custom<T>(
          PR_MIN, pePicture, [](const T& o) { return TPropValue::Int(o.min_); },
          [](T& o, const TPropValue& v) { o.SetRange(o.min_, v.i); }),
      Custom<T>(
          PR_MAX, pePicture, [](const T& o) { return TPropValue::Int(o.max_); },
          [](T& o, const TPropValue& v) { o.SetRange(o.max_, v.i); }),
      Access<&T::ClampedValue, &T::SetValue>(PR_VALUE, pePicture),
      Custom<T>(
          PR_ALPHA, pePicture, [](const T& o) { return TPropValue::Int(o.alpha_); },
          [](T& o, const TPropValue& v) {
            o.alpha_ = v.i;
            o.Invalidate();
          }),
      Flag<&T::paused_>(PR_PAUSED),
      Custom<T>(
          PR_ORIENTATION, pePicture, [](const T& o) { return TPropValue::Int(o.orientation_); },
          [](T& o, const TPropValue& v) {
            if (static_cast<uint8_t>(v.i) == o.orientation_)
              return;
            o.orientation_ = static_cast<uint8_t>(v.i);
            o.Layout();
          }),
      Field<&T::duration_ms_>(PR_DURATION),
      Field<&T::delay_ms_>(PR_DELAY),
      Custom<T>(
          PR_REVERSE, pePicture, [](const T& o) { return TPropValue::Flag(o.reverse_ != 0); },
          [](T& o, const TPropValue& v) {
            o.reverse_ = v.f ? 1 : 0;
            o.Invalidate();
          }),
      Custom<T>(
          PR_BARSIZE, pePicture, [](const T& o) { return TPropValue::Int(o.bar_size_); },
          [](T& o, const TPropValue& v) {
            if (v.i == o.bar_size_)
              return;
            o.bar_size_ = v.i;
            o.Layout();
          }),
      Field<&T::idle_handler_>(PR_ONIDLE),
      Custom<T>(
          PR_PLAYING, peNone, [](const T& o) { return TPropValue::Flag(o.phase_ != gpIdle); },
          nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaGauge::SyncKind(TSerializer& s) {
  std::string source = source_;
  s.String(source);
  s.I32(min_);
  s.I32(max_);
  s.I32(value_);
  s.I32(alpha_);
  s.Flag(paused_);
  s.U8(orientation_);
  s.I32(duration_ms_);
  s.I32(delay_ms_);
  s.Flag(reverse_);
  s.String(idle_handler_, Since{125});
  s.I32(bar_size_, Since{128});
  if (s.Saving())
    return;
  if (source != source_)
    SetSource(source);
  // A loaded gauge shows its value at once.
  shown_ = ClampedValue();
  marker_ = 0;
  phase_ = gpIdle;
}

} // namespace nova
