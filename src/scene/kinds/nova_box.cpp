// SPDX-License-Identifier: MIT
#include "scene/kinds/nova_box.h"

#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "base/sjis.h"
#include "scene/component_factory.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

bool IsMotionFilm(const std::string& name) {
  return name.size() >= 4 && SameTextJ(name.substr(name.size() - 4), ".nmt");
}

} // namespace

void TNovaBox::SetAlpha(int32_t a) {
  if (a == alpha_)
    return;
  alpha_ = a;
  Invalidate();
}

void TNovaBox::SetSource(const std::string& source) {
  source_ = source;
  if (IsMotionFilm(source))
    StartMotion(source);
}

void TNovaBox::RecordGeometry() {
  last_left_ = left_;
  last_top_ = top_;
  last_width_ = width_;
  last_height_ = height_;
  last_border_ = border_width_;
}

void TNovaBox::SetBlurSpan(int32_t span) {
  if (span == blur_span_)
    return;
  blur_span_ = span;
  blur_clock_ = 0;
  RecordGeometry();
}

const TPropTable& TNovaBox::Props() {
  using T = TNovaBox;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
      Field<&T::border_width_, pePicture>(PR_BORDERWIDTH),
      Field<&T::border_color_, pePicture>(PR_BORDERCOLOR),
      Access<&T::Alpha, &T::SetAlpha>(PR_ALPHA, pePicture),
      Flag<&T::repeat_>(PR_REPEAT),
      Field<&T::play_end_handler_>(PR_ONPLAYEND),
      Flag<&T::paused_>(PR_PAUSED),
      Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
      Field<&T::idle_handler_>(PR_ONIDLE),
      Stored<&T::blur_span_, &T::SetBlurSpan>(PR_BLURSPAN, peNone),
      Field<&T::blur_delay_>(PR_BLURDELAY),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

bool TNovaBox::Update() {
  const bool done = TNovaControl::Update();
  if (blur_span_ > 0 && blur_delay_ > 0) {
    blur_clock_ += RunState().FrameDelta;
    if (blur_clock_ >= blur_span_) {
      blur_clock_ = 0;
      if (left_ != last_left_ || top_ != last_top_ || width_ != last_width_ ||
          height_ != last_height_ || border_width_ != last_border_) {
        auto* blur = CreateComponent<TNovaBlurBox>(owner_);
        blur->Init(*this);
        RecordGeometry();
      }
    }
  }
  return done;
}

void TNovaBox::SyncKind(TSerializer& s) {
  s.I32(border_width_);
  s.I32(border_color_);
  s.I32(alpha_);
  std::string source = source_;
  if (s.Has(Since{104})) {
    s.String(idle_handler_);
    s.String(source);
    s.U8(repeat_);
    s.U8(auto_scrap_);
    s.String(play_end_handler_);
    s.U8(paused_);
    s.U8(ani_paused_);
    if (s.Loading())
      SetSource(source);
  }
  s.I32(blur_span_, Since{140});
  s.I32(blur_delay_, Since{140});
  if (s.Loading())
    RecordGeometry();
}

void TNovaBlurBox::Init(const TNovaBox& box) {
  if (!box.GetName().empty() && owner_)
    SetNameRaw(owner_->UniqueName(box.GetName()));
  SetParent(box.Parent());
  SetPriority(box.GetPriority() - 1);
  SetBounds(box.Left(), box.Top(), box.GetWidth(), box.GetHeight());
  color_ = box.Color();
  border_width_ = box.border_width_;
  border_color_ = box.border_color_;
  start_alpha_ = box.alpha_ / 2;
  alpha_ = start_alpha_;
  lifetime_ = box.blur_delay_;
  Invalidate();
}

bool TNovaBlurBox::Update() {
  if (TNovaBox::Update())
    return true;
  age_ += RunState().FrameDelta;
  if (age_ >= lifetime_)
    return true;
  const double fade = static_cast<double>(age_) / lifetime_ * (start_alpha_ % 256);
  SetAlpha(start_alpha_ - static_cast<int32_t>(std::nearbyint(fade)));
  return false;
}

const TPropTable& TNovaBlurBox::Props() {
  using T = TNovaBlurBox;
  using namespace props;
  static constexpr std::array kRows{Field<&T::lifetime_>(PR_DELAY)};
  static constexpr TPropTable kTable = MakePropTable(&TNovaBox::Props, kRows);
  return kTable;
}

} // namespace nova
