// SPDX-License-Identifier: MIT
#include "shell/view_keys.h"

#include "base/sjis.h"
#include "platform/virtual_keys.h"
#include "platform/wall_clock.h"
#include "shell/screenshot.h"

namespace nova {

namespace {

constexpr int kScalingKey = vk::kF1 + 9;     // F10
constexpr int kScreenshotKey = vk::kF1 + 11; // F12

bool IsShift(int key) { return key == vk::kShift || key == vk::kLShift || key == vk::kRShift; }

std::string ScalingNotice(const TViewScaling& scaling) {
  return std::string("Scaling: ") + ScalingModeName(scaling.mode) + ", " +
         ViewFilterName(scaling.filter);
}

} // namespace

bool TViewKeys::KeyDown(const TWindowEvent& event) {
  if (IsShift(event.key))
    shift_down_ = true;
  if (event.key != kScalingKey && event.key != kScreenshotKey)
    return false;
  // Holding the key down repeats nothing.
  if (event.repeat)
    return true;
  if (event.key == kScreenshotKey)
    Screenshot();
  else if (shift_down_)
    ToggleFilter();
  else
    CycleScaling();
  return true;
}

bool TViewKeys::KeyUp(const TWindowEvent& event) {
  if (IsShift(event.key))
    shift_down_ = false;
  return event.key == kScalingKey || event.key == kScreenshotKey;
}

void TViewKeys::CycleScaling() {
  TViewScaling scaling = window_.Scaling();
  scaling.mode = NextScalingMode(scaling.mode);
  window_.SetScaling(scaling);
  window_.ShowNotice(ScalingNotice(scaling));
}

void TViewKeys::ToggleFilter() {
  TViewScaling scaling = window_.Scaling();
  scaling.filter = scaling.filter == TViewFilter::Smooth ? TViewFilter::Sharp : TViewFilter::Smooth;
  window_.SetScaling(scaling);
  window_.ShowNotice(ScalingNotice(scaling));
}

void TViewKeys::Screenshot() {
  const std::string title = title_ ? SjisToUtf8(title_()) : std::string();
  window_.ShowNotice(SaveScreenshot(window_.Capture(), ScreenshotFolder(), title, LocalNow()));
}

} // namespace nova
