// SPDX-License-Identifier: MIT
#include "scene/kinds/nova_box.h"

#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
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

bool TNovaBox::ReadProp(int id, TPropValue& out) {
  switch (id) {
  case PR_SOURCE:
    out = TPropValue::Str(source_);
    return true;
  case PR_BORDERWIDTH:
    out = TPropValue::Int(border_width_);
    return true;
  case PR_BORDERCOLOR:
    out = TPropValue::Int(border_color_);
    return true;
  case PR_ALPHA:
    out = TPropValue::Int(alpha_);
    return true;
  case PR_REPEAT:
    out = TPropValue::Flag(repeat_ != 0);
    return true;
  case PR_ONPLAYEND:
    out = TPropValue::Str(play_end_handler_);
    return true;
  case PR_PAUSED:
    out = TPropValue::Flag(paused_ != 0);
    return true;
  case PR_AUTOSCRAP:
    out = TPropValue::Flag(auto_scrap_ != 0);
    return true;
  case PR_ONIDLE:
    out = TPropValue::Str(idle_handler_);
    return true;
  case PR_BLURSPAN:
    out = TPropValue::Int(blur_span_);
    return true;
  case PR_BLURDELAY:
    out = TPropValue::Int(blur_delay_);
    return true;
  default:
    return TNovaControl::ReadProp(id, out);
  }
}

bool TNovaBox::WriteProp(int id, const TPropValue& v) {
  switch (id) {
  case PR_SOURCE:
    SetSource(v.s);
    return true;
  case PR_BORDERWIDTH:
    if (v.i != border_width_) {
      border_width_ = v.i;
      Invalidate();
    }
    return true;
  case PR_BORDERCOLOR:
    if (v.i != border_color_) {
      border_color_ = v.i;
      Invalidate();
    }
    return true;
  case PR_ALPHA:
    SetAlpha(v.i);
    return true;
  case PR_REPEAT:
    repeat_ = v.f ? 1 : 0;
    return true;
  case PR_ONPLAYEND:
    play_end_handler_ = v.s;
    return true;
  case PR_PAUSED:
    paused_ = v.f ? 1 : 0;
    return true;
  case PR_AUTOSCRAP:
    auto_scrap_ = v.f ? 1 : 0;
    return true;
  case PR_ONIDLE:
    idle_handler_ = v.s;
    return true;
  case PR_BLURSPAN:
    SetBlurSpan(v.i);
    return true;
  case PR_BLURDELAY:
    blur_delay_ = v.i;
    return true;
  default:
    return TNovaControl::WriteProp(id, v);
  }
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

void TNovaBox::SaveKind(BinaryWriter& w) const {
  w.I32(border_width_);
  w.I32(border_color_);
  w.I32(alpha_);
  w.String(idle_handler_);
  w.String(source_);
  w.U8(repeat_);
  w.U8(auto_scrap_);
  w.String(play_end_handler_);
  w.U8(paused_);
  w.U8(ani_paused_);
  w.I32(blur_span_);
  w.I32(blur_delay_);
}

void TNovaBox::LoadKind(BinaryReader& r, int version) {
  border_width_ = r.I32();
  border_color_ = r.I32();
  alpha_ = r.I32();
  if (version > 103) {
    idle_handler_ = r.String();
    const std::string source = r.String();
    repeat_ = r.U8();
    auto_scrap_ = r.U8();
    play_end_handler_ = r.String();
    paused_ = r.U8();
    ani_paused_ = r.U8();
    SetSource(source);
  }
  if (version > 139) {
    blur_span_ = r.I32();
    blur_delay_ = r.I32();
  }
  RecordGeometry();
}

void TNovaBlurBox::Init(const TNovaBox& box) {
  if (!box.GetName().empty() && owner_)
    name_ = owner_->UniqueName(box.GetName());
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

bool TNovaBlurBox::ReadProp(int id, TPropValue& out) {
  if (id == PR_DELAY) {
    out = TPropValue::Int(lifetime_);
    return true;
  }
  return TNovaBox::ReadProp(id, out);
}

bool TNovaBlurBox::WriteProp(int id, const TPropValue& v) {
  if (id == PR_DELAY) {
    lifetime_ = v.i;
    return true;
  }
  return TNovaBox::WriteProp(id, v);
}

} // namespace nova
