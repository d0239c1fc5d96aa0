// SPDX-License-Identifier: MIT
// The input step: key states and repeat, the mouse on the front layer, focus events.
#include <string>

#include "base/run_state.h"
#include "scene/nova_base_list.h"
#include "scene/scene_host.h"

namespace nova {
namespace {

std::vector<std::string> CodesToStrings(const std::vector<int>& codes) {
  std::vector<std::string> out;
  out.reserve(codes.size());
  for (int c : codes)
    out.push_back(std::to_string(c));
  return out;
}

} // namespace

void TNovaBaseList::InputStep() {
  if (refocus_requested_) {
    SetFocus(Front()->FindFocusable());
    refocus_requested_ = false;
  }
  key_clicked_before_ = key_clicked_;
  key_clicked_.fill(0);
  key_repeat_before_ = key_repeat_;
  // Before the hit test, so that a cursor it newly shows keeps its first step for a whole frame.
  AdvanceCursor(RunState().FrameDelta);
  MouseStep(*Front());
  if (focus_ && IsAlive(focus_) && focus_->HandleKey()) {
    if (key_down_happened_)
      focus_->KeyDownEvent(CodesToStrings(keys_down_));
    if (focus_ && key_repeat_happened_)
      focus_->KeyRepeatEvent(CodesToStrings(keys_repeated_));
    if (focus_ && key_up_happened_)
      focus_->KeyUpEvent(CodesToStrings(keys_up_));
  }
  key_down_happened_ = key_up_happened_ = key_repeat_happened_ = false;
  keys_down_.clear();
  keys_up_.clear();
  keys_repeated_.clear();
  const int32_t frame_ms = RunState().FrameDelta;
  for (int code = 0; code < 256; ++code) {
    const auto k = static_cast<size_t>(code);
    if (!key_down_[k])
      continue;
    repeat_timer_[k] -= frame_ms;
    key_repeat_[k] = repeat_timer_[k] <= 0 ? 1 : 0;
    if (repeat_timer_[k] <= 0) {
      repeat_timer_[k] += kKeyRepeatNextMs;
      key_repeat_happened_ = true;
      keys_repeated_.push_back(code);
    }
  }
}

void TNovaBaseList::MouseStep(TNovaBase& layer) {
  layer.left_click = layer.left_pressed;
  layer.left_pressed = false;
  layer.right_click = layer.right_pressed;
  layer.right_pressed = false;
  layer.wheel_down = layer.wheel_down_pressed;
  layer.wheel_down_pressed = false;
  layer.wheel_up = layer.wheel_up_pressed;
  layer.wheel_up_pressed = false;

  if (layer.right_click) {
    for (size_t i = 0; i < selections_.size(); ++i) {
      TNovaControl* s = selections_[i];
      if (!IsAlive(s) || !s->GetProp(PR_RCLICKSCRAP).AsFlag() || !s->Visible() ||
          s->GetBase() != &layer || s->IsPaused() || s->IsInCabinet() ||
          (s->IgnoreMouse() != IM_NONE && s->IgnoreMouse() != IM_LCLICK))
        continue;
      if (s->TakeRightClick()) {
        layer.right_click = false;
        break;
      }
    }
  }

  TNovaControl* previous = IsAlive(layer.pointer_target) ? layer.pointer_target : nullptr;
  if ((layer.capture & (kCaptureLeft | kCaptureRight)) && previous) {
    if ((layer.capture & kCaptureLeft) && !layer.left_held) {
      previous->LButtonUp();
      layer.capture &= static_cast<uint8_t>(~kCaptureLeft);
    } else if ((layer.capture & kCaptureRight) && !layer.right_held) {
      previous->RButtonUp();
      layer.capture &= static_cast<uint8_t>(~kCaptureRight);
    }
    if (IsAlive(previous) && layer.pointer_moved)
      previous->MouseMove();
    if (IsAlive(previous))
      previous->MouseTick();
    layer.pointer_moved = false;
    return;
  }

  const uint32_t accept = layer.left_click    ? kAcceptLeftPress
                          : layer.right_click ? kAcceptRightPress
                                              : kAcceptHover;
  TNovaControl* target = layer.HitTest(layer.pointer_x, layer.pointer_y, accept);
  layer.capture = 0;
  if (target) {
    UpdateCursor(layer, target);
    if (layer.left_click) {
      target->LButtonDown();
      if (IsAlive(target) && !target->IsPaused() && target->HandleKey())
        SetFocus(target);
    } else if (layer.right_click) {
      target->RButtonDown();
    } else if (layer.wheel_down || layer.wheel_up) {
      const TControlHandler h = layer.wheel_down ? chWheelDown : chWheelUp;
      const uint8_t type = layer.wheel_down ? PR_ONWHEELDOWN : PR_ONWHEELUP;
      if (!target->Handler(h).empty() && !events_.Has(target, type) && !target->EventsSuppressed())
        events_.Queue(target, target->Handler(h), {}, type);
    }
    if (!IsAlive(target))
      target = nullptr;
  }
  if (previous && previous != target && IsAlive(previous)) {
    previous->MouseOut(target);
    if (target && !IsAlive(target))
      target = nullptr;
  }
  if (target && (layer.pointer_moved || target != previous)) {
    if (target != previous)
      target->MouseIn(previous);
    if (IsAlive(target))
      target->MouseMove();
    else
      target = nullptr;
  }
  layer.pointer_target = target;
  layer.pointer_moved = false;
}

void TNovaBaseList::UpdateCursor(TNovaBase& layer, TNovaControl* target) {
  if (!host_)
    return;
  std::string file = target->GetCursorFile();
  if (file.empty())
    file = host_->DefaultCursorFile();
  if (file == shown_cursor_file_)
    return;
  shown_cursor_file_ = file;
  layer.cursor_file = file;
  cursor_.reset();
  cursor_step_ = 0;
  cursor_step_elapsed_ms_ = 0;
  if (!file.empty()) {
    // A cursor that cannot be read leaves the normal arrow; nothing is reported.
    if (auto bytes = host_->ReadTitleFile(file))
      cursor_ = DecodeCursorAnimation(*bytes);
  }
  host_->ShowCursor(cursor_ ? &cursor_->Step(0) : nullptr);
}

void TNovaBaseList::AdvanceCursor(int32_t elapsed_ms) {
  if (!host_ || !cursor_ || !cursor_->Animated() || elapsed_ms <= 0)
    return;
  // Steps last at least one jiffy, so the walk below ends; the whole rounds of a long pause are
  // skipped first.
  int64_t round_ms = 0;
  for (int32_t ms : cursor_->step_ms)
    round_ms += ms;
  int64_t elapsed = int64_t{cursor_step_elapsed_ms_} + elapsed_ms;
  elapsed %= round_ms;
  const size_t before = cursor_step_;
  while (elapsed >= cursor_->step_ms[cursor_step_]) {
    elapsed -= cursor_->step_ms[cursor_step_];
    cursor_step_ = (cursor_step_ + 1) % cursor_->sequence.size();
  }
  cursor_step_elapsed_ms_ = static_cast<int32_t>(elapsed);
  if (cursor_step_ != before)
    host_->ShowCursor(&cursor_->Step(cursor_step_));
}

} // namespace nova
